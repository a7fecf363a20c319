// Mouse input: the pick ray, clicks and drags turned into the player's selection
// and orders, the right-button order, and the hover feedback (cursor, health
// bars, tooltip).
#include "core/MouseInputHandler.h"

#include "Managers/GameSessionManager.h"
#include "Managers/PauseManager.h"
#include "Managers/SoundManager.h"
#include "core/BaseEntity.h"
#include "core/GameManager.h"
#include "core/Player.h"
#include "components/DLC1SpecialCannonComponent.h"
#include "components/DestructableBuildingComponent.h"
#include "core/ComponentMessages.h"
#include "entities/BuildingBaseEntity.h"
#include "entities/TownEntity.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "gui/GUIManager.h"
#include "util/MathTools.h"
#include "util/Navigation.h"

#include "engine/Vision.h"
#include "engine/base/VisInput.h"
#include "engine/core/VisCollisionToolkit.h"
#include "engine/core/VisRenderContext.h"
#include "engine/core/VisStaticGeometryInstance.h"
#include "engine/core/VisVisibilityCollector.h"

#include <CEGUI/CEGUI.h>

namespace {

const float kPickRayLength = 1000.0f;
const uint32_t kDragLineColour = 0xFFFFFFFFu;  // white, opaque
const float kHoverHealthBarSeconds = 0.25f;
const float kHoverEffectSeconds = 0.1f;
const float kTooltipOffset = 15.0f;
const float kTooltipPadding = 10.0f;
const float kTooltipHeight = 21.0f;

bool ModifierHeld() {
  return Vision::Key.IsPressed(VGLK_MODIFIER_A) || Vision::Key.IsPressed(VGLK_MODIFIER_B);
}

bool IsPaused() { return PauseManager::HasInstance() && PauseManager::GetInstance()->IsAnyPaused(); }

int Location() { return GameManager::HasInstance() ? GameManager::GetInstance()->GetLocation() : -1; }

bool AtSea() {
  const int location = Location();
  return location == 0 || location == 2;
}

void SetCursor(CURSOR_TYPES kind) {
  if (GUIManager::HasInstance()) GUIManager::GetInstance()->ChangeMouseCursor(kind);
}

bool IsSoldier(const VisBaseEntity_cl* entity) {
  return entity && entity->IsOfType(SoldierEntity::GetClassTypeId());
}

UnitType HighestUnitRank() {
  return (UnitType)(GameSessionManager::HasInstance() ? GameSessionManager::GetInstance()->GetHighestUnitRank() : 0);
}

bool IsBuilding(const VisBaseEntity_cl* entity) {
  return entity && entity->IsOfType(BuildingBaseEntity::GetClassTypeId());
}

// The scripted cannon of the downloadable levels: a plain entity that heroes use.
bool IsUsableSpecialCannon(VisBaseEntity_cl* entity) {
  return entity && !IsBuilding(entity) && !entity->IsOfType(TownEntity::GetClassTypeId()) &&
         GameManager::HasInstance() && GameManager::GetInstance()->GetGameMode() == GAME_MODE_DLC &&
         entity->IsOfType(BaseEntity::GetClassTypeId()) && entity->Components<DLC1SpecialCannonComponent>();
}

CEGUI::GUIContext* GuiContext() {
  if (!GUIManager::HasInstance() || !GUIManager::GetInstance()->IsInitialized()) return nullptr;
  CEGUI::System* system = CEGUI::System::getSingletonPtr();
  return system ? &system->getDefaultGUIContext() : nullptr;
}

}  // namespace

MouseInputHandler::MouseInputHandler(Player* player) : m_pPlayer(player) {
  Vision::Callbacks.OnAfterSceneLoaded.RegisterCallback(this);
  Vision::Callbacks.OnEngineDeInit.RegisterCallback(this);
  GameManager::Callbacks.OnEntityCreated.RegisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
}

