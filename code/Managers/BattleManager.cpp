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
#include "Managers/SoundManager.h"

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

// Calls visit(nation, ship) for every ship of every nation that the engine does not
// remove; a visit that returns false ends the walk.
template <class F>
void ForEachLiveShip(F visit) {
  if (!GameManager::HasInstance()) return;
  const GameManager* game = GameManager::GetInstance();
  const unsigned nations = game->GetNationCount();
  for (unsigned n = 0; n < nations; ++n) {
    const Nation* nation = game->GetNation(n);
    if (!nation) continue;
    const DynArray_cl<ShipEntity*>& ships = nation->GetShips();
    const unsigned used = ships.GetValidSize();
    for (unsigned i = 0; i < used; ++i) {
      ShipEntity* ship = ships.Get(i);
      if (ship && !ship->IsMarkedRemoved() && !visit(nation, ship)) return;
    }
  }
}

// Squared distance in the x-y plane.
float PlaneDistanceSqr(const VisVector_cl& a, const VisVector_cl& b) {
  const float dx = a.x - b.x, dy = a.y - b.y;
  return dx * dx + dy * dy;
}

bool IsSinking(const ShipEntity* ship) {
  const ShipBattleComponent* battle = ship->Components<ShipBattleComponent>();
  return battle && battle->IsSinking();
}

}  // namespace

namespace {
// The scene's sounds belong to the battle; without a sound manager none play.
void ResetSceneSounds() {
  if (SoundManager::HasInstance()) SoundManager::GetInstance()->ResetSceneSounds();
}
}  // namespace

BattleManager::~BattleManager() { ResetSceneSounds(); }

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
  ResetSceneSounds();
}

void BattleManager::GetShipsWithinRange(const VisVector_cl& position, float range,
                                        DynArray_cl<ShipEntity*>* out) const {
  if (!out) return;
  const float range2 = range * range;
  ForEachLiveShip([&](const Nation*, ShipEntity* ship) {
    if (PlaneDistanceSqr(ship->GetPosition(), position) <= range2) out->Insert(ship);
    return true;
  });
}

void BattleManager::GetFriendlyShips(DynArray_cl<ShipEntity*>& out, int nation) const {
  ForEachLiveShip([&](const Nation* owner, ShipEntity* ship) {
    if (!owner->IsEnemy(nation)) out.Insert(ship);
    return true;
  });
}

void BattleManager::GetEnemyShips(DynArray_cl<ShipEntity*>& out, int nation) const {
  ForEachLiveShip([&](const Nation* owner, ShipEntity* ship) {
    if (owner->IsEnemy(nation)) out.Insert(ship);
    return true;
  });
}

void BattleManager::GetShipsWithinRangeFromArray(const VisVector_cl& position, float range,
                                                 DynArray_cl<ShipEntity*>* out,
                                                 const DynArray_cl<ShipEntity*>& ships) const {
  if (!out) return;
  const float range2 = range * range;
  const unsigned used = ships.GetValidSize();
  for (unsigned i = 0; i < used; ++i) {
    ShipEntity* ship = ships.Get(i);
    if (!ship || ship->IsMarkedRemoved() || IsSinking(ship)) continue;
    if (PlaneDistanceSqr(ship->GetPosition(), position) <= range2) out->Insert(ship);
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

float BattleManager::GetTerrainHeight(const VisVector_cl& position, bool /*force*/) const {
  if (!Vision::World.HasTerrain()) return 0.0f;
  return Vision::World.GetHeightAtWorldPos(position.x, position.y);
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
    const float d2 = PlaneDistanceSqr(ship->GetPosition(), position);
    if (d2 < best) {
      best = d2;
      closest = ship;
    }
  }
  return closest;
}


int BattleManager::ShipsWithinRange(const VisVector_cl& position, float range) const {
  const float range2 = range * range;
  int found = 0;
  ForEachLiveShip([&](const Nation*, ShipEntity* ship) {
    if (PlaneDistanceSqr(ship->GetPosition(), position) < range2) found = 1;
    return found == 0;
  });
  return found;
}

// The sea camera comes with the camera components.
void BattleManager::InitCamera() {}
void BattleManager::TeleportPlayerShip(const VisVector_cl& position) {}
