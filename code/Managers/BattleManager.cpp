// Sea battle state and ship queries. Scene loading, the sea camera and the
// nation-relative queries come with the sea scenes.
#include "Managers/BattleManager.h"

#include "components/AIShipComponent.h"
#include "components/ShipBattleComponent.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "gui/GUIManager.h"
#include "Managers/MusicManager.h"

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

void BattleManager::MessageFunction(int id, INT_PTR p1, INT_PTR p2) {
  if (GUIManager::HasInstance()) {
    GUIManager* gui = GUIManager::GetInstance();
    if (reinterpret_cast<INT_PTR>(gui) != p1) gui->MessageFunction(id, p1, p2);
  }
  if (id == VIS_MSG_USER_SHIP_DIES && p2) {
    VisTypedEngineObject_cl* sender = reinterpret_cast<VisTypedEngineObject_cl*>(p2);
    if (sender->IsOfType(ShipEntity::GetClassTypeId())) RemoveShip(static_cast<ShipEntity*>(sender));
  }
}

void BattleManager::RemoveShip(ShipEntity* ship) {
  if (!ship || !GameManager::HasInstance()) return;
  const GameManager* game = GameManager::GetInstance();
  const unsigned nations = game->GetNationCount();
  bool attacking = false;
  for (unsigned n = 0; n < nations; ++n) {
    Nation* nation = game->GetNation(n);
    if (!nation) continue;
    nation->RemoveShip(ship);
    const DynArray_cl<ShipEntity*>& ships = nation->GetShips();
    const unsigned used = ships.GetValidSize();
    for (unsigned i = 0; i < used && !attacking; ++i) {
      const ShipEntity* other = ships.Get(i);
      const AIShipComponent* ai = other ? other->Components<AIShipComponent>() : nullptr;
      attacking = ai && ai->GetAIMode() == AIShipComponent::AIMODE_ATTACK;
    }
  }
  if (!attacking) EndBattle();
}

void BattleManager::StartBattle() {
  if (!m_bBattleActive) m_bBattleActive = true;
}

