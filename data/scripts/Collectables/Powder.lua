-- Collectable 11 (artifact): dry gunpowder for harder shots.
-- Kept in the inventory under the key "Powder".

function OnCreate(self)
  self:SetKey("Powder")
end
