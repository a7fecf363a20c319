-- Collectable 29 (ingredient): a blue azurite stone, an alchemist's ingredient.
-- Kept in the inventory under the key "Azurite".

function OnCreate(self)
  self:SetKey("Azurite")
end
