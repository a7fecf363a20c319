-- A faint-hearted captain: he fights while his hull holds, and runs from the enemy
-- once it is down to a tenth. He joins a fight he hears only half of the time.

local JOIN_RANGE = 120.0

function OnNoise(self, source, volume, noiseType)
  local ai = self:GetComponentOfType("AIShipComponent")
  if ai ~= nil and not ai:IsInAttackMode() then
    ai:SetCoward(true)
    ai:MakeAttackDecision(JOIN_RANGE, 50)
  end
end
