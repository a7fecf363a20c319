-- Collectable 35 (consumable): a potion that makes the soldiers quicker and fiercer.
-- Kept in the inventory under the key "GetAFix".
-- Drunk, it is used up and its effect runs for 45 seconds.

function OnCreate(self)
  self:SetKey("GetAFix")
end

function UseCollectable(self)
  ArtifactManager.ActivatePotion(GameManager.GetCollectableIds().GET_A_FIX, 45.0, 0.25)
  return 1
end
