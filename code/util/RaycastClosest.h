// A closest-hit physics ray with the filter of RaycastCanSee: it keeps the nearest hit
// that counts under the mask (ignoring one entity) and goes on through the others.
#pragma once

#include "engine/physics/VisPhysicsRaycastClosestResult.h"

class RaycastClosest : public VisPhysicsRaycastClosestResult_cl {
 public:
  // Distance a query starts from: no kept hit is farther.
  static constexpr float NO_HIT_DISTANCE = 999999.875f;

  RaycastClosest() { Reset(); }
  void Reset() override;
  bool OnHit(const VisPhysicsHit_t& hit) override;
  // Hits that would not count are not even tested.
  bool WantsHitOn(const VisPhysicsHit_t& candidate) const override;

  VisTypedEngineObject_cl* pIgnoreEntity = nullptr;
  unsigned iBlockMask = 0;
  // The nearest counted hit.
  float fHitDistance = NO_HIT_DISTANCE;
  VisVector_cl vHitPoint{0, 0, 0};
  VisVector_cl vHitNormal{0, 0, 0};
  int iHitKind = VIS_PHYSICSHIT_NONE;
  VisTypedEngineObject_cl* pHitEntity = nullptr;
  // The physics object of an entity hit (null for static geometry and terrain).
  vPhysXObject* pHitPhysicsObject = nullptr;
};
