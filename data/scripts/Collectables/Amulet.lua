-- Collectable 15 (artifact): an amulet that strengthens a hero's own skill.
-- Kept in the inventory under the key "Amulet".

function OnCreate(self)
  self:SetKey("Amulet")
end
