// The player's units, selection, orders, grouping keys and the ship by mouse.
#include "core/Player.h"

#include "components/NPCUnitComponent.h"
#include "components/ShipMovementComponent.h"
#include "components/ShipSailComponent.h"
#include "components/SpeechComponent.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "core/VEntityHighlightManager.h"
#include "entities/Nation.h"
#include "entities/SoldierEntity.h"
#include "entities/TownEntity.h"
#include "entities/UnitEntity.h"
#include "gui/GUIManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/PauseManager.h"
#include "Managers/RadarManager.h"
#include "Managers/SoundManager.h"
#include "Managers/SpeechManager.h"
#include "util/MathTools.h"
#include "util/RaycastTerrain.h"

#include "engine/base/VisInput.h"
#include "engine/core/TriggerBoxEntity.h"
#include "engine/core/VisGame.h"
#include "engine/core/VisParticleEffect.h"
#include "engine/core/VisParticleEffectFile.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/core/VisRenderContext.h"
#include "engine/physics/vPhysXModule.h"

#include <CEGUI/CEGUI.h>

#include <algorithm>
#include <cmath>

namespace {
const char* const kGotoEffect = "Particles\\goto.xml";
// A trace that found nothing counts as this far away.
const float kNoTraceDistance = 9999999.0f;
// Grouping keys: Ctrl + 1..4 assign, 1..4 recall.
const int kGroupingTriggers = 11;
const int kGroupingAlternatives = 4;
const unsigned kAssignKeys[4] = {0x4007Bu, 0x4007Cu, 0x4007Du, 0x4007Eu};
const unsigned kRecallKeys[4] = {0x400007Bu, 0x400007Cu, 0x400007Du, 0x400007Eu};

void RemoveFirst(std::vector<UnitEntity*>& list, UnitEntity* unit) {
  auto it = std::find(list.begin(), list.end(), unit);
  if (it != list.end()) list.erase(it);
}

bool AtSea() {
  const int location = GameManager::GetInstance()->GetLocation();
  return location == 0 || location == 2;
}

void PlayUnitSound(int unitType, SoundTypes sound, const VisVector_cl& position) {
  SoundManager::GetInstance()->PlaySoundA((UnitType)unitType, sound, 1.0f, position, 400.0f, 0.0f);
}

int HighestUnitRank() { return GameSessionManager::GetInstance()->GetHighestUnitRank(); }

// The cursor as CEGUI places it; the engine's mouse without a GUI.
void CursorPosition(float& x, float& y) {
  if (CEGUI::System* gui = CEGUI::System::getSingletonPtr()) {
    const CEGUI::Vector2f p = gui->getDefaultGUIContext().getMouseCursor().getPosition();
    x = p.d_x;
    y = p.d_y;
    return;
  }
  x = Vision::Mouse.GetX();
  y = Vision::Mouse.GetY();
}

VisVector_cl CameraPosition() {
  if (const VisRenderContext_cl* main = VisRenderContext_cl::GetMainRenderContext()) return main->GetCameraPosition();
  return Vision::Camera.GetPosition();
}

// Even-odd crossing test in the ground plane against the four corners.
bool InsideArea(const std::vector<VisVector_cl>& area, const VisVector_cl& p) {
  if (area.size() < 4) return false;
  bool inside = false;
  for (size_t i = 0, j = 3; i < 4; j = i++) {
    const VisVector_cl& a = area[j];
    const VisVector_cl& b = area[i];
    if ((a.y > p.y) != (b.y > p.y)) {
      const float crossing = (p.y - a.y) * (b.x - a.x) / (b.y - a.y) + a.x;
      if (p.x < crossing) inside = !inside;
    }
  }
  return inside;
}
}  // namespace

Player::Player() {
  GameManager::Callbacks.OnUnitRemoved.RegisterCallback(this);
  GameManager::Callbacks.OnUnitCreated.RegisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);

  m_pGroupingInput = new VInputMap(kGroupingTriggers, kGroupingAlternatives);
  for (int i = 0; i < 4; ++i) {
    m_pGroupingInput->MapTrigger(i, V_KEYBOARD, kAssignKeys[i], true);
    m_pGroupingInput->MapTrigger(4 + i, V_KEYBOARD, kRecallKeys[i], true);
  }
}

