-- Collectable 37 (pickup): a message in a bottle, with a joke inside.
-- Kept in the inventory under the key "MessageBottle".
-- Fished out of the sea, its joke is read at once.

function OnCreate(self)
  self:SetKey("MessageBottle")
end

function OnCollect(self, collector)
  GameContentManager.AddMessageInABottle()
end
