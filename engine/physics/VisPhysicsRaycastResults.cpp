// The engine's own ray-cast records: base reset, closest hit, first hit.
#include "engine/physics/VisPhysicsRaycastClosestResult.h"
#include "engine/physics/VisPhysicsRaycastFirstResult.h"

void VisPhysicsRaycastBase_cl::Reset() {
  iCollisionFilter = -1;
  iHitType = VIS_PHYSICSHIT_NONE;
  pHitObject = nullptr;
}

void VisPhysicsRaycastClosestResult_cl::Reset() {
  VisPhysicsRaycastBase_cl::Reset();
  bHit = false;
  closestHit = VisPhysicsHit_t();
  closestHit.fHitFraction = 2.0f;
}

bool VisPhysicsRaycastClosestResult_cl::OnHit(const VisPhysicsHit_t& hit) {
  if (hit.fHitFraction < closestHit.fHitFraction) {
    closestHit = hit;
    bHit = true;
    iHitType = hit.eHitType;
    pHitObject = hit.pHitObject;
  }
  return true;
}

void VisPhysicsRaycastFirstResult_cl::Reset() {
  VisPhysicsRaycastBase_cl::Reset();
  bHit = false;
  firstHit = VisPhysicsHit_t();
}

bool VisPhysicsRaycastFirstResult_cl::OnHit(const VisPhysicsHit_t& hit) {
  firstHit = hit;
  bHit = true;
  iHitType = hit.eHitType;
  pHitObject = hit.pHitObject;
  return false;
}
