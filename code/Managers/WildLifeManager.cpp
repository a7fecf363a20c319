// Birds and other animals of the world map and sea scenes. Creating birds from
// their scripts comes with the world map's wildlife.
#include "Managers/WildLifeManager.h"

#include "core/GameManager.h"
#include "entities/AnimalEntity.h"

#include "engine/core/VisCallbacks.h"

// The birds belong to the scene: they go when it unloads.
WildLifeManager::WildLifeManager() {
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
  Vision::Callbacks.OnWorldDeInit.RegisterCallback(this);
}

WildLifeManager::~WildLifeManager() {
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
  Vision::Callbacks.OnWorldDeInit.DeregisterCallback(this);
}

void WildLifeManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed) {
    VisBaseEntity_cl* gone = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
    for (unsigned i = 0, n = m_birds.GetSize(); i < n; ++i)
      if (gone && static_cast<VisBaseEntity_cl*>(m_birds.Get(i)) == gone) m_birds[i] = nullptr;
    return;
  }
  ClearEntities();
}

void WildLifeManager::AddBird(AnimalEntity* bird) {
  if (!bird) return;
  bird->SetCastShadows(true);
  bird->SetVisibleBitmask(0xffffffffu);
  m_birds.Insert(bird);
}

AnimalEntity* WildLifeManager::GetAnimalFromRange(VisBaseEntity_cl* place, float range, const char* key) const {
  if (!place) return nullptr;
  const VisVector_cl& at = place->GetPosition();
  for (unsigned i = 0, n = m_birds.GetSize(); i < n; ++i) {
    AnimalEntity* bird = m_birds.Get(i);
    if (!bird || !bird->HasObjectKey(key)) continue;
    const float dx = bird->GetPosition().x - at.x, dy = bird->GetPosition().y - at.y;
    if (dx * dx + dy * dy <= range * range) return bird;
  }
  return nullptr;
}

void WildLifeManager::ClearEntities() {
  for (unsigned i = 0, n = m_birds.GetSize(); i < n; ++i)
    if (AnimalEntity* bird = m_birds.Get(i))
      if (!bird->IsMarkedRemoved()) bird->Remove();
  m_birds.Reset();
}

AnimalEntity* WildLifeManager::CreateBird(const char* script, const VisVector_cl& position) { return nullptr; }
