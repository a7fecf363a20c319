// Health bar states: shown, held, faded out. The bar's frame comes with the HUD.
#include "components/HealthBarComponent.h"

#include "engine/core/VisBaseEntity.h"
#include "engine/core/VisCallbacks.h"

V_IMPLEMENT_DYNCREATE(HealthBarComponent, BaseComponent)

HealthBarComponent::HealthBarComponent() { Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this); }

HealthBarComponent::~HealthBarComponent() { Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this); }

int HealthBarComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  if (!object->IsOfType("ShipEntity") && !object->IsOfType("SoldierEntity") &&
      !object->IsOfType("BuildingBaseEntity")) {
    reason = "Component can only be added to instances of ShipEntity/SoldierEntity/BuildingBaseEntity or derived classes.";
    return 0;
  }
  return 1;
}

void HealthBarComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  BaseComponent::SetOwner(owner);
  if (owner)
    CommonInit();
  else
    DeInit();
}

void HealthBarComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update();
}

// The bar's frame belongs to the HUD, which does not exist yet: no frame is made,
// so the bar has nothing to place or fill.
void HealthBarComponent::CommonInit() {}

void HealthBarComponent::DeInit() {}

// Without a frame there is nothing to fade, place or fill.
void HealthBarComponent::Update() {}

void HealthBarComponent::Show(float seconds) {
  if (m_fHoldTimer == 0.0f) return;
  const VisTypedEngineObject_cl* owner = GetOwner();
  if (owner && owner->IsOfType(VisBaseEntity_cl::GetClassTypeId()) &&
      static_cast<const VisBaseEntity_cl*>(owner)->GetVisibleBitmask() == 0)
    return;
  m_fHoldTimer = seconds;
  if (m_iState == STATE_FADING_OUT || m_iState == STATE_HIDDEN) m_iState = STATE_FADING_IN;
}

void HealthBarComponent::Hide() {
  m_iState = STATE_FADING_OUT;
  m_fHoldTimer = HOLD_HIDDEN;
}
