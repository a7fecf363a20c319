// Ray-cast record that keeps the nearest hit.
#pragma once

#include "engine/physics/VisPhysicsRaycastBase.h"

class VBASE_IMPEXP VisPhysicsRaycastClosestResult_cl : public VisPhysicsRaycastBase_cl {
 public:
  VisPhysicsRaycastClosestResult_cl() { Reset(); }
  void Reset() override;
  // Keeps the hit when it is nearer than the kept one; always goes on.
  bool OnHit(const VisPhysicsHit_t& hit) override;

  bool bHit = false;
  VisPhysicsHit_t closestHit;  // fraction 2.0 while there is none
};
