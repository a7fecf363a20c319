-- Collectable 10 (artifact): a lantern that lights up the land around the soldiers.
-- Kept in the inventory under the key "Acdc".

function OnCreate(self)
  self:SetKey("Acdc")
end
