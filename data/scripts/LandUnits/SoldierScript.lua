-- A basic soldier: the built-in states, hit points, armour, speed and combat values.
-- OnCreate runs when the script is attached to its soldier.

function OnCreate(self)
  self:CreateStateMachine()
  self:SetHitPointsMax(120)
  self:ResetHitpoints()
  self:SetArmor(4, 40)
  self:SetSpeed(3.5)
  -- Melee and ranged damage, then the pause between two attacks in seconds.
  self:SetMinCombatValues(4, 3, 1.5)
  self:SetMaxCombatValues(9, 7, 3.0)
  self:SetMeleeSkill(65)
  self:SetRangedSkill(40)
  self:SetExperienceValue(15)
  self:SetViewRange(12.0)
  self:AddWeapon(1)
  self:SelectWeapon(0)
end
