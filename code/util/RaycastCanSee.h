// A first-hit physics ray that tells whether the way is blocked: entity hits (but not
// the ignored entity), static geometry and terrain count only when their bit of the
// mask is set; anything else always blocks.
#pragma once

#include "engine/physics/VisPhysicsRaycastFirstResult.h"

class RaycastCanSee : public VisPhysicsRaycastFirstResult_cl {
 public:
  // Mask bits: entity hits, static geometry, terrain.
  enum { BLOCK_ENTITIES = 1, BLOCK_STATIC_GEOMETRY = 2, BLOCK_TERRAIN = 4 };

  RaycastCanSee() { Reset(); }
  void Reset() override;
  // A blocking hit sets the flag and stops the query.
  bool OnHit(const VisPhysicsHit_t& hit) override;
  // Hits that would not block are not even tested.
  bool WantsHitOn(const VisPhysicsHit_t& candidate) const override;

  // Whether a hit of that kind on that object counts, under the mask.
  static bool Blocks(const VisPhysicsHit_t& hit, const VisTypedEngineObject_cl* ignore, unsigned mask);

  bool bBlocked = false;
  VisTypedEngineObject_cl* pIgnoreEntity = nullptr;
  unsigned iBlockMask = 0;
};
