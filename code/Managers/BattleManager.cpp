// Sea battle state and ship queries. Scene loading, the sea camera and the
// nation-relative queries come with the sea scenes.
#include "Managers/BattleManager.h"

#include "components/AIShipComponent.h"
#include "components/CameraInputComponent.h"
#include "components/CameraModeComponent.h"
#include "components/ShipBattleCameraComponent.h"
#include "components/ShipMovementComponent.h"
#include "components/ShipBattleComponent.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "gui/GUIManager.h"
#include "Managers/MusicManager.h"
#include "Managers/SoundManager.h"

#include "engine/Vision.h"
#include "engine/core/IVisPhysicsObject.h"
#include "engine/core/VisRenderContext.h"
#include "engine/sound/VSoundManager.h"

namespace {
// Camera message: the sea battle has ended.
const int kCameraBattleEnded = 113;
const char kCameraEntityKey[] = "CameraEntity";
// The sea camera's vertical field of view; the horizontal one follows the aspect.
const float kSeaCameraVerticalFov = 58.7155f;

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

namespace {
// A fresh component in place of any of its type (or, for a behaviour, of any
// behaviour: one camera behaviour at a time).
void ReplaceComponent(VisBaseEntity_cl* entity, const VType* type, IVObjectComponent* fresh) {
  while (IVObjectComponent* old = entity->GetComponentOfType(type)) old->DisposeObject();
  fresh->Initialize();
  entity->AddComponent(fresh);
}
}  // namespace

void BattleManager::InitCamera() {
  VisBaseEntity_cl* camera = Vision::Game.SearchEntity(kCameraEntityKey);
  if (!camera) camera = Vision::Game.CreateEntity("CameraEntity_cl", VisVector_cl(0, 0, 0));
  if (!camera) return;
  camera->SetEntityKey(kCameraEntityKey);
  camera->SetPosition(30.0f, 0.0f, 400.0f);

  VisRenderContext_cl::GetMainRenderContext()->SetFOV(0.0f, kSeaCameraVerticalFov);

  ReplaceComponent(camera, CameraModeComponent::GetClassTypeId(), new CameraModeComponent());
  ReplaceComponent(camera, CameraBaseComponent_cl::GetClassTypeId(), new ShipBattleCameraComponent());
  // Attaching builds the input map and starts the per-frame input.
  ReplaceComponent(camera, CameraInputComponent::GetClassTypeId(), new CameraInputComponent());

  VSoundManager::GlobalManager().SetListenerCamera(&Vision::Camera);
  Vision::Camera.AttachToEntity(camera, VisVector_cl(0, 0, 0));
}

void BattleManager::TeleportPlayerShip(const VisVector_cl& position) {
  GameManager* game = GameManager::GetInstance();
  if (!game->IsPlayerAtSea()) return;
  const Nation* own = game->GetPlayerNation();
  ShipEntity* ship = own ? own->GetPlayerShip() : nullptr;
  if (!ship) return;

  const VisVector_cl offset = position - ship->GetPosition();
  // The body moves the ship; the entity follows at once for this frame's readers.
  if (IVisPhysicsObject_cl* physics = ship->GetPhysicsObject()) physics->SetPosition(position);
  ship->SetPosition(position);
  Vision::Game.SendMsg(ship, VIS_MSG_USER_SHIP_NOSAILS);
  if (ShipMovementComponent* movement = ship->Components<ShipMovementComponent>()) {
    movement->SetSpeedWithCurrentSails(0.0f);
    movement->SetTurnSpeedWithCurrentSails(0.0f);
  }

  // The sea camera's target moves with the ship, so the camera does not sweep over.
  VisBaseEntity_cl* camera = Vision::Game.SearchEntity(kCameraEntityKey);
  CameraModeComponent* mode = camera ? camera->Components<CameraModeComponent>() : nullptr;
  CameraBaseComponent_cl* behaviour = mode ? mode->GetCurrentCameraMode() : nullptr;
  if (!behaviour || !behaviour->IsOfType(ShipBattleCameraComponent::GetClassTypeId())) return;
  ShipBattleCameraComponent* sea = static_cast<ShipBattleCameraComponent*>(behaviour);
  VisVector_cl target = sea->GetTargetPosition() + offset;
  target.w = 1.0f;
  sea->SetTargetPosition(target);
  sea->SetStarted(true);
  sea->SetForceCameraPrevTargetPosition(sea->GetForceCameraPrevTargetPosition() + offset);
}

// ---------------------------------------------------------------------------
// Scene loading, scene script and the remaining queries.

void BattleManager::InitWorld(int scriptArg, const char* scene) {}
void BattleManager::PostInit() {}
void BattleManager::SetSceneScript(int scriptArg) {}
IVScriptInstance* BattleManager::GetSceneScript() const { return nullptr; }
void BattleManager::StopAttackingPlayer() {}
bool BattleManager::SerializeX(VArchive& ar) { return false; }
void BattleManager::GetHostileShips(DynArray_cl<ShipEntity*>& out, int nation) const {}
ShipEntity* BattleManager::GetClosestFriendlyShip(const VisVector_cl& position, int nation) const { return nullptr; }
ShipEntity* BattleManager::GetClosestEnemyShip(const VisVector_cl& position, int nation) const { return nullptr; }
ShipEntity* BattleManager::GetClosestHostileShip(const VisVector_cl& position, int nation) const { return nullptr; }
ShipEntity* BattleManager::GetClosestShip(const VisVector_cl& position, int nation) const { return nullptr; }
int BattleManager::GetIndexInGroup(ShipEntity* ship) const { return -1; }
VisVector_cl BattleManager::CalculateCenter(const DynArray_cl<ShipEntity*>* ships) const { return {0, 0, 0, 1}; }
VisVector_cl BattleManager::CalculateFriendlyCenter(int nation) const { return {0, 0, 0, 1}; }
VisVector_cl BattleManager::CalculateEnemyCenter(int nation) const { return {0, 0, 0, 1}; }
bool BattleManager::AnyEnemiesInRange(const VisVector_cl& position, float range, int nation) const { return false; }
bool BattleManager::AnyHostileEnemiesInRange(const VisVector_cl& position, float range, int nation) const {
  return false;
}
void BattleManager::GetShipsInsideSector(const VisVector_cl& position, const VisVector_cl& direction, float range,
                                         float angle, DynArray_cl<ShipEntity*>* out) const {}
void BattleManager::GetMinesWithinRange(const VisVector_cl& position, float range,
                                        DynArray_cl<VisBaseEntity_cl*>* out) const {}
