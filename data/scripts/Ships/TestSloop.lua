-- The test sloop: a small ship with two cannons on each side. The ship factory runs
-- OnCreate once the ship exists. The sloop takes its model, and its rigid body, sails
-- and cannons from its configuration file, then its movement component (which keeps
-- the body on the water plane), its battle component and, on computer ships, its
-- speech. A new ship record tracks no hit points, so a new sloop sets its own; a
-- sloop made again from a kept record keeps the record's.

function OnCreate(self)
  self:SetMeshFile("models\\TestSloop.model")
  self:LoadFromConfig("Ships\\TestSloop.bin")
  self:AddComponentOfType("ShipMovementComponent", "Movement")
  self:AddComponentOfType("ShipBattleComponent", "Battle")
  -- Computer ships shout their lines; the player's nation (1) keeps quiet.
  if self:GetNation() ~= 1 then
    self:AddComponentOfType("ShipSpeechComponent", "Speech")
  end
  if self:GetHullHitpointsMax() < 0 then
    self:SetHullHitpointsMax(120)
    self:SetHullHitpoints(120)
    self:SetSailsHitpointsMax(60)
    self:SetSailsHitpoints(60)
    self:SetArmor(2)
    self:SetCannonBallDamage(12)
    self:SetExperienceAmount(50)
    -- Its ratings (0 to 5) for the ship panels.
    self:SetDamageRating(2.5)
    self:SetSpeedRating(3.0)
    self:SetManeuveringRating(3.5)
    self:SetToughnessRating(2.0)
    -- The sea HUD shows its picture and name by this icon name.
    self:SetShipIcon("Sloop")
  end
end
