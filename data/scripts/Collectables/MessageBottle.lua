-- Collectable 37 (pickup): a message in a bottle, with a joke inside.
-- Kept in the inventory under the key "MessageBottle".

function OnCreate(self)
  self:SetKey("MessageBottle")
end
