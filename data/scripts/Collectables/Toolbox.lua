-- Collectable 2 (consumable): the carpenter's toolbox; patches the hull at sea.
-- Kept in the inventory under the key "Toolbox".
-- Used, it is used up and the next toolbox waits a minute.

function OnCreate(self)
  self:SetKey("Toolbox")
end

function UseCollectable(self)
  ArtifactManager.ResetToolCooldown()
  return 1
end