Player::~Player() {
  GameManager::Callbacks.OnUnitRemoved.DeregisterCallback(this);
  GameManager::Callbacks.OnUnitCreated.DeregisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
  delete m_pGroupingInput;
  m_spGotoEffect = nullptr;
}

void Player::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  VisBaseEntity_cl* entity = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
  if (data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed) {
    // A unit freed without announcing its removal: only its address is left to compare.
    auto named = [entity](const UnitEntity* u) { return static_cast<const VisBaseEntity_cl*>(u) == entity; };
    for (std::vector<UnitEntity*>* list : {&m_selection, &m_playerUnits, &m_enemyUnits})
      list->erase(std::remove_if(list->begin(), list->end(), named), list->end());
    if (named(m_pPlayerCharacter)) m_pPlayerCharacter = nullptr;
    return;
  }
  if (!entity || !entity->IsOfType(UnitEntity::GetClassTypeId())) return;
  UnitEntity* unit = static_cast<UnitEntity*>(entity);

  if (data->m_pSender == &GameManager::Callbacks.OnUnitCreated) {
    if (unit->GetNation() == m_iPlayerNation)
      AddPlayerUnit(unit);
    else
      AddEnemyUnit(unit);
  } else if (data->m_pSender == &GameManager::Callbacks.OnUnitRemoved) {
    if (unit == m_pPlayerCharacter) m_pPlayerCharacter = nullptr;
    UnitRemoved(unit);
  }
}

void Player::AddPlayerUnit(UnitEntity* unit) {
  if (!unit) return;
  m_playerUnits.push_back(unit);
  if (unit->HasObjectKey("PlayerCharacter")) m_pPlayerCharacter = unit;
}

void Player::AddEnemyUnit(UnitEntity* unit) {
  if (unit) m_enemyUnits.push_back(unit);
}

void Player::UnitRemoved(UnitEntity* unit) {
  if (std::find(m_selection.begin(), m_selection.end(), unit) != m_selection.end()) {
    unit->RemoveSelectionEffect();
    RemoveFirst(m_selection, unit);
  }
  RemoveFirst(m_playerUnits, unit);
  RemoveFirst(m_enemyUnits, unit);
}

// ---- selection ------------------------------------------------------------------------

void Player::SetSelected(VisBaseEntity_cl* entity) {
  if (!IsSelected(entity)) DoSelection(entity, true, true);
}

void Player::AddToSelection(VisBaseEntity_cl* entity) { DoSelection(entity, false, false); }

void Player::DoSelection(VisBaseEntity_cl* entity, bool replace, bool playSound) {
  if (!entity) {
    ClearSelection();
    return;
  }
  for (;;) {
    if (entity->GetComponentOfType(NPCUnitComponent::GetClassTypeId())) {
      if (replace) ClearSelection();
      return;
    }
    if (replace && !IsSelected(entity)) ClearSelection();
    if (!entity->IsExactType(SoldierEntity::GetClassTypeId())) break;
    // A soldier stands for its unit, which is selected without the acknowledgement.
    UnitEntity* unit = static_cast<SoldierEntity*>(entity)->GetParentUnit();
    if (!unit || unit->GetNation() != m_iPlayerNation) return;
    entity = unit;
    playSound = false;
  }
  if (!entity->IsExactType(UnitEntity::GetClassTypeId())) return;
  UnitEntity* unit = static_cast<UnitEntity*>(entity);
  if (unit->GetNation() != m_iPlayerNation) return;

  if (std::find(m_selection.begin(), m_selection.end(), unit) == m_selection.end()) {
    m_selection.push_back(unit);
    if (playSound) PlayUnitSound(unit->GetUnitType(), SOUND_ACTIVATE, unit->GetPosition());
    unit->InitSelectionEffect();
  }
  for (SoldierEntity* soldier : unit->GetSoldiers())
    if (soldier) soldier->ShowHealthBar(0.0f);
  RadarManager::GetInstance()->Add(unit, TRACK_SELECTED_UNIT);
}

