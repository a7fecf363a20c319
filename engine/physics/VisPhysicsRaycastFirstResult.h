// Ray-cast record that stops at the first (nearest) hit.
#pragma once

#include "engine/physics/VisPhysicsRaycastBase.h"

class VBASE_IMPEXP VisPhysicsRaycastFirstResult_cl : public VisPhysicsRaycastBase_cl {
 public:
  VisPhysicsRaycastFirstResult_cl() { Reset(); }
  void Reset() override;
  // Keeps the hit and stops the cast.
  bool OnHit(const VisPhysicsHit_t& hit) override;

  bool bHit = false;
  VisPhysicsHit_t firstHit;
};
