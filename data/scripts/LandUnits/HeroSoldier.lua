-- A captain on land, the player's or a hero's: the soldier model, the built-in
-- states, a tougher body than a sailor's and both cutlass and pistol. The
-- campaign's soldier record then sets the hit points and combat values it keeps.

function OnCreate(self)
  self:SetMeshFile("models\\characters\\soldier.model", true)
  self:CreateStateMachine()
  self:SetHitPointsMax(400)
  self:ResetHitpoints()
  self:SetArmor(8, 60)
  self:SetSpeed(4.0)
  self:SetMinCombatValues(8, 6, 1.2)
  self:SetMaxCombatValues(14, 11, 2.5)
  self:SetMeleeSkill(75)
  self:SetRangedSkill(60)
  self:SetExperienceValue(100)
  self:SetViewRange(16.0)
  self:AddWeapon(1)
  self:AddWeapon(3)
  self:SelectWeapon(0)
end