void Player::ClearSelection() {
  if (VEntityHighlightManager::HasInstance()) VEntityHighlightManager::GetInstance()->ClearUnitHighlights();
  const std::vector<UnitEntity*> selection = m_selection;
  for (UnitEntity* unit : selection) {
    if (!unit) continue;
    for (SoldierEntity* soldier : unit->GetSoldiers()) {
      if (!soldier) continue;
      soldier->HideHealthBar();
      soldier->HideSelectionEffect();
    }
    if (RadarManager::HasInstance()) RadarManager::GetInstance()->Remove(unit);
  }
  m_selection.clear();
  RtsManager::GlobalManager().SetCurrentSellectionToFollowedUnit();
}

bool Player::IsSelected(const VisBaseEntity_cl* entity) const {
  if (!entity) return false;
  for (const UnitEntity* unit : m_selection) {
    if (!unit) continue;
    if (static_cast<const VisBaseEntity_cl*>(unit) == entity) return true;
    for (const SoldierEntity* soldier : unit->GetSoldiers())
      if (static_cast<const VisBaseEntity_cl*>(soldier) == entity) return true;
  }
  return false;
}

bool Player::IsSelected(int64_t uniqueId) const {
  if (uniqueId == 0) return false;
  for (const UnitEntity* unit : m_selection) {
    if (!unit) continue;
    if (unit->GetUniqueID() == uniqueId) return true;
    for (const SoldierEntity* soldier : unit->GetSoldiers())
      if (soldier && soldier->GetUniqueID() == uniqueId) return true;
  }
  return false;
}

UnitEntity* Player::GetSelectionAt(unsigned index) const {
  return index < m_selection.size() ? m_selection[index] : nullptr;
}

VisVector_cl Player::CalculateSelectedUnitsCenter() const {
  VisVector_cl centre(0, 0, 0, 1);
  if (m_selection.empty()) return centre;
  for (const UnitEntity* unit : m_selection) {
    centre.x += unit->GetPosition().x;
    centre.y += unit->GetPosition().y;
  }
  centre.x /= (float)m_selection.size();
  centre.y /= (float)m_selection.size();
  return centre;
}

void Player::SetLeftDragSelectionArea(const VisVector_cl& a, const VisVector_cl& b, const VisVector_cl& c,
                                      const VisVector_cl& d) {
  m_dragArea.clear();
  m_dragArea.push_back(a);
  m_dragArea.push_back(b);
  m_dragArea.push_back(c);
  m_dragArea.push_back(d);
}

void Player::CheckLeftDragSelection() {
  const std::vector<UnitEntity*> units = m_playerUnits;
  for (UnitEntity* unit : units) {
    if (unit && !IsSelected(unit) && InsideArea(m_dragArea, unit->GetPosition())) DoSelection(unit, false, false);
  }
  m_dragArea.clear();
}

// ---- orders -----------------------------------------------------------------------------

void Player::GiveTarget(const VisTraceLineInfo_t& entityTrace, const VisTraceLineInfo_t& groundTrace, bool queued) {
  if (AtSea() && SetPlayerShipHeadingToMouse()) return;

  const float entityDistance = entityTrace.detected ? entityTrace.distance : kNoTraceDistance;
  const float groundDistance = groundTrace.detected ? groundTrace.distance : kNoTraceDistance;
  if (!entityTrace.detected && !groundTrace.detected) return;
  const VisTraceLineInfo_t& trace = entityDistance <= groundDistance ? entityTrace : groundTrace;

  if (VisBaseEntity_cl* hit = trace.colliderEntity) {
    // A click on a speaker pokes it; the click is still an order as well.
    if (SpeechComponent* speech = hit->Components<SpeechComponent>()) speech->Poked();
    if (hit->IsOfType(TownEntity::GetClassTypeId())) {
      GiveTargetPosition(hit->GetPosition(), true);
      return;
    }
    if (hit->IsOfType(BaseEntity::GetClassTypeId())) {
      GiveTargetEntity(static_cast<BaseEntity*>(hit), true);
      return;
    }
  }

  // Ground: the acknowledgement only when no soldier of the selection is busy.
  bool allIdle = true;
  VisVector_cl soundAt(0, 0, 0);
  for (UnitEntity* unit : m_selection) {
    if (!unit) continue;
    for (SoldierEntity* soldier : unit->GetSoldiers()) {
      if (!soldier || !soldier->GetStateMachine()) continue;
      if (soldier->GetStateType() != STATE_IDLE) allIdle = false;
      soundAt = soldier->GetPosition();
    }
  }
  if (allIdle) PlayUnitSound(HighestUnitRank(), SOUND_ORDER, soundAt);

  if (queued)
    QueueTargetPosition(trace.touchPoint);
  else
    GiveTargetPosition(trace.touchPoint, true);
}

