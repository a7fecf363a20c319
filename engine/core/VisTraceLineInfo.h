// The result record of a trace line: what a ray hit, where, and how far away.
// Hit types: 1 an entity, 2 static geometry, 3 terrain (callers use the named
// tests rather than the numbers).
#pragma once

#include "engine/base/VisMath.h"

class VisBaseEntity_cl;

struct VisTraceLineInfo_t {
  enum HitType { HIT_NONE = 0, HIT_ENTITY = 1, HIT_STATIC_GEOMETRY = 2, HIT_TERRAIN = 3 };

  bool detected = false;
  float distance = 0.0f;
  VisVector_cl touchPoint{0, 0, 0};
  VisBaseEntity_cl* colliderEntity = nullptr;
  int hitType = HIT_NONE;

  bool IsEntityHit() const { return detected && hitType == HIT_ENTITY; }
  bool IsWorldHit() const { return detected && hitType == HIT_STATIC_GEOMETRY; }
  bool IsTerrainHit() const { return detected && hitType == HIT_TERRAIN; }
  // Forgets the hit.
  void Clear() {
    detected = false;
    colliderEntity = nullptr;
  }
};
