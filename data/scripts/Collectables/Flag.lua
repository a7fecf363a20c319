-- Collectable 9 (artifact): a white flag: the enemy ships stop attacking.
-- Kept in the inventory under the key "Flag".

function OnCreate(self)
  self:SetKey("Flag")
end