MouseInputHandler::~MouseInputHandler() {
  Vision::Callbacks.OnAfterSceneLoaded.DeregisterCallback(this);
  Vision::Callbacks.OnEngineDeInit.DeregisterCallback(this);
  GameManager::Callbacks.OnEntityCreated.DeregisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
  // The window belongs to CEGUI, which may already be gone.
  if (m_pTooltip && GuiContext() && CEGUI::WindowManager::getSingleton().isAlive(m_pTooltip)) {
    try {
      CEGUI::WindowManager::getSingleton().destroyWindow(m_pTooltip);
    } catch (const CEGUI::Exception&) {
    }
  }
}

void MouseInputHandler::Update() {
  if (GUIManager::HasInstance() && GUIManager::GetInstance()->IsMouseOverGUI()) return;

  ReadCursor();
  m_iLeftButton = Vision::Mouse.IsLeftButtonPressed() ? 1 : 0;
  m_iRightButton = Vision::Mouse.IsRightButtonPressed() ? 1 : 0;

  // A GUI that was shut down and started again took the window with it.
  if (m_pTooltip && (!GuiContext() || !CEGUI::WindowManager::getSingleton().isAlive(m_pTooltip))) m_pTooltip = nullptr;
  if (!m_pTooltip && Location() == 1) CreateTooltip();

  // While a button is down the hit feeds the click; else the hover feedback.
  if (m_iLeftButton || m_iRightButton)
    TracePickRay(m_clickEntityTrace, m_clickGroundTrace);
  else
    TracePickRay(m_hoverEntityTrace, m_hoverGroundTrace);

  if (m_iLeftButton)
    LeftClick();
  else if (!IsPaused())
    RightButtonStep();

  HoverStep();

  if (!m_iLeftButton) {
    if (m_bDragging) PlayReleaseAcknowledgement();
    m_bDragging = false;
  }
}

void MouseInputHandler::ReadCursor() {
  if (CEGUI::GUIContext* context = GuiContext()) {
    const CEGUI::Vector2f position = context->getMouseCursor().getPosition();
    m_fCursorX = position.d_x;
    m_fCursorY = position.d_y;
  } else {
    m_fCursorX = Vision::Mouse.GetX();
    m_fCursorY = Vision::Mouse.GetY();
  }
}

void MouseInputHandler::CreateTooltip() {
  if (!GuiContext()) return;
  try {
    m_pTooltip = CEGUI::WindowManager::getSingleton().createWindow("CorallineLook/SmallFrame", "Tooltip2");
  } catch (const CEGUI::Exception& e) {
    Vision::Error.Warning("MouseInputHandler: no tooltip window (%s)", e.getMessage().c_str());
    m_pTooltip = nullptr;
    return;
  }
  m_pTooltip->setMousePassThroughEnabled(true);
  m_pTooltip->setVisible(false);
  if (CEGUI::Window* root = GUIManager::GetInstance()->GetBaseFrame()) root->addChild(m_pTooltip);
}

void MouseInputHandler::TracePickRay(VisTraceLineInfo_t& entityTrace, VisTraceLineInfo_t& groundTrace) {
  const VisVector_cl start = Vision::Camera.GetPosition();
  const VisVector_cl end = start + Vision::Game.GetTraceDirFromScreenPos(m_fCursorX, m_fCursorY, kPickRayLength);

  GameManager::Callbacks.OnBeginMouseTrace.TriggerCallbacks();

  if (!m_pGroundScratch) {
    m_pGroundScratch = std::make_unique<std::vector<VisStaticGeometryInstance_cl*>>();
    m_pGroundScratch->reserve(4096);
  }
  m_pGroundScratch->clear();
  if (VisVisibilityCollector_cl* visible = VisRenderContext_cl::GetMainRenderContext()->GetVisibilityCollector())
    for (VisStaticGeometryInstance_cl* geometry : visible->GetVisibleStaticGeometryInstances())
      if (geometry && geometry->GetGeometryType() == 2) m_pGroundScratch->push_back(geometry);
  Vision::CollisionToolkit.TraceLineStaticGeometry(start, end, *m_pGroundScratch, &groundTrace);

  Vision::CollisionToolkit.TraceLineEntities(start, end, m_traceEntities, &entityTrace);

  GameManager::Callbacks.OnEndMouseTrace.TriggerCallbacks();
}

