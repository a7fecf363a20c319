// The sea radar and its markers.
#include "Managers/RadarManager.h"

#include "core/GameManager.h"
#include "entities/UnitEntity.h"
#include "Managers/SoundManager.h"

#include "engine/core/VisCallbacks.h"

#include <algorithm>

RadarManager::RadarManager() {
  Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
  Vision::Callbacks.OnEngineDeInit.RegisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
}

RadarManager::~RadarManager() {
  m_markers.clear();
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  Vision::Callbacks.OnEngineDeInit.DeregisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
}

const RadarMarker* RadarManager::FindMarker(const BaseEntity* entity) const {
  for (const RadarMarker& marker : m_markers)
    if (marker.entity == entity) return &marker;
  return nullptr;
}

void RadarManager::Add(BaseEntity* entity, int kind) {
  if (!entity) return;
  if (const RadarMarker* existing = FindMarker(entity)) {
    if (!(kind == TRACK_UNIT_UNDER_ATTACK && existing->kind == TRACK_SELECTED_UNIT)) return;
    Remove(entity);
  }
  RadarMarker marker;
  marker.position = entity->GetPosition();
  marker.position.w = 1.0f;
  marker.entity = entity;
  marker.kind = kind;
  if (kind == TRACK_UNIT_UNDER_ATTACK && entity->IsOfType(UnitEntity::GetClassTypeId())) {
    const UnitEntity* unit = static_cast<const UnitEntity*>(entity);
    SoundManager::GetInstance()->PlaySound((UnitType)unit->GetUnitType(), SOUND_UNDER_ATTACK, 1.0f,
                                           unit->GetPosition(), 400.0f, 0.0f);
  }
  m_markers.push_back(marker);
}

void RadarManager::Remove(BaseEntity* entity) {
  auto it = std::find_if(m_markers.begin(), m_markers.end(),
                         [entity](const RadarMarker& m) { return m.entity == entity; });
  if (it != m_markers.end()) m_markers.erase(it);
}

namespace {
bool SamePlace(const VisVector_cl& a, const VisVector_cl& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
}  // namespace

void RadarManager::Add(const VisVector_cl& position) {
  for (const RadarMarker& marker : m_markers)
    if (!marker.entity && SamePlace(marker.position, position)) return;
  RadarMarker marker;
  marker.position = VisVector_cl(position.x, position.y, position.z);
  marker.position.w = 1.0f;
  marker.kind = TRACK_TARGET;
  m_markers.push_back(marker);
}

void RadarManager::Remove(const VisVector_cl& position) {
  auto it = std::find_if(m_markers.begin(), m_markers.end(),
                         [&position](const RadarMarker& m) { return SamePlace(m.position, position); });
  if (it != m_markers.end()) m_markers.erase(it);
}

void RadarManager::ResetTracking() { m_markers.clear(); }

void RadarManager::ResetNearestBlueprint() {
  m_pNearestBlueprint = nullptr;
  m_fNearestBlueprintDistance = 100000.0f;
}

float RadarManager::PollBlueprintDistance(BaseEntity* entity, float distance) {
  if (!entity) return -1.0f;
  if (!m_pNearestBlueprint || entity == m_pNearestBlueprint || distance < m_fNearestBlueprintDistance) {
    m_pNearestBlueprint = entity;
    m_fNearestBlueprintDistance = distance;
  }
  return m_fNearestBlueprintDistance;
}

// The indicator frames come with the radar display; until then there is none to
// show or hide.
void RadarManager::SetAllVisible(bool) {}

void RadarManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  if (data->m_pSender == &Vision::Callbacks.OnEngineDeInit) {
    m_markers.clear();
  } else if (data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed) {
    VisBaseEntity_cl* gone = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
    // A destroyed blueprint no longer counts as the nearest.
    if (m_pNearestBlueprint && static_cast<VisBaseEntity_cl*>(m_pNearestBlueprint) == gone) {
      m_pNearestBlueprint = nullptr;
      m_fNearestBlueprintDistance = 100000.0f;
    }
    m_markers.erase(std::remove_if(m_markers.begin(), m_markers.end(),
                                   [gone](const RadarMarker& m) {
                                     return m.entity && static_cast<VisBaseEntity_cl*>(m.entity) == gone;
                                   }),
                    m_markers.end());
  }
}
