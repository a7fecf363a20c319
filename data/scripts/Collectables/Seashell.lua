-- Collectable 6 (artifact): a shell whose roar leaves nearby enemies dizzy.
-- Kept in the inventory under the key "Seashell".

function OnCreate(self)
  self:SetKey("Seashell")
end
