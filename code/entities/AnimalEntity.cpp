// Birds. Their flight and effects come with the world map's wildlife.
#include "entities/AnimalEntity.h"

#include "core/GameManager.h"

V_IMPLEMENT_DYNCREATE(AnimalEntity, BaseEntity)

AnimalEntity::AnimalEntity() { GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this); }

AnimalEntity::~AnimalEntity() { GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this); }

void AnimalEntity::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed) {
    if (static_cast<BaseEntityDataObject*>(data)->m_pEntity == m_pTarget) m_pTarget = nullptr;
    return;
  }
  BaseEntity::OnHandleCallback(data);
}