void MouseInputHandler::LeftClick() {
  if (!m_pPlayer) return;
  if (AtSea() && !m_bDragging && m_pPlayer->MakePlayerShipFireDecision()) return;

  VisBaseEntity_cl* hit = m_clickEntityTrace.detected ? m_clickEntityTrace.colliderEntity : nullptr;
  if (!hit) {
    if (!m_bDragging && !ModifierHeld()) m_pPlayer->ClearSelection();
  } else if (!IsSoldier(hit) && !hit->IsOfType(UnitEntity::GetClassTypeId())) {
    if (!m_bDragging) BuildingUseStep(hit);
  } else if (IsSoldier(hit) && !m_pPlayer->IsSelected(hit)) {
    if (ModifierHeld())
      m_pPlayer->DoSelection(hit, false, false);
    else
      m_pPlayer->SetSelected(hit);
  }
  DragStep();
}

void MouseInputHandler::DragStep() {
  const VisVector_cl touch = m_clickGroundTrace.touchPoint;
  if (!m_bDragging) {
    for (int i = 0; i < 4; ++i) m_dragBox.SetPoint(i, touch);
    m_bDragging = true;
    return;
  }

  // The rectangle stays aligned with the screen: the drag is split along the
  // camera's yaw into a sideways and a forward part.
  const VisVector_cl first = m_dragBox.GetPoint(0);
  const VisVector_cl third(touch.x, touch.y, first.z);
  const float yaw = VisRenderContext_cl::GetMainRenderContext()->GetCameraRotation().GetEulerAngles().x;
  float toScreen[3][3], toWorld[3][3];
  AxisAngleToRotationMatrix(toScreen, VisVector_cl(0, 0, 1), -yaw);
  AxisAngleToRotationMatrix(toWorld, VisVector_cl(0, 0, 1), yaw);
  const VisVector_cl d = third - first;
  const float u = toScreen[0][0] * d.x + toScreen[0][1] * d.y;
  const float v = toScreen[1][0] * d.x + toScreen[1][1] * d.y;
  const VisVector_cl second(first.x + toWorld[0][0] * u, first.y + toWorld[1][0] * u, first.z);
  const VisVector_cl fourth(first.x + toWorld[0][1] * v, first.y + toWorld[1][1] * v, first.z);
  m_dragBox.SetPoint(1, second);
  m_dragBox.SetPoint(2, third);
  m_dragBox.SetPoint(3, fourth);

  for (int i = 0; i < 4; ++i) {
    const VisVector_cl& a = m_dragBox.GetPoint(i);
    const VisVector_cl& b = m_dragBox.GetPoint((i + 1) % 4);
    Vision::Message.DrawSingleLine(a.x, a.y, a.z, b.x, b.y, b.z, kDragLineColour, 1.0f);
  }
  m_pPlayer->SetLeftDragSelectionArea(first, second, third, fourth);
  m_pPlayer->CheckLeftDragSelection();
}

void MouseInputHandler::RightButtonStep() {
  if (m_iRightButtonState == 0) {
    if (!m_iRightButton) return;
    UnitEntity* first = m_pPlayer ? m_pPlayer->GetSelectionAt(0) : nullptr;
    if (m_bOrderAllowed) {
      m_orderAnchorBox.SetPoint(0, m_clickGroundTrace.touchPoint);
      // A new order hides the target box the unit showed for the last one.
      if (first) first->GetUnitTargetBox().SetFlag(0);
    } else if (first && SoundManager::HasInstance()) {
      SoundManager::GetInstance()->PlaySoundA(HighestUnitRank(), SOUND_NEGATIVE, 1.0f, first->GetPosition(), 400.0f,
                                              0.0f);
    }
    m_iRightButtonState = 1;
  } else if (!m_iRightButton) {
    if (m_bOrderAllowed) GiveOrder();
    m_iRightButtonState = 0;
  }
}

