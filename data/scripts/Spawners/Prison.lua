-- The stronghold's prison: two pirates and one of the player's own men are locked
-- up. When the building is destroyed they run out; the player's man joins one of
-- the player's units that has room.
function OnCreate(self)
  self:ClearUnits()
  self:AddUnit(10, 0, 4, 2, 2)
  self:AddUnit(10, 0, 4, 2, 2)
  self:AddUnit(10, 0, 6, 2, 1)
end

function OnDestroyed(self)
  self:TriggerSpawning()
end
