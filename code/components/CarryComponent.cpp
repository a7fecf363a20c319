// The soldier's loot bundle.
#include "components/CarryComponent.h"

#include "core/GameManager.h"
#include "entities/CollectableEntity.h"

V_IMPLEMENT_DYNCREATE(CarryComponent, BaseComponent)

CarryComponent::CarryComponent() { GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this); }

CarryComponent::~CarryComponent() { GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this); }

void CarryComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data || data->m_pSender != &GameManager::Callbacks.OnEntityDestroyed) return;
  const VisBaseEntity_cl* gone = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
  if (m_pCarryTarget && static_cast<VisBaseEntity_cl*>(m_pCarryTarget) == gone) m_pCarryTarget = nullptr;
  if (m_pCarriedItem && static_cast<VisBaseEntity_cl*>(m_pCarriedItem) == gone) m_pCarriedItem = nullptr;
}
