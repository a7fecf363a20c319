-- Tuning of the strategy camera of land battles and towns, run once when the
-- camera joins the scene's camera entity (after it has taken its built-in values).

function OnCreate(self)
  self:SetMinHeight(20)
  self:SetMaxHeight(60)
  self:SetDefaultTilt(45)
  self:SetMinHeightTiltOffset(0)
  self:SetMaxHeightTiltOffset(20)
  -- Forward and sideways glide fast, height changes slowly.
  self:SetMoveSpeed(120, 120, 4)
  self:SetMiddleMouseButtonDragSensitivity(10)
  -- The speed-boost key doubles the glide.
  self:SetMaxSpeedFactor(2)
end
