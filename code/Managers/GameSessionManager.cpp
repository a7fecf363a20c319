// The campaign state: the player, heroes, inventory, ships and potions.
#include "Managers/GameSessionManager.h"

#include "entities/CollectableEntity.h"
#include "entities/CollectableEntityTemplate.h"

#include "engine/core/VisGame.h"

#include <algorithm>

GameSessionManager::~GameSessionManager() {
  for (CollectableEntityTemplate* collectable : m_collectables) collectable->DisposeObject();
}

void GameSessionManager::AddCollectable(CollectableEntityTemplate* collectable) {
  if (collectable) m_collectables.push_back(collectable);
}

CollectableEntityTemplate* GameSessionManager::GetCollectableByName(const char* name) const {
  if (!name) return nullptr;
  for (CollectableEntityTemplate* collectable : m_collectables)
    if (collectable->m_sKey == name) return collectable;
  return nullptr;
}

bool GameSessionManager::UseCollectableByName(const char* name) {
  CollectableEntityTemplate* entry = GetCollectableByName(name);
  if (!entry) return false;
  // The item is used through an entity made from its stored form.
  int used = 0;
  if (VisBaseEntity_cl* entity = Vision::Game.CreateEntity(*entry)) {
    if (entity->IsOfType(CollectableEntity::GetClassTypeId())) used = static_cast<CollectableEntity*>(entity)->Use();
    entity->DisposeObject();
  }
  if (entry->m_bRemoveWhenUsed && used && --entry->m_iCount < 1) {
    m_collectables.erase(std::find(m_collectables.begin(), m_collectables.end(), entry));
    entry->DisposeObject();
  }
  return true;
}

void GameSessionManager::AddEyepatchTown(TownEntity* town, const VisVector_cl& position) {
  m_eyepatches.push_back({town, position});
}

std::vector<VisVector_cl> GameSessionManager::GetCollectedEyepatches(TownEntity* town) const {
  std::vector<VisVector_cl> positions;
  for (const Eyepatch& patch : m_eyepatches)
    if (patch.town == town) positions.push_back(patch.position);
  return positions;
}
