-- Collectable 34 (consumable): a potion of bottled wind for a faster ship.
-- Kept in the inventory under the key "WindInABottle".
-- Drunk, it is used up and its effect runs for 60 seconds.

function OnCreate(self)
  self:SetKey("WindInABottle")
end

function UseCollectable(self)
  ArtifactManager.ActivatePotion(GameManager.GetCollectableIds().WIND_IN_A_BOTTLE, 60.0, 0.3)
  return 1
end
