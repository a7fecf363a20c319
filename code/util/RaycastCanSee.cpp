// The line-of-sight ray.
#include "util/RaycastCanSee.h"

bool RaycastCanSee::Blocks(const VisPhysicsHit_t& hit, const VisTypedEngineObject_cl* ignore, unsigned mask) {
  if (IsPhysicsEntityHit(hit.eHitType)) return (mask & BLOCK_ENTITIES) && hit.pHitObject != ignore;
  if (hit.eHitType == VIS_PHYSICSHIT_STATICGEOMETRY) return (mask & BLOCK_STATIC_GEOMETRY) != 0;
  if (hit.eHitType == VIS_PHYSICSHIT_TERRAIN) return (mask & BLOCK_TERRAIN) != 0;
  return true;
}

void RaycastCanSee::Reset() {
  VisPhysicsRaycastFirstResult_cl::Reset();
  bBlocked = false;
  pIgnoreEntity = nullptr;
  iBlockMask = 0;
  iCollisionFilter = -1;
}

bool RaycastCanSee::OnHit(const VisPhysicsHit_t& hit) {
  if (!Blocks(hit, pIgnoreEntity, iBlockMask)) return true;
  bBlocked = true;
  VisPhysicsRaycastFirstResult_cl::OnHit(hit);
  return false;
}

bool RaycastCanSee::WantsHitOn(const VisPhysicsHit_t& candidate) const {
  return Blocks(candidate, pIgnoreEntity, iBlockMask);
}
