-- The unit of a hero who joins the player: a pirate captain. Heroes are added by
-- this script's path (GameManager.AddHero); the word "Pirate" in the path names
-- the hero's class in the level-up message.

function OnCreate(self)
  self:SetUnitType(GameManager.GetUnitTypes().PIRATE_HERO)
end
