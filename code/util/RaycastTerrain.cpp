// The nearest terrain hit of a ray.
#include "util/RaycastTerrain.h"

void RaycastTerrain::Reset() {
  VisPhysicsRaycastClosestResult_cl::Reset();
  bHit = false;
  iCollisionFilter = -1;
  fHitFraction = NO_HIT_FRACTION;
  vHitPoint = vHitNormal = VisVector_cl(0, 0, 0);
  iHitKind = VIS_PHYSICSHIT_NONE;
  pHitEntity = nullptr;
}

bool RaycastTerrain::OnHit(const VisPhysicsHit_t& hit) {
  if (hit.eHitType != VIS_PHYSICSHIT_TERRAIN || !(hit.fHitFraction < fHitFraction)) return true;
  bHit = true;
  fHitFraction = hit.fHitFraction;
  vHitPoint = hit.vImpactPoint;
  vHitNormal = hit.vImpactNormal;
  iHitKind = hit.eHitType;
  pHitEntity = hit.pHitObject;
  closestHit = hit;
  iHitType = hit.eHitType;
  pHitObject = hit.pHitObject;
  return true;
}

bool RaycastTerrain::WantsHitOn(const VisPhysicsHit_t& candidate) const {
  return candidate.eHitType == VIS_PHYSICSHIT_TERRAIN;
}
