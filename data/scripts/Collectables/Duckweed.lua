-- Collectable 25 (ingredient): duckweed, an alchemist's ingredient.
-- Kept in the inventory under the key "Duckweed".

function OnCreate(self)
  self:SetKey("Duckweed")
end
