-- Collectable 31 (ingredient): a silver trout, an alchemist's ingredient.
-- Kept in the inventory under the key "SilverTrout".

function OnCreate(self)
  self:SetKey("SilverTrout")
end
