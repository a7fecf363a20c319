-- Collectable 20 (pickup): an eyepatch, one per town to collect.
-- Kept in the inventory under the key "Eyepatch".

function OnCreate(self)
  self:SetKey("Eyepatch")
end
