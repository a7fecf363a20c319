// The fog of war over the land-battle map.
#include "Managers/FogOfWarManager.h"

#include "core/BaseEntity.h"
#include "core/GameManager.h"

FogOfWarManager::FogOfWarManager() { GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this); }

FogOfWarManager::~FogOfWarManager() { GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this); }

void FogOfWarManager::AddTrackedEntity(BaseEntity* entity) {
  if (entity) m_trackedEntities.AppendUnique(entity);
}

void FogOfWarManager::RemoveTrackedEntity(BaseEntity* entity) {
  if (entity) m_trackedEntities.Remove(entity);
}

int FogOfWarManager::IsEntityTracked(const BaseEntity* entity) const {
  return entity && m_trackedEntities.Contains(entity) ? 1 : 0;
}

void FogOfWarManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed)
    m_trackedEntities.Remove(static_cast<BaseEntityDataObject*>(data)->m_pEntity);
}

void FogOfWarManager::SetEnabled(bool enabled) { m_bEnabled = enabled; }

void FogOfWarManager::SetParameters(float falloffPower, float visibility) {
  m_fFalloffPower = falloffPower;
  m_fVisibility = visibility;
}
