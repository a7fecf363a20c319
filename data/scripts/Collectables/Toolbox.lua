-- Collectable 2 (consumable): the carpenter's toolbox; patches the hull at sea.
-- Kept in the inventory under the key "Toolbox".

function OnCreate(self)
  self:SetKey("Toolbox")
end
