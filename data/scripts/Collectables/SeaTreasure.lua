-- A treasure chest floating at sea (a random collectable of the world map): picked
-- up by the player's ship, it pays out at once. Its rarity (1 to 3, set by
-- GetRandomSeaCollectableScript) is the value of its script's file name.
-- Kept in the inventory under the key "SeaTreasure".

TREASURE_MONEY = 100

function OnCreate(self)
  self:SetKey("SeaTreasure")
end

function OnCollect(self, collector)
  GameManager.AddMoney(TREASURE_MONEY)
end
