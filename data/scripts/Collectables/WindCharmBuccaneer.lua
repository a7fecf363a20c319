-- Collectable 22 (artifact): the buccaneers' wind charm.
-- Kept in the inventory under the key "WindCharmBuccaneer".

function OnCreate(self)
  self:SetKey("WindCharmBuccaneer")
end
