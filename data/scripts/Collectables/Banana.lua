-- Collectable 8 (pickup): a ripe banana.
-- Kept in the inventory under the key "Banana".

function OnCreate(self)
  self:SetKey("Banana")
end
