-- Collectable 36 (consumable): a potion that wraps the player's ships in mist.
-- Kept in the inventory under the key "MistShip".
-- Drunk, it is used up and its effect runs for 60 seconds.

function OnCreate(self)
  self:SetKey("MistShip")
end

function UseCollectable(self)
  ArtifactManager.ActivatePotion(GameManager.GetCollectableIds().MIST_SHIP, 60.0, 1.0)
  return 1
end
