// The NPC ships of the world map.
#include "Managers/GameContentManager.h"

#include "Managers/SaveGameManager.h"
#include "engine/base/VArchive.h"

#include "Managers/GameSessionManager.h"
#include "components/AIShipComponent.h"
#include "core/GameManager.h"
#include "entities/ShipEntity.h"

#include "engine/Vision.h"

namespace {
const char* const kContentScript = "scripts\\ContentScript.lua";
}  // namespace

GameContentManager::GameContentManager() {
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
  Initialize();
}

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

void GameContentManager::Initialize() {
  // A script manager that was reset has closed the old instance's state.
  if (m_spContentScript && !m_spContentScript->IsValid()) m_spContentScript = nullptr;
  // A game without a content script simply spawns nothing.
  if (!m_spContentScript && Vision::File.Exists(kContentScript)) {
    if (VScriptResourceManager* scripts = Vision::GetScriptManager())
      m_spContentScript = scripts->CreateScriptInstanceFromFile(kContentScript);
  }
  // The random collectables at sea, made again from their stored forms on the
  // world map and dropped elsewhere, come with the sea items of the world map.
}

void GameContentManager::DeInitialize() {
  // Taken out first: removing a ship's record may destroy the ship, which would
  // otherwise change the set while it is walked.
  std::set<const VisBaseEntity_cl*> ships;
  ships.swap(m_npcShips);
  if (!GameSessionManager::HasInstance()) return;
  for (const VisBaseEntity_cl* ship : ships)
    GameSessionManager::GetInstance()->RemoveShip(static_cast<ShipEntity*>(const_cast<VisBaseEntity_cl*>(ship)), true);
}

bool GameContentManager::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, 2);
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "GameContentManager", 2);
  if (!block.IsOpen()) return false;
  return block.End();
}
