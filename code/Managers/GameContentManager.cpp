// The NPC ships of the world map.
#include "Managers/GameContentManager.h"

#include "components/AIShipComponent.h"
#include "core/GameManager.h"
#include "entities/ShipEntity.h"

GameContentManager::GameContentManager() { GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this); }

GameContentManager::~GameContentManager() { GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this); }

void GameContentManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data || data->m_pSender != &GameManager::Callbacks.OnEntityDestroyed) return;
  m_npcShips.erase(static_cast<BaseEntityDataObject*>(data)->m_pEntity);
}

void GameContentManager::AddNPCShip(ShipEntity* ship) {
  if (!ship) return;
  if (AIShipComponent* ai = ship->Components<AIShipComponent>()) ai->SetCanRemove(1);
  m_npcShips.insert(ship);
}

void GameContentManager::RemoveNPCShip(ShipEntity* ship) { m_npcShips.erase(ship); }

bool GameContentManager::HasNPCShip(const ShipEntity* ship) const { return m_npcShips.count(ship) != 0; }

void GameContentManager::Initialize() {}

void GameContentManager::DeInitialize() {}
