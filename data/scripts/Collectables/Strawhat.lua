-- Collectable 7 (artifact): a hat that keeps the sun out of the soldiers' eyes.
-- Kept in the inventory under the key "Strawhat".

function OnCreate(self)
  self:SetKey("Strawhat")
end
