-- The unit of a hero who joins the player: a corsair captain. Heroes are added by
-- this script's path (GameManager.AddHero); the word "Corsair" in the path names
-- the hero's class in the level-up message.

function OnCreate(self)
  self:SetUnitType(GameManager.GetUnitTypes().CORSAIR_HERO)
end
