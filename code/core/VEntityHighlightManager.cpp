// The entity highlighter's sets and colours.
#include "core/VEntityHighlightManager.h"

#include "core/CallbackManager.h"
#include "core/GameManager.h"

VEntityHighlightManager::VEntityHighlightManager() {
  GameManager::Callbacks.OnUnitRemoved.RegisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
}

VEntityHighlightManager::~VEntityHighlightManager() {
  GameManager::Callbacks.OnUnitRemoved.DeregisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
}

void VEntityHighlightManager::AddHighlight(VisBaseEntity_cl* entity, uint32_t colour) {
  if (!entity) return;
  m_highlights.AppendUnique(entity);
  m_highlightColours[entity] = colour;
}

void VEntityHighlightManager::RemoveHighlight(VisBaseEntity_cl* entity) { m_highlights.Remove(entity); }

void VEntityHighlightManager::AddOcclusionHighlight(VisBaseEntity_cl* entity, uint32_t colour) {
  if (!entity) return;
  m_occlusions.AppendUnique(entity);
  m_occlusionColours[entity] = colour;
}

void VEntityHighlightManager::AddUnitHighlight(VisBaseEntity_cl* soldier, uint32_t colour) {
  if (!soldier) return;
  m_activeUnits.AppendUnique(soldier);
  m_registeredUnits.AppendUnique(soldier);
  m_highlightColours[soldier] = colour;
  m_unitStates[soldier] = UNIT_STATE_ON;
}

void VEntityHighlightManager::RemoveUnitHighlight(VisBaseEntity_cl* soldier) {
  if (!m_activeUnits.Contains(soldier)) return;
  m_unitStates[soldier] = UNIT_STATE_OFF;
  m_activeUnits.Remove(soldier);
}

void VEntityHighlightManager::ClearUnitHighlights() {
  for (VisBaseEntity_cl* soldier : m_registeredUnits)
    if (m_activeUnits.Contains(soldier)) m_unitStates[soldier] = UNIT_STATE_OFF;
  m_activeUnits.Clear();
}

int VEntityHighlightManager::GetUnitState(const VisBaseEntity_cl* soldier) const {
  auto it = m_unitStates.find(soldier);
  return it == m_unitStates.end() ? UNIT_STATE_NONE : it->second;
}

void VEntityHighlightManager::RemoveFromAllSets(VisBaseEntity_cl* entity) {
  if (!entity) return;
  m_occlusions.Remove(entity);
  m_highlights.Remove(entity);
  m_registeredUnits.Remove(entity);
  m_activeUnits.Remove(entity);
  m_highlightColours.erase(entity);
  m_occlusionColours.erase(entity);
  m_unitStates.erase(entity);
}

uint32_t VEntityHighlightManager::GetHighlightColour(const VisBaseEntity_cl* entity) const {
  auto it = m_highlightColours.find(entity);
  return it == m_highlightColours.end() ? 0 : it->second;
}

uint32_t VEntityHighlightManager::GetOcclusionColour(const VisBaseEntity_cl* entity) const {
  auto it = m_occlusionColours.find(entity);
  return it == m_occlusionColours.end() ? 0 : it->second;
}

void VEntityHighlightManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  if (data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed) {
    RemoveFromAllSets(static_cast<BaseEntityDataObject*>(data)->m_pEntity);
    return;
  }
  if (data->m_pSender != &GameManager::Callbacks.OnUnitRemoved) return;
  VisBaseEntity_cl* unit = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
  if (m_activeUnits.Contains(unit)) {
    m_unitStates[unit] = UNIT_STATE_OFF;
    m_activeUnits.Remove(unit);
  }
  m_registeredUnits.Remove(unit);
  m_highlights.Remove(unit);
}