void Player::GiveTargetPosition(const VisVector_cl& position, bool useSelection) {
  std::vector<UnitEntity*> remaining;
  for (UnitEntity* unit : useSelection ? m_selection : m_playerUnits)
    if (unit) remaining.push_back(unit);
  const int n = (int)remaining.size();
  const int g = (int)std::ceil(std::sqrt((float)n));

  if (GameManager::GetInstance()->GetLocation() == 1 && n > 0) {
    if (!m_spGotoEffect) m_spGotoEffect = VisParticleGroupManager_cl::GlobalManager().LoadFromFile(kGotoEffect);
    ShowEffectOnTerrain(m_spGotoEffect, position, false);
  }

  const float spacing = 1.5f;
  const float c = (float)(g - 1) * spacing * 0.5f;
  for (int i = 0; i < g; ++i) {
    for (int j = 0; j < g; ++j) {
      if (remaining.empty()) return;
      VisVector_cl target = position + VisVector_cl(c - spacing * (float)i, c - spacing * (float)j, 0.0f);
      target.x += 0.1f * MathTools::GaussianRandom();
      target.y += 0.1f * MathTools::GaussianRandom();
      target.w = 1.0f;
      auto nearest = remaining.end();
      float best = 1.0e11f;
      for (auto it = remaining.begin(); it != remaining.end(); ++it) {
        const float d = (*it)->GetPosition().GetDistanceSqr(target);
        if (d < best) {
          best = d;
          nearest = it;
        }
      }
      if (nearest == remaining.end()) continue;
      UnitEntity* unit = *nearest;
      remaining.erase(nearest);
      unit->SetTarget(target, VIS_MSG_USER_UNIT_MOVE, 0, false);
    }
  }
}

void Player::GiveTargetEntity(BaseEntity* entity, bool useSelection) {
  if (!entity) return;
  GameManager* game = GameManager::GetInstance();
  const Nation* targetNation = entity->GetNation() >= 0 ? game->GetNation((unsigned)entity->GetNation()) : nullptr;
  const Nation* playerNation = game->GetNationCount() >= 2 ? game->GetNation(1u) : nullptr;

  VSoundObject* acknowledgement = nullptr;
  if (targetNation && targetNation->IsEnemy(playerNation) && entity->GetVisibleBitmask() == 0xffffffffu)
    acknowledgement = SoundManager::GetInstance()->PlaySoundA((UnitType)HighestUnitRank(), SOUND_ATTACK, 1.0f,
                                                              entity->GetPosition(), 400.0f, 0.0f);

  // Soldiers of an unaligned nation are not attacked: the units walk up to them.
  if (targetNation && targetNation->GetType() == 0 && entity->IsOfType(SoldierEntity::GetClassTypeId())) {
    GiveTargetPosition(entity->GetPosition(), useSelection);
    return;
  }

  const std::vector<UnitEntity*> units = useSelection ? m_selection : m_playerUnits;
  bool first = true;
  for (UnitEntity* unit : units) {
    if (!unit || static_cast<BaseEntity*>(unit) == entity) continue;
    if (first && acknowledgement) acknowledgement->SetPosition(unit->GetPosition());
    first = false;
    unit->SetTarget(entity);
  }
}

void Player::QueueTargetPosition(const VisVector_cl& point) {
  VisVector_cl waypoint = point;
  const std::vector<UnitEntity*> selection = m_selection;
  for (UnitEntity* unit : selection) {
    if (!unit) continue;
    const std::vector<SoldierEntity*> soldiers = unit->GetSoldiers();
    for (SoldierEntity* soldier : soldiers)
      if (soldier) Vision::Game.SendMsg(soldier, VIS_MSG_USER_UNIT_GROUND_ATTACK, (INT_PTR)&waypoint, 0);
  }
}

// ---- terrain effects --------------------------------------------------------------------

