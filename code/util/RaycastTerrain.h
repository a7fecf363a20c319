// A physics ray that keeps the nearest terrain hit and passes through everything
// else (entities, controllers, static geometry).
#pragma once

#include "engine/physics/VisPhysicsRaycastClosestResult.h"

class RaycastTerrain : public VisPhysicsRaycastClosestResult_cl {
 public:
  // Fraction a query starts from: any hit on the ray is nearer.
  static constexpr float NO_HIT_FRACTION = 2.0f;

  RaycastTerrain() { Reset(); }
  void Reset() override;
  // Terrain hits nearer than the kept one are kept; the cast always goes on.
  bool OnHit(const VisPhysicsHit_t& hit) override;
  bool WantsHitOn(const VisPhysicsHit_t& candidate) const override;

  float fHitFraction = NO_HIT_FRACTION;
  VisVector_cl vHitPoint{0, 0, 0};
  VisVector_cl vHitNormal{0, 0, 0};
  int iHitKind = VIS_PHYSICSHIT_NONE;
  VisTypedEngineObject_cl* pHitEntity = nullptr;
};
