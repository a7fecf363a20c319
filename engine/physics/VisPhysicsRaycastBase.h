// Physics ray casts: the hit record the physics module reports and the base of the
// query records (vPhysXModule::PerformRaycast).
#pragma once

#include "engine/base/VisMath.h"

class VisTypedEngineObject_cl;
class vPhysXObject;

// Kinds of physics ray hits. They differ from the trace-line hit types
// (VisTraceLineInfo_t: 1 entity, 2 static geometry, 3 terrain): game code tests both
// through named constants and predicates, never through the numbers.
enum VisPhysicsHitType_e {
  VIS_PHYSICSHIT_NONE = 0,
  VIS_PHYSICSHIT_ENTITY = 2,          // an entity's rigid body (or other physics object)
  VIS_PHYSICSHIT_CONTROLLER = 3,      // an entity's character controller
  VIS_PHYSICSHIT_STATICGEOMETRY = 4,  // a VisStaticGeometryInstance_cl
  VIS_PHYSICSHIT_TERRAIN = 5,
};

inline bool IsPhysicsEntityHit(int hitType) {
  return hitType == VIS_PHYSICSHIT_ENTITY || hitType == VIS_PHYSICSHIT_CONTROLLER;
}

struct VisPhysicsHit_t {
  float fHitFraction = 0.0f;  // 0 at the ray's start, 1 at its end
  float fHitDistance = 0.0f;  // from the start, in world units
  VisVector_cl vImpactPoint{0, 0, 0};
  VisVector_cl vImpactNormal{0, 0, 0};  // unit, facing the ray's start
  int eHitType = VIS_PHYSICSHIT_NONE;
  // The owner entity (kinds 2, 3), the static geometry instance (4), null (5).
  VisTypedEngineObject_cl* pHitObject = nullptr;
  // The physics object hit (kinds 2, 3), else null.
  vPhysXObject* pPhysicsObject = nullptr;
};

class VBASE_IMPEXP VisPhysicsRaycastBase_cl {
 public:
  VisPhysicsRaycastBase_cl() = default;
  virtual ~VisPhysicsRaycastBase_cl() = default;

  // Forgets the hit: filter -1, hit type 0, hit object null (start and end stay).
  virtual void Reset();
  // Called once per thing the ray meets, nearest first (one call per object); true
  // lets the cast go on, false stops it.
  virtual bool OnHit(const VisPhysicsHit_t& hit) = 0;
  // Asked before an object's exact test with the hit's kind and objects filled in (no
  // place yet): false leaves the object out, as if the ray missed it. For records that
  // would ignore such hits anyway; every object is tested by default.
  virtual bool WantsHitOn(const VisPhysicsHit_t& candidate) const { return true; }

  VisVector_cl vRayStart{0, 0, 0};  // w 1
  VisVector_cl vRayEnd{0, 0, 0};    // w 1
  // Collision groups the ray sees, one bit per group (static geometry and terrain are
  // group 0); -1 sees everything.
  int iCollisionFilter = -1;
  // The hit the engine's own result records keep.
  int iHitType = VIS_PHYSICSHIT_NONE;
  VisTypedEngineObject_cl* pHitObject = nullptr;
};
