// The owner rule the shell components share: they ride on projectiles only.
#pragma once

#include "entities/ProjectileEntity.h"

namespace ProjectileOwner {

inline bool Accepts(VisTypedEngineObject_cl* object, VString& reason) {
  if (object->IsOfType(ProjectileEntity::GetClassTypeId())) return true;
  reason = "Component can only be added to instances of ProjectileEntity or derived classes.";
  return false;
}

inline ProjectileEntity* Of(VisTypedEngineObject_cl* owner) {
  return owner && owner->IsOfType(ProjectileEntity::GetClassTypeId()) ? static_cast<ProjectileEntity*>(owner) : nullptr;
}

}  // namespace ProjectileOwner
