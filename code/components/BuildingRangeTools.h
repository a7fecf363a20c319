// What the building plots and the special buildings share: a building owner, and the
// highlight that shows while someone who may use the building stands in range.
#pragma once

#include "core/VEntityHighlightManager.h"
#include "entities/BuildingBaseEntity.h"

#include "engine/core/VisBaseEntity.h"

#include <cstdint>

namespace BuildingRange {

// The owner test after BaseComponent's own: buildings only.
inline int CanAttachToBuilding(VisTypedEngineObject_cl* object, VString& reason) {
  if (object->IsOfType(BuildingBaseEntity::GetClassTypeId())) return 1;
  reason = "Component can only be added to instances of BuildingBaseEntity or derived classes.";
  return 0;
}

inline VisBaseEntity_cl* AsEntity(VisTypedEngineObject_cl* owner) {
  return owner && owner->IsOfType(VisBaseEntity_cl::GetClassTypeId()) ? static_cast<VisBaseEntity_cl*>(owner)
                                                                       : nullptr;
}

inline void RemoveHighlight(VisBaseEntity_cl* building) {
  if (building && VEntityHighlightManager::HasInstance())
    VEntityHighlightManager::GetInstance()->RemoveHighlight(building);
}

// Lit in the colour while in range, plain otherwise.
inline void ShowInRange(VisBaseEntity_cl* building, bool inRange, uint32_t colour) {
  if (!inRange) {
    RemoveHighlight(building);
    return;
  }
  VEntityHighlightManager* highlights = VEntityHighlightManager::GetInstance();
  if (!highlights->IsHighlighted(building)) highlights->AddHighlight(building, colour);
}

}  // namespace BuildingRange
