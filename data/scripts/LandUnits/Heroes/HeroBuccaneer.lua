-- The unit of a hero who joins the player: a buccaneer captain. Heroes are added by
-- this script's path (GameManager.AddHero); the word "Buccaneer" in the path names
-- the hero's class in the level-up message.

function OnCreate(self)
  self:SetUnitType(GameManager.GetUnitTypes().BUCCANEER_HERO)
end
