-- A warship's captain: he stands his ground to the end. When he hears a ship of his
-- own nation fighting nearby, he joins its fight.

local JOIN_RANGE = 120.0

function OnNoise(self, source, volume, noiseType)
  local ai = self:GetComponentOfType("AIShipComponent")
  if ai ~= nil and not ai:IsInAttackMode() then
    ai:SetCoward(false)
    ai:MakeAttackDecision(JOIN_RANGE, 100)
  end
end