void Player::ShowEffectOnTerrain(VisParticleEffectFile_cl* effect, const VisVector_cl& position, bool alignToTerrain) {
  if (!effect) return;
  VisVector_cl at = position;
  VisVector_cl orientation(0, 0, 0, 1);
  GetTerrainEffectOrientation(at, orientation);
  VisParticleEffect_cl* instance =
      effect->CreateParticleEffectInstance(at, alignToTerrain ? orientation : VisVector_cl(0, 0, 0, 1));
  if (!instance) return;
  instance->SetRemoveWhenFinished(true);
  instance->SetHandleWhenVisible(false);
}

void Player::GetTerrainEffectOrientation(VisVector_cl& position, VisVector_cl& orientation) {
  orientation = VisVector_cl(0, 0, 0, 1);
  vPhysXModule* physics = vPhysXModule::GetInstance();
  if (!physics) return;
  RaycastTerrain ray;
  ray.vRayStart = position + VisVector_cl(0, 0, 0.5f);
  ray.vRayEnd = position - VisVector_cl(0, 0, 2.0f);
  ray.vRayStart.w = ray.vRayEnd.w = 1.0f;
  physics->PerformRaycast(&ray);
  if (!ray.bHit) return;
  position = ray.vHitPoint + VisVector_cl(0, 0, 0.1f);
  position.w = 1.0f;
  VisMatrix3x3_cl look;
  VisMath_cl::MatrixLookAt(look, ray.vHitPoint, ray.vHitPoint + ray.vHitNormal, VisVector_cl(0, 0, 1));
  orientation = VisMath_cl::MatrixToEuler(look);
  orientation.y += 90.0f;
}

// ---- the player's ship --------------------------------------------------------------------

VisVector_cl Player::GetMousePositionOnZeroLevel() const {
  float x = 0.0f, y = 0.0f;
  CursorPosition(x, y);
  const VisVector_cl c = CameraPosition();
  const VisVector_cl d = Vision::Game.GetTraceDirFromScreenPos(x, y, 1.0f);
  // A ray that runs along the water or away from it never meets it.
  if (c.z * d.z > 0.0f || d.z == 0.0f) return VisVector_cl(0, 0, 0);
  const float t = -(c.z / d.z);
  return VisVector_cl(c.x + t * d.x, c.y + t * d.y, c.z + t * d.z, c.w);
}

bool Player::MakePlayerShipFireDecision() {
  if (!AtSea()) return false;
  if (SpeechManager::GetInstance()->IsInConversation()) return false;
  if (GUIManager::HasInstance() && GUIManager::GetInstance()->GetBlockingTimer() > 0.0f) return false;
  if (PauseManager::GetInstance()->IsAnyPaused()) return false;
  VisBaseEntity_cl* ship = GameManager::GetInstance()->GetPlayerEntity();
  if (!ship) return false;
  const VisVector_cl m = GetMousePositionOnZeroLevel();
  if (m.x == 0.0f && m.y == 0.0f && m.z == 0.0f) return false;

  const VisVector_cl p = ship->GetPosition();
  const VisVector_cl left = ship->GetRotationMatrix().GetColumn(1);
  const float ax = p.x + left.x - m.x, ay = p.y + left.y - m.y;
  const float bx = p.x - left.x - m.x, by = p.y - left.y - m.y;
  const float a = ax * ax + ay * ay;
  const float b = bx * bx + by * by;
  Vision::Game.SendMsg(ship, a <= b ? VIS_MSG_USER_CANNON_IGNITE_LEFT : VIS_MSG_USER_CANNON_IGNITE_RIGHT, 1, 0);
  return true;
}

bool Player::SetPlayerShipHeadingToMouse() {
  if (!AtSea()) return false;
  VisBaseEntity_cl* ship = GameManager::GetInstance()->GetPlayerEntity();
  auto* movement = ship ? ship->Components<ShipMovementComponent>() : nullptr;
  if (!movement) return false;
  const VisVector_cl m = GetMousePositionOnZeroLevel();
  if (m.x == 0.0f && m.y == 0.0f && m.z == 0.0f) return false;

  movement->SetTargetHeading(m);
  movement->SetTurnSpeed(0.0f);
  // A ship lying still without sails sets them all when ordered to move. The sail
  // component announces the change to the ship (message 6) itself, once.
  auto* sails = ship->Components<ShipSailComponent>();
  if (movement->GetCurrentSpeed() == 0.0f && sails && sails->GetSailMode() == SAILMODE_NONE)
    sails->SetSailMode(SAILMODE_FULL);
  if (VisParticleEffectFile_cl* effect = VisParticleGroupManager_cl::GlobalManager().LoadFromFile(kGotoEffect)) {
    if (VisParticleEffect_cl* instance =
            effect->CreateParticleEffectInstance(VisVector_cl(m.x, m.y, m.z + 0.2f), VisVector_cl(0, 0, 0, 1)))
      instance->SetRemoveWhenFinished(true);
  }
  return true;
}

