-- Collectable 16 (artifact): a compass that points to the nearest blueprint.
-- Kept in the inventory under the key "Compass".

function OnCreate(self)
  self:SetKey("Compass")
end
