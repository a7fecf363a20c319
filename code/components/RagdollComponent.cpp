// Ragdolls of soldiers.
#include "components/RagdollComponent.h"

#include "core/BaseEntity.h"

#include "engine/core/VisBaseEntity.h"

V_IMPLEMENT_DYNCREATE(RagdollComponent, BaseComponent)

int RagdollComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  if (!object->IsOfType(BaseEntity::GetClassTypeId())) {
    reason = "Component can only be added to instances of BaseEntity or derived classes.";
    return 0;
  }
  return 1;
}

void RagdollComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  // Without bodies to build there is nothing to tear down either: the ragdoll stays
  // inactive on any owner.
  if (!owner) m_bActive = false;
  BaseComponent::SetOwner(owner);
}

void RagdollComponent::AddForce(const VisVector_cl&, const VisVector_cl&, NxForceMode) {
  if (!m_bActive) return;
}
