-- The test frigate: five cannons on each side and a special cannon amidships. Like the
-- sloop it takes its model, body, sails and cannons from its configuration, then its
-- movement and battle components and, on computer ships, its speech. A new record sets
-- the frigate's hit points and the damage each of its weapons does; the player's
-- frigate carries mines and has them ready on the special cannon.

local NATION_PLAYER = 1

function OnCreate(self)
  self:SetMeshFile("models\\TestFrigate.model")
  self:LoadFromConfig("Ships\\TestFrigate.bin")
  self:AddComponentOfType("ShipMovementComponent", "Movement")
  self:AddComponentOfType("ShipBattleComponent", "Battle")
  if self:GetNation() ~= NATION_PLAYER then
    self:AddComponentOfType("ShipSpeechComponent", "Speech")
  end
  if self:GetHullHitpointsMax() < 0 then
    self:SetHullHitpointsMax(150)
    self:SetHullHitpoints(150)
    self:SetSailsHitpointsMax(80)
    self:SetSailsHitpoints(80)
    self:SetArmor(3)
    self:SetCannonBallDamage(10)
    self:SetRocketDamage(25)
    self:SetMineDamage(60)
    self:SetMortarDamage(35)
    self:SetMirvDamage(15)
    self:SetExperienceAmount(90)
    self:SetDamageRating(4.0)
    self:SetSpeedRating(2.5)
    self:SetManeuveringRating(2.0)
    self:SetToughnessRating(3.5)
    -- The sea HUD shows its picture and name by this icon name.
    self:SetShipIcon("Frigate")
  end
  if self:GetNation() == NATION_PLAYER then
    local projectiles = GameManager.GetProjectileTypes()
    self:AddSpecialWeapon(projectiles.PROJECTILE_MINE, true)
  end
end
