// The hit record a projectile hands, by address, with its hit message to what it
// struck. It lives on the sender's stack for the duration of the message only.
#pragma once

#include "engine/base/VBase.h"
#include "engine/base/VisMath.h"

class VisBaseEntity_cl;

struct MsgPosOri {
  VisVector_cl position{0, 0, 0};
  VisVector_cl orientation{0, 0, 0};
  VisVector_cl direction{0, 0, 0};
  // The projectile's velocity where the sender knows it.
  VisVector_cl velocity{0, 0, 0};
  // The projectile; the attacking ship is its shooter.
  VisBaseEntity_cl* entity = nullptr;
  // Address of the sender's trace result for a traced hit, else 0.
  INT_PTR extra = 0;
};
