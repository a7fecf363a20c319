-- A swordsman of a land battle: the built-in states, which close in on the unit's
-- target and strike on arrival through his InfantryAttackComponent. The script
-- leaves "AttackEntity" undefined, so the unit's attack orders reach the states.

function OnCreate(self)
  self:SetMeshFile("models\\characters\\soldier.model", true)
  self:CreateStateMachine()
  self:SetHitPointsMax(60)
  self:ResetHitpoints()
  self:SetArmor(2, 20)
  self:SetSpeed(3.5)
  self:SetMinCombatValues(8, 3, 0.8)
  self:SetMaxCombatValues(14, 6, 1.4)
  self:SetMeleeSkill(70)
  self:SetRangedSkill(20)
  self:SetExperienceValue(10)
  self:SetViewRange(12.0)
  self:AddWeapon(1)
  self:SelectWeapon(0)
  local attack = self:AddComponentOfType("InfantryAttackComponent")
  if attack ~= nil then attack:SetProperty("m_fRange", 1.6) end
end

-- Struck: the comrades hear of it.
function OnTakeHit(self, attacker)
  if attacker ~= nil then self:AlertUnit(attacker) end
end
