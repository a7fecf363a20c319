-- Collectable 28 (ingredient): a lump of sulfur, an alchemist's ingredient.
-- Kept in the inventory under the key "Sulfur".

function OnCreate(self)
  self:SetKey("Sulfur")
end
