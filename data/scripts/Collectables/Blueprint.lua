-- Collectable 4 (pickup): a shipwright's drawing; enough of them unlock a ship upgrade.
-- Kept in the inventory under the key "Blueprint".

function OnCreate(self)
  self:SetKey("Blueprint")
end
