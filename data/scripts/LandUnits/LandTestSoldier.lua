-- The soldiers of the land test scene: the soldier model (which the soldier states
-- animate), then the basic soldier's states, hit points, speed and combat values.

function OnCreate(self)
  self:SetMeshFile("models\\characters\\soldier.model", true)
  self:CreateStateMachine()
  self:SetHitPointsMax(120)
  self:ResetHitpoints()
  self:SetArmor(4, 40)
  self:SetSpeed(3.5)
  self:SetMinCombatValues(4, 3, 1.5)
  self:SetMaxCombatValues(9, 7, 3.0)
  self:SetMeleeSkill(65)
  self:SetRangedSkill(40)
  self:SetExperienceValue(15)
  self:SetViewRange(12.0)
  self:AddWeapon(1)
  self:SelectWeapon(0)
end
