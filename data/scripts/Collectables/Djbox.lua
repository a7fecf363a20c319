-- Collectable 13 (artifact): a music box whose tune unsettles gunners.
-- Kept in the inventory under the key "Djbox".

function OnCreate(self)
  self:SetKey("Djbox")
end
