-- A grenadier of a land battle: the built-in states and a RangedAttackComponent that
-- lobs shells hurting every enemy near their impact. "AttackEntity" stays undefined
-- (the unit's orders reach the states), and so does "OnAttackHit" (the shells deal
-- their damage themselves).

function OnCreate(self)
  self:SetMeshFile("models\\characters\\soldier.model", true)
  self:CreateStateMachine()
  self:SetHitPointsMax(45)
  self:ResetHitpoints()
  self:SetArmor(1, 10)
  self:SetSpeed(3.2)
  self:SetMinCombatValues(3, 10, 3.0)
  self:SetMaxCombatValues(5, 16, 4.5)
  self:SetMeleeSkill(30)
  self:SetRangedSkill(60)
  self:SetExperienceValue(12)
  self:SetViewRange(16.0)
  self:AddWeapon(1)
  self:SelectWeapon(0)
  local attack = self:AddComponentOfType("RangedAttackComponent")
  if attack ~= nil then
    attack:SetProperty("m_fRange", 14.0)
    attack:SetProperty("m_fSpeed", 18.0)
    attack:SetProperty("m_fMaxHeight", 6.0)
  end
end
