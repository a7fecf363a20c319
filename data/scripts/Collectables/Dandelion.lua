-- Collectable 26 (ingredient): a dandelion, an alchemist's ingredient.
-- Kept in the inventory under the key "Dandelion".

function OnCreate(self)
  self:SetKey("Dandelion")
end
