// What a blast tells the soldiers it catches, and a soldier's cannon ball the soldier
// it strikes (message 22, p1 points to it): where it struck, how hard it pushes, and
// the projectile.
#pragma once

#include "engine/base/VisMath.h"

class VisBaseEntity_cl;

struct BlastRecord {
  VisVector_cl impactPoint;
  VisVector_cl push;
  VisBaseEntity_cl* projectile = nullptr;
};
