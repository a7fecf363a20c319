// The player's units, selection and player character.
#include "core/Player.h"

#include "core/GameManager.h"
#include "entities/UnitEntity.h"

#include <algorithm>

namespace {
void RemoveFirst(std::vector<UnitEntity*>& list, UnitEntity* unit) {
  auto it = std::find(list.begin(), list.end(), unit);
  if (it != list.end()) list.erase(it);
}
}  // namespace

Player::Player() {
  GameManager::Callbacks.OnUnitRemoved.RegisterCallback(this);
  GameManager::Callbacks.OnUnitCreated.RegisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
}

Player::~Player() {
  GameManager::Callbacks.OnUnitRemoved.DeregisterCallback(this);
  GameManager::Callbacks.OnUnitCreated.DeregisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
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

UnitEntity* Player::GetClosestEnemyUnit(UnitEntity* unit) const {
  if (!unit) return nullptr;
  const std::vector<UnitEntity*>& candidates = unit->GetNation() != m_iPlayerNation ? m_playerUnits : m_enemyUnits;
  UnitEntity* closest = nullptr;
  float best = 1.0e10f;
  for (UnitEntity* candidate : candidates) {
    if (!candidate || candidate->GetNation() == 0) continue;
    const float d = candidate->GetPosition().GetDistanceSqr(unit->GetPosition());
    if (d < best) {
      best = d;
      closest = candidate;
    }
  }
  return closest;
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
  RemoveFirst(m_selection, unit);
  RemoveFirst(m_playerUnits, unit);
  RemoveFirst(m_enemyUnits, unit);
}

void Player::ClearSelection() { m_selection.clear(); }

UnitEntity* Player::GetSelectionAt(unsigned index) const {
  return index < m_selection.size() ? m_selection[index] : nullptr;
}

void Player::CleanUp() {
  ClearSelection();
  m_playerUnits.clear();
  m_enemyUnits.clear();
  m_pPlayerCharacter = nullptr;
}

// Selection and orders are filled in by the land and sea controls.
void Player::SetSelected(VisBaseEntity_cl* entity) {}
void Player::AddToSelection(VisBaseEntity_cl* entity) {}
void Player::DoSelection(VisBaseEntity_cl* entity, bool replace, bool playSound) {}
bool Player::IsSelected(const VisBaseEntity_cl* entity) const { return false; }
bool Player::IsSelected(int64_t uniqueId) const { return false; }
VisVector_cl Player::CalculateSelectedUnitsCenter() const { return VisVector_cl(0, 0, 0); }
void Player::SetLeftDragSelectionArea(const VisVector_cl& a, const VisVector_cl& b, const VisVector_cl& c,
                                      const VisVector_cl& d) {}
void Player::CheckLeftDragSelection() {}
void Player::GiveTarget(const VisTraceLineInfo_t& entityTrace, const VisTraceLineInfo_t& groundTrace, bool queued) {}
void Player::GiveTargetPosition(const VisVector_cl& position, bool useSelection) {}
void Player::GiveTargetEntity(BaseEntity* entity, bool useSelection) {}
void Player::QueueTargetPosition(const VisVector_cl& point) {}
void Player::ShowEffectOnTerrain(VisParticleEffectFile_cl* effect, const VisVector_cl& position, bool alignToTerrain) {}
void Player::GetTerrainEffectOrientation(VisVector_cl& position, VisVector_cl& orientation) {}
VisVector_cl Player::GetMousePositionOnZeroLevel() const { return VisVector_cl(0, 0, 0); }
bool Player::MakePlayerShipFireDecision() { return false; }
bool Player::SetPlayerShipHeadingToMouse() { return false; }
void Player::CheckGroupingInputProto() {}
bool Player::IsPlayerInside(TriggerBoxEntity_cl* trigger) const { return false; }
int Player::HandleEscapeArea(TriggerBoxEntity_cl* trigger) { return 0; }
UnitEntity* Player::GetClosestPlayerUnit(UnitEntity* unit) const { return nullptr; }
SoldierEntity* Player::GetNearestEnemySoldier(const VisVector_cl& point) const { return nullptr; }
