// Name tags of ships and towns. The tag's panels, their placement and their fading
// come with the HUD.
#include "components/NameTagComponent.h"

#include "entities/ShipEntity.h"
#include "entities/TownEntity.h"

V_IMPLEMENT_DYNCREATE(NameTagComponent, BaseComponent)

NameTagComponent::NameTagComponent() = default;

NameTagComponent::~NameTagComponent() = default;

int NameTagComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  if (object->IsOfType(ShipEntity::GetClassTypeId()) || object->IsOfType(TownEntity::GetClassTypeId())) return 1;
  reason = "Component can only be added to instances of ShipEntity/TownEntity or derived classes.";
  return 0;
}
