// What an archive created and nobody took: the save-game loader's clean-up after a
// read, for the fuzz targets that read objects by class name.
#pragma once

#include "engine/base/VArchive.h"
#include "engine/core/IVObjectComponent.h"
#include "engine/core/VisBaseEntity.h"
#include "engine/core/VisPath.h"

#include <vector>

namespace fuzz_checks {

// Components without an owner are disposed of and unreferenced paths deleted; other
// plain objects are deleted. Entities stay: they belong to the world, which frees
// them (and their components) afterwards. Everything is sorted out before anything
// goes, since a path takes its components with it.
inline void ReleaseLoadedObjects(VArchive& ar) {
  std::vector<IVObjectComponent*> components;
  std::vector<VTypedObject*> others;
  for (VTypedObject* obj : ar.GetLoadedObjects()) {
    if (obj->IsOfType(VisBaseEntity_cl::GetClassTypeId())) continue;
    if (obj->IsOfType(IVObjectComponent::GetClassTypeId())) {
      auto* component = static_cast<IVObjectComponent*>(obj);
      if (!component->GetOwner()) components.push_back(component);
    } else if (obj->IsOfType(VisPath_cl::GetClassTypeId())) {
      if (static_cast<VisPath_cl*>(obj)->GetRefCount() == 0) others.push_back(obj);
    } else {
      others.push_back(obj);
    }
  }
  for (IVObjectComponent* component : components) component->DisposeObject();
  for (VTypedObject* obj : others) delete obj;
}

}  // namespace fuzz_checks
