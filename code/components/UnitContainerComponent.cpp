// The soldiers and units inside a trigger area.
#include "components/UnitContainerComponent.h"

#include "core/GameManager.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"

V_IMPLEMENT_DYNCREATE(UnitContainerComponent, BaseComponent)

UnitContainerComponent::~UnitContainerComponent() { DeInitFunction(); }

void UnitContainerComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  BaseComponent::SetOwner(owner);
  if (owner)
    InitFunction();
  else
    DeInitFunction();
}

void UnitContainerComponent::InitFunction() {
  if (m_bListening) return;
  m_bListening = true;
  GameManager::Callbacks.OnUnitRemoved.RegisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
}

void UnitContainerComponent::DeInitFunction() {
  if (m_bListening) {
    m_bListening = false;
    GameManager::Callbacks.OnUnitRemoved.DeregisterCallback(this);
    GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
  }
  m_unitCounts.clear();
  m_soldiersInside.clear();
  m_unitsInside.clear();
}

void UnitContainerComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data || (data->m_pSender != &GameManager::Callbacks.OnUnitRemoved &&
                data->m_pSender != &GameManager::Callbacks.OnEntityDestroyed))
    return;
  auto* gone = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
  if (!gone) return;
  if (data->m_pSender == &GameManager::Callbacks.OnUnitRemoved) {
    auto* unit = static_cast<UnitEntity*>(gone);
    if (m_unitCounts.erase(unit) == 0) return;
    // Every soldier counted for the unit goes with it, not only the first.
    for (auto it = m_soldiersInside.begin(); it != m_soldiersInside.end();)
      it = it->second == unit ? m_soldiersInside.erase(it) : std::next(it);
    return;
  }
  if (data->m_pSender != &GameManager::Callbacks.OnEntityDestroyed) return;
  // Addresses only: the entity is half destroyed.
  for (auto it = m_soldiersInside.begin(); it != m_soldiersInside.end();)
    it = (VisBaseEntity_cl*)it->first == gone ? m_soldiersInside.erase(it) : std::next(it);
  for (auto it = m_unitCounts.begin(); it != m_unitCounts.end();)
    it = (VisBaseEntity_cl*)it->first == gone ? m_unitCounts.erase(it) : std::next(it);
  for (auto& [soldier, unit] : m_soldiersInside)
    if ((VisBaseEntity_cl*)unit == gone) unit = nullptr;
}

bool UnitContainerComponent::AddSoldier(SoldierEntity* soldier) {
  if (!soldier || m_soldiersInside.count(soldier)) return false;
  UnitEntity* unit = soldier->GetParentUnit();
  m_soldiersInside[soldier] = unit;
  // A soldier without a unit is inside but counts for no unit.
  if (unit) ++m_unitCounts[unit];
  return true;
}

bool UnitContainerComponent::RemoveSoldier(SoldierEntity* soldier) {
  auto it = m_soldiersInside.find(soldier);
  if (it == m_soldiersInside.end()) return false;
  UnitEntity* unit = it->second;
  m_soldiersInside.erase(it);
  auto count = m_unitCounts.find(unit);
  if (unit && count != m_unitCounts.end()) --count->second;
  return true;
}

std::vector<UnitEntity*>& UnitContainerComponent::GetUnitsInside() {
  m_unitsInside.clear();
  for (const auto& [unit, count] : m_unitCounts)
    if (count >= 1) m_unitsInside.push_back(unit);
  return m_unitsInside;
}

int UnitContainerComponent::GetUnitCount(const UnitEntity* unit) const {
  auto it = m_unitCounts.find(const_cast<UnitEntity*>(unit));
  return it == m_unitCounts.end() ? -1 : it->second;
}
