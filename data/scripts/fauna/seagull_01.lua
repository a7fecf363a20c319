-- A seagull of the world map and the sea scenes. The animal entity steers it
-- towards a town or the player's ship by itself; its script gives it its body
-- and its wing beat.

function OnCreate(self)
  self:SetMeshFile("models\\fauna\\seagull.model")
  self:LoadAnimation("models\\fauna\\seagull.anim")
end
