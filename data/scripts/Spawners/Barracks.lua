-- The recruiting building: raises corsairs for the player's heroes once a number
-- of soldiers is hired (the hire sets the soldier count).
function OnCreate(self)
  self:ClearUnits()
  self:AddUnit(10, 0, 6, 2, 1, "str_UNIT_CORSAIR_BASIC")
  self:SetSpawnWaitTime(2.0)
  self:SetSpawnWaitTimeRandom(0.5)
  self:SetSpawnerEnable(true)
end