void BattleManager::EndBattle() {
  if (!m_bBattleActive) return;
  m_bBattleActive = false;
  if (VisBaseEntity_cl* camera = Vision::Game.SearchEntity("CameraEntity"))
    Vision::Game.SendMsg(camera, kCameraBattleEnded, 0, 0);
  MusicManager::GetInstance()->EndBattleMusic();
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

namespace {

// Appends the ships of every nation that is (or is not) friendly to the id.
void CollectShips(DynArray_cl<ShipEntity*>& out, int nation, bool friendly) {
  if (!GameManager::HasInstance()) return;
  const GameManager* game = GameManager::GetInstance();
  const unsigned nations = game->GetNationCount();
  for (unsigned n = 0; n < nations; ++n) {
    const Nation* owner = game->GetNation(n);
    if (!owner || owner->IsEnemy(nation) == friendly) continue;
    const DynArray_cl<ShipEntity*>& ships = owner->GetShips();
    const unsigned used = ships.GetValidSize();
    for (unsigned i = 0; i < used; ++i) {
      ShipEntity* ship = ships.Get(i);
      if (ship && !ship->IsMarkedRemoved()) out.Insert(ship);
    }
  }
}

bool IsSinking(const ShipEntity* ship) {
  const ShipBattleComponent* battle = ship->Components<ShipBattleComponent>();
  return battle && battle->IsSinking();
}

}  // namespace

void BattleManager::GetFriendlyShips(DynArray_cl<ShipEntity*>& out, int nation) const { CollectShips(out, nation, true); }

void BattleManager::GetEnemyShips(DynArray_cl<ShipEntity*>& out, int nation) const { CollectShips(out, nation, false); }

void BattleManager::GetShipsWithinRangeFromArray(const VisVector_cl& position, float range,
                                                 DynArray_cl<ShipEntity*>* out,
                                                 const DynArray_cl<ShipEntity*>& ships) const {
  if (!out) return;
  const float range2 = range * range;
  const unsigned used = ships.GetValidSize();
  for (unsigned i = 0; i < used; ++i) {
    ShipEntity* ship = ships.Get(i);
    if (!ship || ship->IsMarkedRemoved() || IsSinking(ship)) continue;
    const float dx = ship->GetPosition().x - position.x;
    const float dy = ship->GetPosition().y - position.y;
    if (dx * dx + dy * dy <= range2) out->Insert(ship);
  }
}

void BattleManager::GetFriendlyShipsWithinRange(const VisVector_cl& position, float range,
                                                DynArray_cl<ShipEntity*>* out, int nation) const {
  if (!out) return;
  DynArray_cl<ShipEntity*> ships(0, nullptr);
  GetFriendlyShips(ships, nation);
  GetShipsWithinRangeFromArray(position, range, out, ships);
}

void BattleManager::GetEnemyShipsWithinRange(const VisVector_cl& position, float range, DynArray_cl<ShipEntity*>* out,
                                             int nation) const {
  if (!out) return;
  DynArray_cl<ShipEntity*> ships(0, nullptr);
  GetEnemyShips(ships, nation);
  GetShipsWithinRangeFromArray(position, range, out, ships);
}

void BattleManager::GetShipsInsideSectorFromArray(const VisVector_cl& position, const VisVector_cl& direction,
                                                  float angle, DynArray_cl<ShipEntity*>* out,
                                                  const DynArray_cl<ShipEntity*>& ships) const {
  if (!out) return;
  const unsigned used = ships.GetValidSize();
  for (unsigned i = 0; i < used; ++i) {
    ShipEntity* ship = ships.Get(i);
    if (!ship) continue;
    if (VisMath_cl::AngleBetweenVectors(direction, ship->GetPosition() - position) < angle) out->Insert(ship);
  }
}

void BattleManager::GetFriendlyShipsInsideSector(const VisVector_cl& position, const VisVector_cl& direction,
                                                 float range, float angle, DynArray_cl<ShipEntity*>* out,
                                                 int nation) const {
  if (!out) return;
  DynArray_cl<ShipEntity*> inRange(0, nullptr);
  GetFriendlyShipsWithinRange(position, range, &inRange, nation);
  GetShipsInsideSectorFromArray(position, direction, angle, out, inRange);
}

void BattleManager::GetEnemyShipsInsideSector(const VisVector_cl& position, const VisVector_cl& direction, float range,
                                              float angle, DynArray_cl<ShipEntity*>* out, int nation) const {
  if (!out) return;
  DynArray_cl<ShipEntity*> inRange(0, nullptr);
  GetEnemyShipsWithinRange(position, range, &inRange, nation);
  GetShipsInsideSectorFromArray(position, direction, angle, out, inRange);
}

ShipEntity* BattleManager::GetClosestShipFromArray(const VisVector_cl& position, const DynArray_cl<ShipEntity*>* ships,
                                                   int nation) const {
  if (!ships) return nullptr;
  ShipEntity* closest = nullptr;
  float best = 1.0e9f;
  const unsigned used = ships->GetValidSize();
  for (unsigned i = 0; i < used; ++i) {
    ShipEntity* ship = ships->Get(i);
    if (!ship || ship->IsMarkedRemoved() || IsSinking(ship)) continue;
    if (nation >= 0 && ship->GetNation() != nation) continue;
    const float dx = ship->GetPosition().x - position.x;
    const float dy = ship->GetPosition().y - position.y;
    const float d2 = dx * dx + dy * dy;
    if (d2 < best) {
      best = d2;
      closest = ship;
    }
  }
  return closest;
}


int BattleManager::ShipsWithinRange(const VisVector_cl& position, float range) const {
  if (!GameManager::HasInstance()) return 0;
  const GameManager* game = GameManager::GetInstance();
  const float range2 = range * range;
  for (unsigned n = 0; n < game->GetNationCount(); ++n) {
    const Nation* nation = game->GetNation(n);
    if (!nation) continue;
    const DynArray_cl<ShipEntity*>& ships = nation->GetShips();
    const unsigned used = ships.GetValidSize();
    for (unsigned i = 0; i < used; ++i) {
      const ShipEntity* ship = ships.Get(i);
      if (!ship || ship->IsMarkedRemoved()) continue;
      const float dx = ship->GetPosition().x - position.x;
      const float dy = ship->GetPosition().y - position.y;
      if (dx * dx + dy * dy < range2) return 1;
    }
  }
  return 0;
}
