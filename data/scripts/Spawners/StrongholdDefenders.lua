-- The defenders' hut of the pirates' stronghold: wakes up when it hears strangers
-- and sends corsairs of the stronghold's nation (2) towards the noise.
function OnCreate(self)
  self:ClearUnits()
  -- character id, soldiers, most soldiers, formation width, nation, spawner name
  self:AddUnit(10, 0, 4, 2, 2, "str_UNIT_CORSAIR_BASIC")
  self:SetSpawnWaitTime(4.0)
  self:SetSpawnWaitTimeRandom(1.0)
end
