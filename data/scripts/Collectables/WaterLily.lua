-- Collectable 24 (ingredient): a water lily, an alchemist's ingredient.
-- Kept in the inventory under the key "WaterLily".

function OnCreate(self)
  self:SetKey("WaterLily")
end
