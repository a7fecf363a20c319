// Health bar states: shown, held, faded out. The bar's frame comes with the HUD.
#include "components/HealthBarComponent.h"

#include "core/BaseEntity.h"
#include "core/GameManager.h"

#include "engine/base/VisTimer.h"
#include "engine/core/VisBaseEntity.h"
#include "engine/core/VisCallbacks.h"

namespace {

// The bar of the player's badly hurt ship or hero comes back for this long.
const float kLowHitPointsHold = 3.0f;

}  // namespace

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

// The states run without a frame; placing and filling come with the frame.
void HealthBarComponent::Update() {
  VisTypedEngineObject_cl* owner = GetOwner();
  if (!owner) return;
  VisBaseEntity_cl* entity =
      owner->IsOfType(VisBaseEntity_cl::GetClassTypeId()) ? static_cast<VisBaseEntity_cl*>(owner) : nullptr;
  const float dt = Vision::Timer.GetTimeDifference();

  if (entity && entity->GetVisibleBitmask() == 0 && m_iState != STATE_HIDDEN) Hide();
  if (entity && GameManager::HasInstance()) {
    GameManager* game = GameManager::GetInstance();
    if (game->HasLowHitPoints() && game->GetPlayerEntity() == entity && m_iState != STATE_SHOWN) {
      m_fHoldTimer = kLowHitPointsHold;
      m_iState = STATE_FADING_IN;
    }
  }

  switch (m_iState) {
    case STATE_FADING_IN:
      m_fAlpha += m_fFadeSpeed * dt * 3.0f;
      if (m_fAlpha > 1.0f) {
        m_fAlpha = 1.0f;
        m_iState = STATE_SHOWN;
      }
      break;
    case STATE_SHOWN:
      if (m_fHoldTimer > 0.0f) {
        m_fHoldTimer -= dt;
        if (m_fHoldTimer <= 0.0f) {
          m_iState = STATE_FADING_OUT;
          m_fHoldTimer = HOLD_HIDDEN;
        }
      }
      break;
    case STATE_FADING_OUT:
      m_fAlpha -= m_fFadeSpeed * dt;
      if (m_fAlpha < 0.0f) {
        m_fAlpha = 0.0f;
        m_iState = STATE_HIDDEN;
      }
      break;
    default:
      m_fAlpha = 0.0f;
      if (m_bRemoveWhenHidden && owner->IsOfType(BaseEntity::GetClassTypeId()))
        static_cast<BaseEntity*>(owner)->RemoveComponentDeferred(this);
      break;
  }
}

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
