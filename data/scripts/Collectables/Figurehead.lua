-- Collectable 14 (artifact): a carved figurehead; the gun crews reload faster under it.
-- Kept in the inventory under the key "Figurehead".

function OnCreate(self)
  self:SetKey("Figurehead")
end
