-- Collectable 27 (ingredient): an orchid, an alchemist's ingredient.
-- Kept in the inventory under the key "Orchid".

function OnCreate(self)
  self:SetKey("Orchid")
end
