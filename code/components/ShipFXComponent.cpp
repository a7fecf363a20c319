// Ship effects: the shared effect set.
#include "components/ShipFXComponent.h"

#include "Factories/ShipFactory.h"

V_IMPLEMENT_DYNCREATE(ShipFXComponent, IVObjectComponent)

ShipFXComponent::ShipFXComponent() = default;

ShipFXComponent::~ShipFXComponent() = default;

int ShipFXComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!IVObjectComponent::CanAttachToObject(object, reason)) return 0;
  if (object->IsOfType(VisObject3D_cl::GetClassTypeId())) return 1;
  reason = "Component can only be added to instances of VisObject3D_cl or derived classes.";
  return 0;
}

void ShipFXComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  IVObjectComponent::SetOwner(owner);
  if (!owner) return;
  m_pEffects = ShipFactory::GetInstance();
  m_pEffects->Preload();
}
