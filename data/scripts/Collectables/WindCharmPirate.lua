-- Collectable 21 (artifact): the pirates' wind charm.
-- Kept in the inventory under the key "WindCharmPirate".

function OnCreate(self)
  self:SetKey("WindCharmPirate")
end