void MouseInputHandler::GiveOrder() {
  if (!m_pPlayer) return;
  // The open sea is no static geometry, so no trace finds the water a ship is sent
  // across: at sea the player's ship takes the order from the cursor itself.
  if (!m_clickEntityTrace.detected && !m_clickGroundTrace.detected && !AtSea()) return;
  VisBaseEntity_cl* hit = m_clickEntityTrace.detected ? m_clickEntityTrace.colliderEntity : nullptr;
  const bool useBuilding = IsBuilding(hit) && !hit->Components<DestructableBuildingComponent>();
  if (useBuilding || IsUsableSpecialCannon(hit)) {
    BuildingUseStep(hit);
    UnitEntity* first = m_pPlayer->GetSelectionAt(0);
    if (first && SoundManager::HasInstance())
      SoundManager::GetInstance()->PlaySoundA(HighestUnitRank(), SOUND_ORDER, 1.0f, first->GetPosition(), 400.0f,
                                              0.0f);
    return;
  }
  m_pPlayer->GiveTarget(m_clickEntityTrace, m_clickGroundTrace, ModifierHeld());
}

// Heroes (and the player character's unit) go in to use what was clicked; other
// units only walk up to a building. Only a right press in progress sends them.
void MouseInputHandler::BuildingUseStep(VisBaseEntity_cl* entity) {
  if (!m_pPlayer || !entity || m_iRightButtonState != 1) return;
  const bool building = IsBuilding(entity);
  if (!building && !IsUsableSpecialCannon(entity)) return;
  VisVector_cl position = entity->GetPosition();
  for (int i = 0; i < m_pPlayer->GetNumSelected(); ++i) {
    UnitEntity* unit = m_pPlayer->GetSelectionAt((unsigned)i);
    if (!unit) continue;
    const bool user = unit == m_pPlayer->GetPlayerCharacter() || unit->IsHero();
    if (user)
      unit->SendMsg(VIS_MSG_USER_UNIT_WALK_TO_USE, (INT_PTR)&position, (INT_PTR)entity);
    else if (building)
      unit->SendMsg(VIS_MSG_USER_UNIT_WALK_TO, (INT_PTR)&position, (INT_PTR)entity);
  }
}

void MouseInputHandler::HoverStep() {
  m_bOrderAllowed = true;
  VisBaseEntity_cl* hovered = m_hoverEntityTrace.detected ? m_hoverEntityTrace.colliderEntity : nullptr;

  if (!hovered) {
    SetCursor(CURSOR_DEFAULT);
    Navigation* navigation = GameManager::HasInstance() ? GameManager::GetInstance()->GetNavigation() : nullptr;
    if (m_pPlayer && m_pPlayer->GetNumSelected() > 0 && navigation && navigation->HasMap()) {
      // Without ground under the cursor there is nowhere to walk to either.
      if (!m_hoverGroundTrace.detected || !navigation->IsWalkableAt(m_hoverGroundTrace.touchPoint)) {
        m_bOrderAllowed = false;
        SetCursor(CURSOR_INVALID);
      }
    }
  } else if (m_pPlayer && m_pPlayer->IsSelected(hovered)) {
    if (IsSoldier(hovered)) {
      if (hovered->GetVisibleBitmask() != 0) static_cast<SoldierEntity*>(hovered)->ShowHealthBar(kHoverHealthBarSeconds);
      SetCursor(CURSOR_FINGER);
    }
  } else if (hovered->IsMarkedRemoved()) {
    // Leaving the world this frame: nothing to point at.
  } else if (IsSoldier(hovered) && static_cast<SoldierEntity*>(hovered)->GetNation() != 0) {
    SoldierEntity* soldier = static_cast<SoldierEntity*>(hovered);
    const bool visible = soldier->GetVisibleBitmask() != 0;
    if (visible) {
      soldier->ShowHealthBar(kHoverHealthBarSeconds);
      soldier->ShowMouseHoverEffect(kHoverEffectSeconds);
    }
    const int playerNation = m_pPlayer ? m_pPlayer->GetPlayerNation() : 1;
    if (soldier->GetNation() == playerNation)
      SetCursor(CURSOR_FINGER);
    else if (visible)
      SetCursor(CURSOR_CROSSHAIR);
  }

  // Only buildings carry tooltips; none is chosen until they exist.
  PlaceTooltip(false);
}

