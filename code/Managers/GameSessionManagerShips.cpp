// The campaign's ships: the records of the player's and the NPC ships, tied to the
// ship entities by record or unique id, and the sea game area.
#include "Managers/GameSessionManager.h"

#include "core/GameManager.h"
#include "entities/Nation.h"
#include "entities/PlayerStats.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "Managers/TownManager.h"

#include "engine/core/VScriptManager.h"

#include <algorithm>

namespace {

// Message to a ship that got a new record (p1 the record).
const int kMsgNewStats = 35;

bool IsPlayerNationShip(ShipEntity* ship) {
  Nation* player = GameManager::GetInstance()->GetPlayerNation();
  return player && ship->GetNation() == player->GetNationId();
}

// The record that is the ship's or carries its non-zero unique id.
template <class Records>
ShipStats* FindRecord(const Records& records, const ShipStats* own, int64_t id) {
  for (ShipStats* record : records)
    if (record && (record == own || (id != 0 && record->GetUniqueID() == id))) return record;
  return nullptr;
}

}  // namespace

ShipStats* GameSessionManager::AddShip(ShipEntity* ship) {
  if (!ship) return nullptr;
  const bool isPlayer = IsPlayerNationShip(ship);
  const int64_t id = ship->GetUniqueID();
  if (ship->GetStats() || id != 0) {
    ShipStats* found = m_pPlayer ? FindRecord(m_pPlayer->GetPlayerShips(), ship->GetStats(), id) : nullptr;
    if (!found) found = FindRecord(m_npcShips, ship->GetStats(), id);
    if (found) {
      // A player's ship lying in a town stays out of the world scene.
      Nation* player = GameManager::GetInstance()->GetPlayerNation();
      const bool inTown = !found->GetLocation().IsEmpty();
      if (player && found->GetNation() == player->GetNationId() &&
          TownManager::GetInstance()->GetCurrentTownInfo().name.IsEmpty() && found != GetPlayerControlledShip() &&
          inTown && !ship->IsMarkedRemoved())
        ship->Remove();
      ship->SetStats(found);
      return found;
    }
  }

  ShipStats* stats = new ShipStats();
  const int64_t newId = GameManager::GetInstance()->GetNextUniqueID();
  stats->SetUniqueID(newId);
  ship->SetUniqueID(newId);
  stats->SetShipNation(ship->GetNation());
  stats->SetLocation(TownManager::GetInstance()->GetCurrentTownInfo().name.AsChar());
  stats->SetShipName(ship->GetObjectKey());
  stats->SetScript(ship->GetScriptFile().AsChar());
  if (stats->GetLocation().IsEmpty()) {
    stats->SetSavedPosition(ship->GetPosition());
    stats->SetSavedOrientation(ship->GetOrientation());
  }
  ship->SendMsg(kMsgNewStats, (INT_PTR)stats, 0);
  stats->SetPlayerShip(isPlayer);
  if (isPlayer && m_pPlayer)
    m_pPlayer->AddPlayerShip(stats);
  else
    m_npcShips.insert(stats);
  ship->SetStats(stats);
  return stats;
}

void GameSessionManager::RemoveShip(ShipEntity* ship, bool deleteStats) {
  ShipStats* stats = ship ? ship->GetStats() : nullptr;
  if (!stats) return;
  bool found = false;
  if (GameManager::GetInstance()->GetPlayerNation() && IsPlayerNationShip(ship)) {
    found = m_pPlayer && m_pPlayer->RemovePlayerShip(stats);
  } else {
    found = m_npcShips.erase(stats) != 0;
  }
  if (found && deleteStats) {
    delete stats;
    ship->SetStats(nullptr);
  }
}

ShipStats* GameSessionManager::GetPlayerControlledShip() const {
  Nation* player = GameManager::GetInstance()->GetPlayerNation();
  if (!m_pPlayer || !player) return nullptr;
  for (ShipStats* record : m_pPlayer->GetPlayerShips())
    if (record->GetNation() == player->GetNationId() && record->IsPlayerShip()) return record;
  return nullptr;
}

VString GameSessionManager::GetShipLocation(int64_t id) const {
  for (ShipStats* record : m_npcShips)
    if (record->GetUniqueID() == id) return record->GetLocation();
  return VString();
}

void GameSessionManager::ClearShips() {
  for (ShipStats* record : m_npcShips) delete record;
  m_npcShips.clear();
}

// ---- game area ---------------------------------------------------------------------------

void GameSessionManager::InitGameArea() {
  m_gameArea.clear();
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  IVScriptInstance* game = scripts ? scripts->GetGameScript() : nullptr;
  if (!game || !game->IsValid() || !game->HasFunction("GetGameAreaPosition")) return;
  for (int index : {1, 3, 5, 7}) {
    float x = 0.0f, y = 0.0f;
    game->ExecuteFunctionArg("GetGameAreaPosition", "i>ff", index, &x, &y);
    m_gameArea.push_back(VisVector_cl(x, y, 0.0f));
  }
}

bool GameSessionManager::IsPlayerShipInsideGameArea(float* outSide) const {
  VisBaseEntity_cl* player = GameManager::GetInstance()->GetPlayerEntity();
  if (!player || m_gameArea.size() < 4) return true;
  const VisVector_cl& q = player->GetPosition();
  bool inside = true;
  for (size_t i = 0; i < 4; ++i) {
    const VisVector_cl& a = m_gameArea[i];
    const VisVector_cl& b = m_gameArea[(i + 1) % 4];
    const float c = (q.y - b.y) * (a.x - b.x) - (q.x - b.x) * (a.y - b.y);
    if (c <= 0.0f) {
      inside = false;
      if (outSide) *outSide = c;
    }
  }
  return inside;
}
