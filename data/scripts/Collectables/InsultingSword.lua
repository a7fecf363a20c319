-- Collectable 17 (artifact): a sword with rude words engraved on it.
-- Kept in the inventory under the key "InsultingSword".

function OnCreate(self)
  self:SetKey("InsultingSword")
end
