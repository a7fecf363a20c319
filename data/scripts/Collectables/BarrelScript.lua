-- A barrel of coins kept in a building's storage; it rolls out when the building
-- burns down. Picked up, it pays out at once.
-- Kept in the inventory under the key "Money".

BARREL_MONEY = 50

function OnCreate(self)
  self:SetKey("Money")
end

function OnCollect(self, collector)
  GameManager.AddMoney(BARREL_MONEY)
end
