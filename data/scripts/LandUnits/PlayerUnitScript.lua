-- The player's own unit: the chosen captain. Its unit type, names and soldier
-- script come from its template (the game script's InitUnitEntityTemplate for the
-- chosen character). Its key marks it as the player's character, the unit the
-- land battle follows and sends to use buildings and scripted cannons.

function OnCreate(self)
  self:SetKey("PlayerCharacter")
end
