-- Collectable 5 (artifact): a curved blade that bites deeper.
-- Kept in the inventory under the key "Scimitar".

function OnCreate(self)
  self:SetKey("Scimitar")
end
