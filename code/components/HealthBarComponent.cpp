// Health bars over ships, soldiers and buildings.
#include "components/HealthBarComponent.h"

#include "components/DestructableBuildingComponent.h"
#include "core/BaseEntity.h"
#include "core/GameManager.h"
#include "entities/BuildingBaseEntity.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierStats.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameHealthBar.h"
#include "gui/GUIManager.h"

#include "engine/base/VisTimer.h"
#include "engine/core/VisBaseEntity.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisRenderContext.h"
#include "engine/Vision.h"

#include <CEGUI/CEGUI.h>

#include <algorithm>

namespace {

// The bar of the player's badly hurt ship or hero comes back for this long.
const float kLowHitPointsHold = 3.0f;

GUIManager* RunningGui() {
  return GUIManager::HasInstance() && GUIManager::GetInstance()->IsInitialized() ? GUIManager::GetInstance() : nullptr;
}

// Current over maximum; a maximum of 0 or less (an untracked record) has no share.
bool Share(int current, int maximum, float& ratio) {
  if (maximum <= 0) return false;
  ratio = (float)current / (float)maximum;
  return true;
}

}  // namespace

V_IMPLEMENT_DYNCREATE(HealthBarComponent, BaseComponent)

HealthBarComponent::HealthBarComponent() { Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this); }

HealthBarComponent::~HealthBarComponent() {
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  delete m_pFrame;
  m_pFrame = nullptr;
}

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

void HealthBarComponent::CommonInit() {
  if (!m_pFrame) {
    m_pFrame = new FrameHealthBar();
    if (!m_pFrame->Init()) {
      delete m_pFrame;
      m_pFrame = nullptr;
      return;
    }
  }
  CEGUI::Window* root = m_pFrame->GetRootWindow();
  if (!root) return;
  CeguiCompat::Try("health bar", [&] {
    root->moveToBack();
    root->setAlwaysOnTop(false);
  });
  m_pFrame->SetAlpha(0.0f);
  m_pFrame->SetHealth(1.0f);

  VisTypedEngineObject_cl* owner = GetOwner();
  if (owner && (owner->IsOfType("SoldierEntity") || owner->IsOfType("ShipEntity") ||
                owner->IsOfType("BuildingBaseEntity"))) {
    const Nation* player = GameManager::HasInstance() ? GameManager::GetInstance()->GetPlayerNation() : nullptr;
    const int nation = static_cast<BaseEntity*>(owner)->GetNation();
    if (!player || nation != player->GetNationId()) m_pFrame->SetEnemyBar();
  }

  GUIManager* gui = RunningGui();
  if (!gui || !gui->AddToTheBaseFrame(root)) Vision::Error.Warning("Failed to ADD Health bar!");
}

void HealthBarComponent::DeInit() {
  // No frame was made without a running GUI, and a GUI shut down since took the
  // window with it: neither is worth a warning.
  CEGUI::Window* root = m_pFrame ? m_pFrame->GetRootWindow() : nullptr;
  GUIManager* gui = RunningGui();
  if (!root || !gui) return;
  if (!gui->RemoveFromTheBaseFrame(root)) Vision::Error.Warning("Failed to REMOVE health bar!");
}

float HealthBarComponent::GetAlpha() const { return m_pFrame ? m_pFrame->GetAlpha() : 0.0f; }

void HealthBarComponent::Update() {
  VisTypedEngineObject_cl* owner = GetOwner();
  if (!m_pFrame || !owner || !m_pFrame->GetRootWindow()) return;
  // A GUI shut down took the bar's window with it.
  if (!RunningGui()) return;
  VisBaseEntity_cl* entity =
      owner->IsOfType(VisBaseEntity_cl::GetClassTypeId()) ? static_cast<VisBaseEntity_cl*>(owner) : nullptr;
  const float dt = Vision::Timer.GetTimeDifference();

  if (entity && entity->GetVisibleBitmask() == 0 && m_iState != STATE_HIDDEN) Hide();
  bool isPlayer = false;
  bool lowHitPoints = false;
  if (entity && GameManager::HasInstance()) {
    GameManager* game = GameManager::GetInstance();
    isPlayer = game->GetPlayerEntity() == entity;
    lowHitPoints = game->HasLowHitPoints();
    if (isPlayer && lowHitPoints) {
      m_pFrame->UpdateLowHpBlink(dt);
      if (m_iState != STATE_SHOWN) {
        m_fHoldTimer = kLowHitPointsHold;
        m_iState = STATE_FADING_IN;
      }
    }
  }

  float alpha = m_pFrame->GetAlpha();
  switch (m_iState) {
    case STATE_FADING_IN:
      alpha += m_fFadeSpeed * dt * 3.0f;
      if (alpha > 1.0f) {
        alpha = 1.0f;
        m_iState = STATE_SHOWN;
      }
      m_pFrame->SetAlpha(alpha);
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
      alpha -= m_fFadeSpeed * dt;
      if (alpha < 0.0f) {
        alpha = 0.0f;
        m_iState = STATE_HIDDEN;
      }
      m_pFrame->SetAlpha(alpha);
      break;
    default:
      m_pFrame->SetAlpha(0.0f);
      if (m_bRemoveWhenHidden && owner->IsOfType(BaseEntity::GetClassTypeId()))
        static_cast<BaseEntity*>(owner)->RemoveComponentDeferred(this);
      return;
  }

  if (entity) {
    VisBoundingBox_cl box;
    entity->GetCurrentVisBoundingBox(box);
    VisVector_cl top = entity->GetPosition();
    if (box.IsValid()) top.z = box.m_vMax.z;
    float x = 0.0f, y = 0.0f;
    VisRenderContext_cl* context = VisRenderContext_cl::GetMainRenderContext();
    if (context && context->Project2D(top, x, y)) m_pFrame->SetPosition(x, y);
  }

  const float ratio = std::clamp(HealthRatio(owner, isPlayer, lowHitPoints), 0.0f, 1.0f);
  if (ratio != m_pFrame->GetHealth()) m_pFrame->SetHealth(ratio);
}

float HealthBarComponent::HealthRatio(VisTypedEngineObject_cl* owner, bool isPlayer, bool lowHitPoints) {
  float ratio = m_pFrame->GetHealth();
  if (owner->IsOfType(ShipEntity::GetClassTypeId())) {
    if (const ShipStats* stats = static_cast<ShipEntity*>(owner)->GetStats())
      Share(stats->GetHull().GetCurrent(), stats->GetHull().GetMaximum(), ratio);
    if (isPlayer) m_pFrame->SetLowHpBar(lowHitPoints);
  } else if (owner->IsOfType(SoldierEntity::GetClassTypeId())) {
    if (const SoldierStats* stats = static_cast<SoldierEntity*>(owner)->GetStats())
      Share(stats->m_Hitpoints.GetCurrent(), stats->m_Hitpoints.GetMaximum(), ratio);
    if (isPlayer) m_pFrame->SetLowHpBar(lowHitPoints);
  } else if (owner->IsOfType(BuildingBaseEntity::GetClassTypeId())) {
    if (auto* building = static_cast<BuildingBaseEntity*>(owner)->Components<DestructableBuildingComponent>())
      Share(building->GetHitPoints(), building->GetHitPointsMax(), ratio);
  }
  return ratio;
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
