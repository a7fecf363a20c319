-- Collectable 18 (artifact): a rag doll that takes some of the blows meant for the soldiers.
-- Kept in the inventory under the key "Dolly".

function OnCreate(self)
  self:SetKey("Dolly")
end
