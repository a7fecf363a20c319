// Sea battle state and ship queries. Scene loading, the sea camera and the
// nation-relative queries come with the sea scenes.
#include "Managers/BattleManager.h"

#include "core/GameManager.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"

#include "engine/Vision.h"

namespace {
// Camera message: the sea battle has ended.
const int kCameraBattleEnded = 113;

void RemoveEntitiesWithKey(const char* key) {
  VisEntityCollection_cl found;
  Vision::Game.SearchEntity(key, found);
  for (VisBaseEntity_cl* entity : found)
    if (entity && !entity->IsMarkedRemoved()) entity->Remove();
}
}  // namespace

BattleManager::~BattleManager() = default;

void BattleManager::StartBattle() {
  if (!m_bBattleActive) m_bBattleActive = true;
}

void BattleManager::EndBattle() {
  if (!m_bBattleActive) return;
  m_bBattleActive = false;
  if (VisBaseEntity_cl* camera = Vision::Game.SearchEntity("CameraEntity"))
    Vision::Game.SendMsg(camera, kCameraBattleEnded, 0, 0);
}

void BattleManager::ResetBattle() {
  RemoveEntitiesWithKey("Mine");
  EndBattle();
  RemoveEntitiesWithKey("Debris");
  RemoveEntitiesWithKey("Mine");
  RemoveEntitiesWithKey("CameraEntity");
}

void BattleManager::GetShipsWithinRange(const VisVector_cl& position, float range,
                                        DynArray_cl<ShipEntity*>* out) const {
  if (!out || !GameManager::HasInstance()) return;
  const GameManager* game = GameManager::GetInstance();
  const float range2 = range * range;
  const unsigned nations = game->GetNationCount();
  for (unsigned n = 0; n < nations; ++n) {
    const Nation* nation = game->GetNation(n);
    if (!nation) continue;
    const DynArray_cl<ShipEntity*>& ships = nation->GetShips();
    const unsigned used = ships.GetValidSize();
    for (unsigned i = 0; i < used; ++i) {
      ShipEntity* ship = ships.Get(i);
      if (!ship || ship->IsMarkedRemoved()) continue;
      const float dx = ship->GetPosition().x - position.x;
      const float dy = ship->GetPosition().y - position.y;
      if (dx * dx + dy * dy <= range2) out->Insert(ship);
    }
  }
}
