-- Collectable 32 (consumable): a potion that calls a ghost ship to the player's side.
-- Kept in the inventory under the key "GhostPotion".
-- Drunk, it is used up and its effect runs for 60 seconds.

function OnCreate(self)
  self:SetKey("GhostPotion")
end

function UseCollectable(self)
  ArtifactManager.ActivatePotion(GameManager.GetCollectableIds().GHOST_POTION, 60.0, 1.0)
  return 1
end
