-- A rifleman of a land battle: the built-in states and a RifleAttackComponent whose
-- shots strike at once. "AttackEntity" stays undefined, so the unit's orders reach
-- the states.

function OnCreate(self)
  self:SetMeshFile("models\\characters\\soldier.model", true)
  self:CreateStateMachine()
  self:SetHitPointsMax(50)
  self:ResetHitpoints()
  self:SetArmor(1, 10)
  self:SetSpeed(3.5)
  self:SetMinCombatValues(3, 7, 1.5)
  self:SetMaxCombatValues(5, 12, 2.5)
  self:SetMeleeSkill(30)
  self:SetRangedSkill(55)
  self:SetExperienceValue(10)
  self:SetViewRange(14.0)
  self:AddWeapon(1)
  self:SelectWeapon(0)
  local attack = self:AddComponentOfType("RifleAttackComponent")
  if attack ~= nil then attack:SetProperty("m_fRange", 10.0) end
end
