-- Collectable 30 (ingredient): a red herring, an alchemist's ingredient.
-- Kept in the inventory under the key "RedHerring".

function OnCreate(self)
  self:SetKey("RedHerring")
end
