// What the scene cannons (tower, monkey and gate cannons) share: the visibility test
// of their cannon entity, the reload draw and the shell they fire.
#pragma once

#include "entities/AreaEffectProjectileEntity.h"
#include "util/MathTools.h"

#include "engine/core/VisGame.h"

namespace SceneCannon {

// A hidden cannon (visibility mask 0) neither aims, reloads nor fires.
inline bool IsShown(const VisTypedEngineObject_cl* owner) {
  return owner && owner->IsOfType(VisBaseEntity_cl::GetClassTypeId()) &&
         static_cast<const VisBaseEntity_cl*>(owner)->GetVisibleBitmask() != 0;
}

// max x r for a uniform r, raised to min: with 1 and 3 a third of the draws give 1.
inline float ReloadTime(float min, float max) {
  const float delay = max * MathTools::RandomFloat();
  return delay < min ? min : delay;
}

// A new area-effect shell at the point; null when the class cannot be made.
inline AreaEffectProjectileEntity* MakeShell(const VisVector_cl& at, const char* model) {
  VisBaseEntity_cl* made = Vision::Game.CreateEntity("AreaEffectProjectileEntity", at, model);
  if (!made) return nullptr;
  if (made->IsOfType(AreaEffectProjectileEntity::GetClassTypeId())) return static_cast<AreaEffectProjectileEntity*>(made);
  made->Remove();
  return nullptr;
}

}  // namespace SceneCannon
