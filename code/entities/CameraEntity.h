// The scene's camera entity ("CameraEntity"): the main camera rides on it and the
// camera components steer it. It adds nothing to the engine entity; camera
// components check their owner's class against it.
#pragma once

#include "engine/core/VisBaseEntity.h"

class CameraEntity_cl : public VisBaseEntity_cl {
  V_DECLARE_DYNCREATE(CameraEntity_cl)
 public:
  CameraEntity_cl();
};
