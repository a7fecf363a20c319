-- Collectable 3 (pickup): a purse of coins.
-- Kept in the inventory under the key "Money".

function OnCreate(self)
  self:SetKey("Money")
end
