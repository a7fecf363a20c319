-- Collectable 33 (consumable): a potion that hides the player's soldiers from the enemy.
-- Kept in the inventory under the key "InvisibilityPotion".
-- Drunk, it is used up and its effect runs for 45 seconds.

function OnCreate(self)
  self:SetKey("InvisibilityPotion")
end

function UseCollectable(self)
  ArtifactManager.ActivatePotion(GameManager.GetCollectableIds().INVISIBILITY_POTION, 45.0, 1.0)
  return 1
end