void MouseInputHandler::PlaceTooltip(bool show) {
  if (!m_pTooltip) return;
  if (Location() != 1) {
    m_pTooltip->setVisible(false);
    return;
  }
  float width = kTooltipPadding;
  if (const CEGUI::Font* font = m_pTooltip->getFont()) width += font->getTextExtent(m_pTooltip->getText());
  m_pTooltip->setSize(CEGUI::USize(CEGUI::UDim(0.0f, width), CEGUI::UDim(0.0f, kTooltipHeight)));
  const CEGUI::UVector2 position(CEGUI::UDim(0.0f, m_fCursorX + kTooltipOffset),
                                 CEGUI::UDim(0.0f, m_fCursorY + kTooltipOffset));
  if (m_pTooltip->getPosition() != position) m_pTooltip->setPosition(position);
  m_pTooltip->setVisible(show);
}

void MouseInputHandler::PlayReleaseAcknowledgement() {
  UnitEntity* first = m_pPlayer ? m_pPlayer->GetSelectionAt(0) : nullptr;
  if (!first || !SoundManager::HasInstance()) return;
  VSoundObject* sound = SoundManager::GetInstance()->PlaySoundA((UnitType)first->GetUnitType(), SOUND_ACTIVATE, 1.0f,
                                                                VisVector_cl(0, 0, 0), 400.0f, 0.0f);
  if (sound) sound->SetPosition(first->GetPosition());
}

bool MouseInputHandler::CanTrace(VisBaseEntity_cl* entity) {
  return entity && entity->IsOfType(BaseEntity::GetClassTypeId()) && static_cast<BaseEntity*>(entity)->CanTrace();
}

void MouseInputHandler::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  VCallback* sender = data->m_pSender;
  if (sender == &Vision::Callbacks.OnAfterSceneLoaded) {
    for (VisBaseEntity_cl* entity : Vision::Game.GetEntities())
      if (entity && !entity->IsMarkedRemoved() && CanTrace(entity)) m_traceEntities.AppendUnique(entity);
  } else if (sender == &Vision::Callbacks.OnEngineDeInit) {
    m_clickEntityTrace.Clear();
    m_clickGroundTrace.Clear();
    m_traceEntities.Clear();
  } else if (sender == &GameManager::Callbacks.OnEntityCreated) {
    VisBaseEntity_cl* entity = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
    if (CanTrace(entity)) m_traceEntities.AppendUnique(entity);
  } else if (sender == &GameManager::Callbacks.OnEntityDestroyed) {
    VisBaseEntity_cl* entity = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
    if (entity) m_traceEntities.Remove(entity);
    // Hits on the destroyed entity must not be read later.
    for (VisTraceLineInfo_t* trace : {&m_clickEntityTrace, &m_hoverEntityTrace})
      if (trace->colliderEntity == entity) trace->Clear();
  }
}

void MouseInputHandler::AddTraceEntity(VisBaseEntity_cl* entity) {
  if (entity) m_traceEntities.Append(entity);
}

void MouseInputHandler::RemoveTraceEntity(VisBaseEntity_cl* entity) {
  if (entity) m_traceEntities.Remove(entity);
}
