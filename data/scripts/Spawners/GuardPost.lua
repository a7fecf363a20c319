-- The guard post at the stronghold's southern gate: buccaneer marksmen of the
-- stronghold's nation come out when someone walks through the gate.
function OnCreate(self)
  self:ClearUnits()
  self:AddUnit(11, 0, 3, 1, 2, "str_UNIT_BUCCANEER_ADVANCED")
  self:SetSpawnWaitTime(3.0)
  self:SetSpawnWaitTimeRandom(0.5)
end
