// The nearest counted hit of a ray.
#include "util/RaycastClosest.h"

#include "util/RaycastCanSee.h"

void RaycastClosest::Reset() {
  VisPhysicsRaycastClosestResult_cl::Reset();
  bHit = false;
  pIgnoreEntity = nullptr;
  iBlockMask = 0;
  iCollisionFilter = -1;
  fHitDistance = NO_HIT_DISTANCE;
  vHitPoint = vHitNormal = VisVector_cl(0, 0, 0);
  iHitKind = VIS_PHYSICSHIT_NONE;
  pHitEntity = nullptr;
  pHitPhysicsObject = nullptr;
}

bool RaycastClosest::OnHit(const VisPhysicsHit_t& hit) {
  if (!RaycastCanSee::Blocks(hit, pIgnoreEntity, iBlockMask)) return true;
  if (hit.fHitDistance < fHitDistance) {
    bHit = true;
    fHitDistance = hit.fHitDistance;
    vHitPoint = hit.vImpactPoint;
    vHitNormal = hit.vImpactNormal;
    iHitKind = hit.eHitType;
    pHitEntity = hit.pHitObject;
    pHitPhysicsObject = hit.pPhysicsObject;
    closestHit = hit;
    iHitType = hit.eHitType;
    pHitObject = hit.pHitObject;
  }
  return true;
}

bool RaycastClosest::WantsHitOn(const VisPhysicsHit_t& candidate) const {
  return RaycastCanSee::Blocks(candidate, pIgnoreEntity, iBlockMask);
}
