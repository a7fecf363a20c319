-- Collectable 12 (artifact): the navigator's sextant, every captain's first instrument.
-- Kept in the inventory under the key "Sextant".

function OnCreate(self)
  self:SetKey("Sextant")
end
