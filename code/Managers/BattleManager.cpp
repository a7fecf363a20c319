// Sea battle state and ship queries. Scene loading, the sea camera and the
// nation-relative queries come with the sea scenes.
#include "Managers/BattleManager.h"

#include "components/AIShipComponent.h"
#include "components/CameraInputComponent.h"
#include "components/CameraModeComponent.h"
#include "components/ShipBattleCameraComponent.h"
#include "components/ShipMovementComponent.h"
#include "components/ShipPathComponent.h"
#include "components/ShipBattleComponent.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "core/VisMainApp.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "gui/GUIManager.h"
#include "util/Navigation.h"
#include "Managers/MusicManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SoundManager.h"

#include "engine/Vision.h"
#include "engine/core/IVisPhysicsObject.h"
#include "engine/core/VisRenderContext.h"
#include "engine/sound/VSoundManager.h"

#include <string>

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

// Calls visit(ship) for every ship the engine does not remove of the nations that
// are friendly (enemies false) or hostile (enemies true) to the nation id, in the
// order of the nation and ship lists; a visit that returns false ends the walk.
// The friendship of a nation is asked once for all its ships.
template <class F>
bool ForEachLiveShipOfSide(int nation, bool enemies, F visit) {
  if (!GameManager::HasInstance()) return true;
  const GameManager* game = GameManager::GetInstance();
  const unsigned nations = game->GetNationCount();
  for (unsigned n = 0; n < nations; ++n) {
    const Nation* owner = game->GetNation(n);
    if (!owner || owner->IsEnemy(nation) != enemies) continue;
    const DynArray_cl<ShipEntity*>& ships = owner->GetShips();
    const unsigned used = ships.GetValidSize();
    for (unsigned i = 0; i < used; ++i) {
      ShipEntity* ship = ships.Get(i);
      if (ship && !ship->IsMarkedRemoved() && !visit(ship)) return false;
    }
  }
  return true;
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

namespace {
// The ships of one side within range that are not sinking, in list order; the
// distance is tested before the sinking flag, which is a component look-up.
void CollectWithinRange(const VisVector_cl& position, float range, DynArray_cl<ShipEntity*>* out, int nation,
                        bool enemies) {
  const float range2 = range * range;
  ForEachLiveShipOfSide(nation, enemies, [&](ShipEntity* ship) {
    if (PlaneDistanceSqr(ship->GetPosition(), position) <= range2 && !IsSinking(ship)) out->Insert(ship);
    return true;
  });
}

// The same, then within the sector around direction.
void CollectInsideSector(const VisVector_cl& position, const VisVector_cl& direction, float range, float angle,
                         DynArray_cl<ShipEntity*>* out, int nation, bool enemies) {
  const float range2 = range * range;
  ForEachLiveShipOfSide(nation, enemies, [&](ShipEntity* ship) {
    const VisVector_cl& at = ship->GetPosition();
    if (PlaneDistanceSqr(at, position) <= range2 && !IsSinking(ship) &&
        VisMath_cl::AngleBetweenVectors(direction, at - position) < angle)
      out->Insert(ship);
    return true;
  });
}

// The closest ship of one side (nation filter < 0: any nation) nearer than best,
// never a sinking one; the first found of equally near ships stays.
void FindClosest(const VisVector_cl& position, int side, bool enemies, int nationFilter, ShipEntity*& closest,
                 float& best) {
  ForEachLiveShipOfSide(side, enemies, [&](ShipEntity* ship) {
    if (nationFilter >= 0 && ship->GetNation() != nationFilter) return true;
    const float d2 = PlaneDistanceSqr(ship->GetPosition(), position);
    if (d2 < best && !IsSinking(ship)) {
      best = d2;
      closest = ship;
    }
    return true;
  });
}
}  // namespace

void BattleManager::GetFriendlyShipsWithinRange(const VisVector_cl& position, float range,
                                                DynArray_cl<ShipEntity*>* out, int nation) const {
  if (!out) return;
  CollectWithinRange(position, range, out, nation, false);
}

void BattleManager::GetEnemyShipsWithinRange(const VisVector_cl& position, float range, DynArray_cl<ShipEntity*>* out,
                                             int nation) const {
  if (!out) return;
  CollectWithinRange(position, range, out, nation, true);
}

void BattleManager::GetShipsInsideSectorFromArray(const VisVector_cl& position, const VisVector_cl& direction,
                                                  float angle, DynArray_cl<ShipEntity*>* out,
                                                  const DynArray_cl<ShipEntity*>& ships) const {
  if (!out) return;
  const unsigned used = ships.GetValidSize();
  for (unsigned i = 0; i < used; ++i) {
    ShipEntity* ship = ships.Get(i);
    if (!ship || ship->IsMarkedRemoved()) continue;
    if (VisMath_cl::AngleBetweenVectors(direction, ship->GetPosition() - position) < angle) out->Insert(ship);
  }
}

void BattleManager::GetFriendlyShipsInsideSector(const VisVector_cl& position, const VisVector_cl& direction,
                                                 float range, float angle, DynArray_cl<ShipEntity*>* out,
                                                 int nation) const {
  if (!out) return;
  CollectInsideSector(position, direction, range, angle, out, nation, false);
}

void BattleManager::GetEnemyShipsInsideSector(const VisVector_cl& position, const VisVector_cl& direction, float range,
                                              float angle, DynArray_cl<ShipEntity*>* out, int nation) const {
  if (!out) return;
  CollectInsideSector(position, direction, range, angle, out, nation, true);
}

// The world's height already holds the terrain's origin; a sector whose heights
// are not in memory answers with the origin alone.
float BattleManager::GetTerrainHeight(const VisVector_cl& position, bool force) const {
  if (!Vision::World.HasTerrain()) return 0.0f;
  if (force || (Vision::World.GetTerrainSectorFlags(position.x, position.y) & 1u) != 0)
    return Vision::World.GetHeightAtWorldPos(position.x, position.y);
  return Vision::World.GetTerrainOrigin().z;
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

namespace {
const char kSceneScriptFile[] = "scripts\\Battle1.lua";
const char kNavigationMapFile[] = "CollisionMap.dds";
const int kBlockVersion = 3;

IVScriptInstance* CurrentSceneScript() {
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  return scripts ? scripts->GetSceneScript() : nullptr;
}

void CallSceneScript(const char* function) {
  IVScriptInstance* script = CurrentSceneScript();
  if (script && script->HasFunction(function)) script->ExecuteFunctionArg(function, "");
}

// The folder of a scene file with its trailing separator ("" for a bare name).
std::string SceneFolder(const char* scene) {
  const std::string file = scene ? scene : "";
  const size_t slash = file.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

const AIShipComponent* AttackingAI(const ShipEntity* ship) {
  const AIShipComponent* ai = ship->Components<AIShipComponent>();
  return ai && ai->GetAIMode() == AIShipComponent::AIMODE_ATTACK ? ai : nullptr;
}
}  // namespace

void BattleManager::InitWorld(int scriptArg, const char* scene) {
  Vision::Error.SystemMessage("BattleManager::InitWorld() Unload previous");
  Vision::LoadWorld(nullptr);
  Vision::Error.SystemMessage("BattleManager::InitWorld() Load Scene %s", scene ? scene : "");
  VisMainApp::GetInstance()->LoadScene(scene);
  Vision::Error.SystemMessage("BattleManager::InitWorld() Scene loaded");

  Navigation* navigation = GameManager::HasInstance() ? GameManager::GetInstance()->GetNavigation() : nullptr;
  const std::string map = SceneFolder(scene) + kNavigationMapFile;
  if (navigation && Vision::File.Exists(map.c_str())) navigation->LoadMap(map.c_str());

  SetSceneScript(scriptArg);
  Vision::Error.SystemMessage("BattleManager::InitWorld() DONE");
}

void BattleManager::PostInit() { CallSceneScript("PostInit"); }

// Every sea scene runs the same battle script; the argument is kept for callers
// that name a scene kind.
void BattleManager::SetSceneScript(int /*scriptArg*/) {
  CallSceneScript("DeInit");
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  if (!scripts) return;
  VSmartPtr<IVScriptInstance> script = scripts->CreateScriptInstanceFromFile(kSceneScriptFile);
  scripts->SetSceneScript(script);
  if (script) CallSceneScript("Init");
}

IVScriptInstance* BattleManager::GetSceneScript() const { return CurrentSceneScript(); }

void BattleManager::StopAttackingPlayer() {
  if (!GameManager::HasInstance()) return;
  const Nation* own = GameManager::GetInstance()->GetPlayerNation();
  ShipEntity* player = own ? own->GetPlayerShip() : nullptr;
  if (!player) return;
  ForEachLiveShip([&](const Nation*, ShipEntity* ship) {
    AIShipComponent* ai = ship->Components<AIShipComponent>();
    if (!ai || ai->GetAIMode() != AIShipComponent::AIMODE_ATTACK || ai->GetTargetShip() != player) return true;
    ai->SetTargetShip(nullptr);
    ai->SetAIMode(AIShipComponent::AIMODE_IDLE);
    ai->SetAttackTargetNation(-1);
    if (ShipPathComponent* path = ship->Components<ShipPathComponent>()) path->UpdateOwner();
    return true;
  });
}

bool BattleManager::SerializeX(VArchive& ar) {
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    scripts->WriteScriptInstance(ar, CurrentSceneScript());
    ar << m_bBattleActive;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "BattleManager", kBlockVersion);
  if (!block.IsOpen()) return false;
  VSmartPtr<IVScriptInstance> script;
  bool active = m_bBattleActive;
  if (block.Has(2)) {
    script = scripts->ReadScriptInstance(ar, nullptr);
    if (!ar.IsOK()) return block.Fail("the scene script");
  }
  if (block.Has(3)) ar >> active;
  // A failed block keeps the running scene script; the one read is dropped.
  if (!block.End()) return false;
  if (block.Has(2)) scripts->SetSceneScript(script);
  m_bBattleActive = active;
  return true;
}

void BattleManager::GetHostileShips(DynArray_cl<ShipEntity*>& out, int nation) const {
  ForEachLiveShip([&](const Nation* owner, ShipEntity* ship) {
    if (owner->GetNationId() == nation) return true;
    const AIShipComponent* ai = AttackingAI(ship);
    if (!ai) return true;
    const ShipEntity* target = ai->GetTargetShip();
    if (ai->GetAttackTargetNation() == nation || (target && target->GetNation() == nation)) out.Insert(ship);
    return true;
  });
}

ShipEntity* BattleManager::GetClosestFriendlyShip(const VisVector_cl& position, int nation) const {
  ShipEntity* closest = nullptr;
  float best = 1.0e9f;
  FindClosest(position, nation, false, -1, closest, best);
  return closest;
}

ShipEntity* BattleManager::GetClosestEnemyShip(const VisVector_cl& position, int nation) const {
  ShipEntity* closest = nullptr;
  float best = 1.0e9f;
  FindClosest(position, nation, true, -1, closest, best);
  return closest;
}

ShipEntity* BattleManager::GetClosestHostileShip(const VisVector_cl& position, int nation) const {
  DynArray_cl<ShipEntity*> ships(0, nullptr);
  GetHostileShips(ships, nation);
  return GetClosestShipFromArray(position, &ships, -1);
}

// Friendly and enemy ships of nation 0 together are every ship.
ShipEntity* BattleManager::GetClosestShip(const VisVector_cl& position, int nation) const {
  ShipEntity* closest = nullptr;
  float best = 1.0e9f;
  FindClosest(position, 0, false, nation, closest, best);
  FindClosest(position, 0, true, nation, closest, best);
  return closest;
}

int BattleManager::GetIndexInGroup(ShipEntity* ship) const {
  if (!ship || !GameManager::HasInstance()) return -1;
  const GameManager* game = GameManager::GetInstance();
  for (unsigned n = 0, nations = game->GetNationCount(); n < nations; ++n) {
    const Nation* nation = game->GetNation(n);
    if (!nation) continue;
    const DynArray_cl<ShipEntity*>& ships = nation->GetShips();
    for (unsigned i = 0, used = ships.GetValidSize(); i < used; ++i)
      if (ships.Get(i) == ship) return (int)i;
  }
  return -1;
}

VisVector_cl BattleManager::CalculateCenter(const DynArray_cl<ShipEntity*>* ships) const {
  VisVector_cl sum(0, 0, 0);
  int count = 0;
  if (ships) {
    for (unsigned i = 0, used = ships->GetValidSize(); i < used; ++i) {
      const ShipEntity* ship = ships->Get(i);
      if (!ship) continue;
      sum = sum + ship->GetPosition();
      ++count;
    }
  }
  if (count == 0) return VisVector_cl(0, 0, 0, 1);
  const float scale = 1.0f / (float)count;
  return VisVector_cl(sum.x * scale, sum.y * scale, sum.z * scale, 1.0f);
}

VisVector_cl BattleManager::CalculateFriendlyCenter(int nation) const {
  DynArray_cl<ShipEntity*> ships(0, nullptr);
  GetFriendlyShips(ships, nation);
  return CalculateCenter(&ships);
}

VisVector_cl BattleManager::CalculateEnemyCenter(int nation) const {
  DynArray_cl<ShipEntity*> ships(0, nullptr);
  GetEnemyShips(ships, nation);
  return CalculateCenter(&ships);
}

bool BattleManager::AnyEnemiesInRange(const VisVector_cl& position, float range, int nation) const {
  return AnyEnemyInRange(position, range, nation, false);
}

bool BattleManager::AnyHostileEnemiesInRange(const VisVector_cl& position, float range, int nation) const {
  return AnyEnemyInRange(position, range, nation, true);
}

bool BattleManager::AnyEnemyInRange(const VisVector_cl& position, float range, int nation, bool attackingOnly) const {
  VisBaseEntity_cl* player = GameManager::HasInstance() ? GameManager::GetInstance()->GetPlayerEntity() : nullptr;
  const float range2 = range * range;
  bool found = false;
  ForEachLiveShipOfSide(nation, true, [&](ShipEntity* ship) {
    if (ship->GetNation() == nation || !(PlaneDistanceSqr(ship->GetPosition(), position) <= range2) || IsSinking(ship))
      return true;
    if (ship == player) {
      found = true;
    } else {
      const AIShipComponent* ai = ship->Components<AIShipComponent>();
      found = ai && (!attackingOnly || ai->GetAIMode() == AIShipComponent::AIMODE_ATTACK);
    }
    return !found;
  });
  return found;
}

void BattleManager::GetShipsInsideSector(const VisVector_cl& position, const VisVector_cl& direction, float range,
                                         float angle, DynArray_cl<ShipEntity*>* out) const {
  if (!out) return;
  GetFriendlyShipsInsideSector(position, direction, range, angle, out, 0);
  GetEnemyShipsInsideSector(position, direction, range, angle, out, 0);
}

void BattleManager::GetMinesWithinRange(const VisVector_cl& position, float range,
                                        DynArray_cl<VisBaseEntity_cl*>* out) const {
  if (!out) return;
  const float range2 = range * range;
  VisEntityCollection_cl mines;
  Vision::Game.SearchEntity("Mine", mines);
  for (VisBaseEntity_cl* mine : mines)
    if (mine && !mine->IsMarkedRemoved() && PlaneDistanceSqr(mine->GetPosition(), position) <= range2)
      out->Insert(mine);
}
