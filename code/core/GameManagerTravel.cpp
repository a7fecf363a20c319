// GameManager's travel between scenes: the teleport, the town entry of the
// per-frame update, the land-battle start and the ship upgrades.
#include "core/GameManager.h"

#include "Managers/BattleManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/SeaScenePath.h"
#include "Managers/TownManager.h"
#include "core/RtsManager.h"
#include "core/VEntityHighlightManager.h"
#include "core/VisMainApp.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/TownEntity.h"
#include "gui/FrameMap.h"
#include "gui/GUIManager.h"
#include "util/Navigation.h"

#include "engine/Vision.h"

#include <string>

namespace {
const char kSeaSuffix[] = "-sea";
// The outline of the town the player may enter.
const uint32_t kTownHighlightColour = 0xFFFFD040u;
const float kTownSearchRangeAtWorld = 50.0f;
const float kTownSearchRangeElsewhere = 30.0f;
const float kEnteringDistanceAtWorld = 500.0f;
const float kEnteringDistanceElsewhere = 25.0f;
const float kNearAnyTownRange = 50.0f;
const float kNearAnyTownInterval = 0.5f;
const float kTeleportDistanceBehindTown = 25.0f;
const int kStrongholdNationType = 3;

// Towns are land scenes: fog of war over them, except over a stronghold whose
// nation is not of the kind that keeps it.
void SetTownFogOfWar(TownEntity* town) {
  bool fog = !town->IsOfType(StrongholdEntity::GetClassTypeId());
  if (!fog) {
    const int id = town->GetNation();
    const Nation* nation = id >= 0 ? GameManager::GetInstance()->GetNation((unsigned)id) : nullptr;
    fog = nation && nation->GetType() == kStrongholdNationType;
  }
  RtsManager::GlobalManager().SetFogOfWar(fog);
}

// The town's land scene; a town without one names its scene after itself.
VString TownSceneFile(TownEntity* town) {
  VString file = town->GetSceneFile();
  if (file.IsEmpty()) file = town->GetEntityKey();
  return file;
}

void LoadTownScene(TownEntity* town) {
  const VString file = TownSceneFile(town);
  const VString name = town->GetEntityKey();
  const int sceneType = town->GetSceneType();
  const int maxCollectables = town->GetMaxCollectableCount();
  Vision::Error.SystemMessage("GameManager: to town %s, scene %s (type %d)", name.AsChar(), file.AsChar(), sceneType);
  GameSessionManager* session = GameSessionManager::GetInstance();
  session->ExitScene();
  session->LoadScene(file.AsChar(), 1, sceneType, name, maxCollectables, true);
}

// The folder of a scene file with its separator ("" for a bare name).
std::string SceneFolder(const char* scene) {
  const std::string file = scene ? scene : "";
  const size_t slash = file.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

bool IsVisible(const VisBaseEntity_cl* entity) { return entity->GetVisibleBitmask() == 0xFFFFFFFFu; }

ShipStats* ShipToUpgrade() {
  GameSessionManager* session = GameSessionManager::GetInstance();
  if (ShipStats* selected = session->GetSelectedShipAtShipYard()) return selected;
  return session->GetPlayerControlledShip();
}
}  // namespace

// Teleport -----------------------------------------------------------------------

void GameManager::Teleport(const char* name) {
  const std::string target = name ? name : "";
  if (target.empty()) return;

  VisBaseEntity_cl* entity = Vision::Game.SearchEntity(target.c_str());
  if (entity && entity->IsOfType(TownEntity::GetClassTypeId())) {
    TownEntity* town = static_cast<TownEntity*>(entity);
    SetTownFogOfWar(town);
    VisVector_cl behind = town->GetPosition() - town->GetRotationMatrix().GetColumn(0) * kTeleportDistanceBehindTown;
    behind.w = 1.0f;
    BattleManager::GetInstance()->TeleportPlayerShip(behind);
    LoadTownScene(town);
    return;
  }

  std::string scene = target;
  const size_t sea = scene.find(kSeaSuffix);
  const bool atSea = sea != std::string::npos;
  if (atSea) scene.erase(sea);
  // The world map is a sea scene, loaded as the exit from land does.
  const bool world = scene.find("world") != std::string::npos;
  const std::string file = world ? std::string(kWorldScenePath) : "scenes\\" + scene + "\\" + scene + ".vscene";
  const int location = world ? 0 : (atSea ? 2 : 1);
  if (!Vision::File.Exists(file.c_str())) {
    Vision::Error.Warning("GameManager::Teleport(%s): no scene %s", target.c_str(), file.c_str());
    return;
  }
  Vision::Error.SystemMessage("GameManager::Teleport(%s): scene %s at location %d", target.c_str(), file.c_str(),
                              location);
  GameSessionManager* session = GameSessionManager::GetInstance();
  session->ExitScene();
  session->LoadScene(file.c_str(), location, 0, VString(), 0, true);
}

// Nearest town and town entry ---------------------------------------------------------

void GameManager::UpdateNearestTown() {
  VisBaseEntity_cl* player = GetPlayerEntity();
  if (!player) return;
  const float range = m_iLocation == 0 ? kTownSearchRangeAtWorld : kTownSearchRangeElsewhere;
  OnNearestTown(TownManager::GetInstance()->GetNearestTown(player->GetPosition(), range), player->GetPosition());
}

void GameManager::OnNearestTown(TownEntity* nearest, const VisVector_cl& playerPosition) {
  if (nearest != m_pNearestTown) {
    VEntityHighlightManager* highlights = VEntityHighlightManager::GetInstance();
    if (m_pNearestTown) highlights->RemoveHighlight(m_pNearestTown);
    m_pNearestTown = nearest;
    if (nearest && nearest->IsAccessible()) highlights->AddHighlight(nearest, kTownHighlightColour);
    if (nearest && !nearest->IsFound()) {
      // The town's script marks it found.
      VScriptResourceManager* scripts = Vision::GetScriptManager();
      IVScriptInstance* script = scripts ? scripts->GetScriptInstance(nearest) : nullptr;
      if (script && script->HasFunction("OnFound")) script->ExecuteFunctionArg("OnFound", "*");
      if (GUIManager::HasInstance() && GUIManager::GetInstance()->IsWindowVisible(WT_MAP)) {
        if (BaseWindow* map = GUIManager::GetInstance()->FindWindowA(WT_MAP))
          static_cast<FrameMap*>(map)->UpdateTownDots();
      }
    }
  }

  TownEntity* town = m_pNearestTown;
  if (!town || !IsVisible(town) || !town->IsAccessible()) return;
  float entering = m_iLocation == 0 ? kEnteringDistanceAtWorld : kEnteringDistanceElsewhere;
  town->GetScriptValue("fEnteringDistance", entering);
  // The entering distance is compared with the squared distance as it stands.
  const VisVector_cl d = town->GetPosition() - playerPosition;
  if (d.x * d.x + d.y * d.y + d.z * d.z >= entering) return;

  SetPlayTheGame(false);
  SetTownFogOfWar(town);
  LoadTownScene(town);
  SetPlayTheGame(true);
}

// The countdown runs down in the per-frame update.
bool GameManager::IsPlayerNearAnyTown() {
  if (m_fNearTownCountdown > 0.0f) return m_bNearAnyTown;
  m_fNearTownCountdown = kNearAnyTownInterval;

  const Nation* own = GetPlayerNation();
  const ShipEntity* ship = nullptr;
  if (own) {
    const DynArray_cl<ShipEntity*>& ships = own->GetShips();
    for (unsigned i = 0, used = ships.GetValidSize(); i < used && !ship; ++i) ship = ships.Get(i);
  }
  m_bNearAnyTown = ship && TownManager::GetInstance()->GetNearestTown(ship->GetPosition(), kNearAnyTownRange);
  return m_bNearAnyTown;
}

// Land battle --------------------------------------------------------------------

void GameManager::StartLandBattle(const char* scene) {
  if (!scene || !*scene) return;
  Vision::LoadWorld(nullptr);
  VisMainApp::GetInstance()->LoadScene(scene);

  RtsManager& rts = RtsManager::GlobalManager();
  Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(&rts);
  rts.SetLandBattle(true);
  // The followed unit, the escape area and the town's saved state (not inside the
  // editor outside its play mode).
  rts.Initialize();

  if (m_pNavigation) {
    const std::string map = SceneFolder(scene) + "CollisionMap.dds";
    if (Vision::File.Exists(map.c_str())) m_pNavigation->LoadMap(map.c_str());
  }
}

// Ship upgrades ------------------------------------------------------------------

void GameManager::UpgradeShipSpeed(float d) {
  if (ShipStats* ship = ShipToUpgrade()) ship->SetSpeedMultiplier(ship->GetSpeedMultiplier() + d);
}

void GameManager::UpgradeShipManeuverability(float d) {
  if (ShipStats* ship = ShipToUpgrade()) ship->SetTurnMultiplier(ship->GetTurnMultiplier() + d);
}

void GameManager::UpgradeShipCannonDamage(float d) {
  if (ShipStats* ship = ShipToUpgrade()) ship->SetDamageFactor(ship->GetDamageFactor() + d);
}

// A shorter flight factor carries the balls farther: the upgrade subtracts.
void GameManager::UpgradeShipCannonRange(float d) {
  if (ShipStats* ship = ShipToUpgrade()) ship->SetBallFlightFactor(ship->GetBallFlightFactor() - d);
}

void GameManager::UpgradeShipCannonLoadingTime(float d) {
  if (ShipStats* ship = ShipToUpgrade()) ship->SetReloadFactor(ship->GetReloadFactor() - d);
}

namespace {
// The new maximum, and the points filled up to it unless it went negative.
void RaiseMaximum(Hitpoints& points, int add) {
  points.SetMaximum(points.GetMaximum() + add);
  if (points.GetMaximum() >= 0) points.SetCurrent(points.GetMaximum());
}
}  // namespace

void GameManager::UpgradeShipDurability(int hull, int sails) {
  ShipStats* ship = ShipToUpgrade();
  if (!ship) return;
  RaiseMaximum(ship->GetHull(), hull);
  RaiseMaximum(ship->GetSails(), sails);
}
