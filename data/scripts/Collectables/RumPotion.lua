-- Collectable 1 (consumable): a bottle of rum; a swig puts the crew back on its feet.
-- Kept in the inventory under the key "RumPotion" (the tool bar counts it so).
-- Drunk, it is used up and the next swig waits a minute.

function OnCreate(self)
  self:SetKey("RumPotion")
end

function UseCollectable(self)
  ArtifactManager.ResetGrogCooldown()
  return 1
end
