-- Collectable 19 (artifact): a pocket watch; the ship keeps better time and speed.
-- Kept in the inventory under the key "Pocketwatch".

function OnCreate(self)
  self:SetKey("Pocketwatch")
end