// ---- grouping keys ---------------------------------------------------------------------------

void Player::CheckGroupingInputProto() {
  if (!m_pGroupingInput) return;
  // Every trigger is read each frame, so that a press is reported once.
  bool active[8];
  for (int i = 0; i < 8; ++i) active[i] = m_pGroupingInput->IsTriggered(i);
  int group = 0;
  bool assign = false;
  for (int i = 0; i < 4; ++i) {
    if (active[i]) {
      group = i + 1;
      assign = true;
      break;
    }
  }
  for (int j = 4; j < 8; ++j) {
    if (active[j]) {
      group = j - 3;
      assign = false;
      break;
    }
  }
  if (group == 0) return;

  if (assign) {
    for (UnitEntity* unit : m_playerUnits)
      if (unit && unit->GetGroup() == group) unit->SetGroup(-1);
    for (UnitEntity* unit : m_selection)
      if (unit) unit->SetGroup(group);
    return;
  }
  ClearSelection();
  const std::vector<UnitEntity*> units = m_playerUnits;
  for (UnitEntity* unit : units)
    if (unit && unit->GetGroup() == group) DoSelection(unit, false, false);
}

// ---- escape area --------------------------------------------------------------------------------

bool Player::IsPlayerInside(TriggerBoxEntity_cl* trigger) const {
  return trigger && m_pPlayerCharacter && trigger->IsInside(m_pPlayerCharacter->GetPosition());
}

int Player::HandleEscapeArea(TriggerBoxEntity_cl* trigger) {
  m_iSoldiersInEscapeArea = 0;
  if (!trigger) return 0;
  const std::vector<UnitEntity*> units = m_playerUnits;
  for (UnitEntity* unit : units) {
    if (!unit || unit->GetNumSoldiers() < 1) continue;
    const std::vector<SoldierEntity*> soldiers = unit->GetSoldiers();
    for (SoldierEntity* soldier : soldiers) {
      if (!soldier || !trigger->IsInside(soldier->GetPosition())) continue;
      Vision::Game.SendMsg(soldier, VIS_MSG_USER_UNIT_DELIVER, 0, 0);
      ++m_iSoldiersInEscapeArea;
    }
  }
  return m_iSoldiersInEscapeArea;
}

// ---- nearest queries --------------------------------------------------------------------------

namespace {
UnitEntity* Nearest(const std::vector<UnitEntity*>& candidates, const VisVector_cl& point, const UnitEntity* skip) {
  UnitEntity* closest = nullptr;
  float best = 1.0e10f;
  for (UnitEntity* candidate : candidates) {
    if (!candidate || candidate == skip || candidate->GetNation() == 0) continue;
    const float d = candidate->GetPosition().GetDistanceSqr(point);
    if (d < best) {
      best = d;
      closest = candidate;
    }
  }
  return closest;
}
}  // namespace

UnitEntity* Player::GetClosestEnemyUnit(UnitEntity* unit) const {
  if (!unit) return nullptr;
  return Nearest(unit->GetNation() != m_iPlayerNation ? m_playerUnits : m_enemyUnits, unit->GetPosition(), nullptr);
}

UnitEntity* Player::GetClosestPlayerUnit(UnitEntity* unit) const {
  if (!unit) return nullptr;
  return Nearest(unit->GetNation() != m_iPlayerNation ? m_enemyUnits : m_playerUnits, unit->GetPosition(), unit);
}

SoldierEntity* Player::GetNearestEnemySoldier(const VisVector_cl& point) const {
  UnitEntity* unit = Nearest(m_enemyUnits, point, nullptr);
  return unit ? unit->GetNearestSoldierTo(point) : nullptr;
}

void Player::CleanUp() {
  ClearSelection();
  m_playerUnits.clear();
  m_enemyUnits.clear();
  m_pPlayerCharacter = nullptr;
}
