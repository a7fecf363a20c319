-- Collectable 23 (artifact): the corsairs' wind charm.
-- Kept in the inventory under the key "WindCharmCorsair".

function OnCreate(self)
  self:SetKey("WindCharmCorsair")
end
