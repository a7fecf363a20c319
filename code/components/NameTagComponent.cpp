// Ship name tags. The tag's frame, its placement and its fading come with the HUD.
#include "components/NameTagComponent.h"

#include "entities/ShipEntity.h"

V_IMPLEMENT_DYNCREATE(NameTagComponent, BaseComponent)

NameTagComponent::NameTagComponent() = default;

NameTagComponent::~NameTagComponent() = default;

int NameTagComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  return ShipEntity::AcceptsComponentOwner(object, reason);
}
