-- A raw recruit of a land battle: a swordsman as BattleMeleeSoldier.lua, but frail,
-- clumsy and with a blade that hardly cuts: the side he stands on loses.

function OnCreate(self)
  self:SetMeshFile("models\\characters\\soldier.model", true)
  self:CreateStateMachine()
  self:SetHitPointsMax(40)
  self:ResetHitpoints()
  self:SetArmor(0, 10)
  self:SetSpeed(3.0)
  self:SetMinCombatValues(1, 1, 1.2)
  self:SetMaxCombatValues(2, 1, 1.8)
  self:SetMeleeSkill(20)
  self:SetRangedSkill(10)
  self:SetExperienceValue(5)
  self:SetViewRange(10.0)
  self:AddWeapon(1)
  self:SelectWeapon(0)
  local attack = self:AddComponentOfType("InfantryAttackComponent")
  if attack ~= nil then attack:SetProperty("m_fRange", 1.6) end
end

-- Struck: the comrades hear of it.
function OnTakeHit(self, attacker)
  if attacker ~= nil then self:AlertUnit(attacker) end
end
