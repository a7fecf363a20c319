// The strategy camera of land battles and towns: hovers over the terrain, moves
// with keys, screen edges and middle-button drags, zooms with the wheel, stays
// inside the scene path "CameraBounds", follows a unit and flies to conversations.
#pragma once

#include "components/CameraBaseComponent.h"

class LandBattleCameraComponent : public CameraBaseComponent_cl {
  V_DECLARE_DYNCREATE(LandBattleCameraComponent)
 public:
  LandBattleCameraComponent();
};
