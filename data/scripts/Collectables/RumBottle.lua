-- Collectable 1 (consumable): a bottle of rum; a swig puts the crew back on its feet.
-- Kept in the inventory under the key "RumBottle".

function OnCreate(self)
  self:SetKey("RumBottle")
end
