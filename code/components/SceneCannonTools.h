// What the scene cannons (tower, monkey and gate cannons) share: the visibility test
// of their cannon entity, the reload draw, the shell they fire, and for the tower and
// monkey cannons the owner check and the saved editor values.
#pragma once

#include "entities/AreaEffectProjectileEntity.h"
#include "entities/CannonEntity.h"
#include "util/MathTools.h"

#include "engine/base/VArchive.h"
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

// The owner test after BaseComponent's own: cannon entities only.
inline int CanAttachToCannon(VisTypedEngineObject_cl* object, VString& reason) {
  if (object->IsOfType(CannonEntity::GetClassTypeId())) return 1;
  reason = "Component can only be added to instances of CannonEntity or derived classes.";
  return 0;
}

// The five editor values, in the order the saved block holds them.
template <class Cannon>
void WriteSettings(VArchive& ar, const Cannon& cannon) {
  ar << cannon.m_iLoadingTime_Min << cannon.m_iLoadingTime_Max << cannon.m_fShootingRange << cannon.m_fShootingpower
     << cannon.m_fAreaDamage;
}

// Read apart first, so that a block that does not end well leaves the cannon as it was.
struct SavedSettings {
  float min = 0, max = 0, range = 0, power = 0;
  int damage = 0;

  void Read(VArchive& ar) { ar >> min >> max >> range >> power >> damage; }
  template <class Cannon>
  void ApplyTo(Cannon& cannon) const {
    cannon.m_iLoadingTime_Min = min;
    cannon.m_iLoadingTime_Max = max;
    cannon.m_fShootingRange = range;
    cannon.m_fShootingpower = power;
    cannon.m_fAreaDamage = damage;
  }
};

}  // namespace SceneCannon
