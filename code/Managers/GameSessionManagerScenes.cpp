// Scene changes of the campaign: loading the world map, a town or land scene or a
// sea scene, and leaving the scene the player is in.
#include "Managers/GameSessionManager.h"

#include "Factories/ShipFactory.h"
#include "Managers/BattleManager.h"
#include "Managers/GameContentManager.h"
#include "Managers/MusicManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SeaScenePath.h"
#include "Managers/SettingsManager.h"
#include "Managers/SpeechManager.h"
#include "Managers/TownManager.h"
#include "Missions/MissionManager.h"
#include "components/ShipMovementComponent.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "entities/HeroStats.h"
#include "entities/Nation.h"
#include "entities/PlayerStats.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/TownEntity.h"
#include "gui/GUIManager.h"

#include "engine/Vision.h"
#include "engine/core/VScriptManager.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

const char kLoadScreenFolder[] = "..\\..\\..\\data\\gui\\textures\\";
const char kSceneFolder[] = "..\\..\\..\\data\\scenes\\";
const char kStrongholdShipLocation[] = "stronghold_pirate";
// Heroes stand on a circle of this radius around the player's start.
const float kHeroCircleRadius = 4.0f;
const float kHeightAboveGround = 0.5f;
const float kShipRowSpacing = 10.0f;
const float kShipYawTurn = 90.0f;
const float kTwoPi = 6.28318530718f;

void Log(const char* step) { Vision::Error.SystemMessage("GameSessionManager::LoadScene() %s", step); }

bool Contains(const VString& text, const char* part) {
  return std::string(text.AsChar()).find(part) != std::string::npos;
}

// The fixed picture of a stronghold's scene type (2 to 5), null for others.
const char* StrongholdPicture(int sceneType) {
  switch (sceneType) {
    case 2: return "loadscreen_pirate.dds";
    case 3: return "loadscreen_corsair.dds";
    case 4: return "loadscreen_buccaneer.dds";
    case 5: return "loadscreen_brinemark.dds";
    default: return nullptr;
  }
}

void ShowLoadingScreenFor(int location, int sceneType, const VString& name) {
  GUIManager* gui = GUIManager::GetInstance();
  const char* picture = StrongholdPicture(sceneType);
  const bool stronghold = Contains(name, "stronghold") &&
                          (Contains(name, "buccaneer") || Contains(name, "corsair") || Contains(name, "pirate"));
  if (location == 1 && picture && stronghold)
    gui->SetLoadingScreen((std::string(kLoadScreenFolder) + picture).c_str());
  else
    gui->SetRandomLoadingScreen();
  gui->ShowLoadingScreen();
}

// Ground under the position plus the standing height; the ground is 0 without terrain.
float StandingHeight(const VisVector_cl& pos) {
  const float ground = Vision::World.HasTerrain() ? Vision::World.GetHeightAtWorldPos(pos.x, pos.y) : 0.0f;
  return ground + kHeightAboveGround;
}

int PlayerNationId() {
  Nation* player = GameManager::GetInstance()->GetPlayerNation();
  return player ? player->GetNationId() : -1;
}

bool IsPlayerNationShip(const ShipStats* record, int playerNation) {
  return playerNation >= 0 && record->GetNation() == playerNation;
}

template <class Records>
void SpawnShipRecords(const Records& records) {
  if (records.empty()) return;
  ShipFactory* factory = ShipFactory::GetInstance();
  const int playerNation = PlayerNationId();
  // A copy: a record without a unique id makes the campaign add another record for
  // its new ship, to the very list walked here.
  const std::vector<ShipStats*> snapshot(records.begin(), records.end());
  for (ShipStats* record : snapshot) {
    if (!record) continue;
    // The player's other ships wait in their town.
    if (IsPlayerNationShip(record, playerNation) && !record->IsPlayerShip() && !record->GetLocation().IsEmpty())
      continue;
    record->SetLocation("");
    factory->CreateShip(record);
  }
}

}  // namespace

VString SeaScenePath(const char* scene) {
  const VString name = scene ? scene : "";
  if (Contains(name, ".vscene")) return name;
  const std::string folder = name.AsChar();
  return VString((std::string(kSceneFolder) + folder + "\\" + folder + ".vscene").c_str());
}

void GameSessionManager::LoadScene(const char* scene, int location, int sceneType, VString name, int townArg,
                                   bool flag) {
  GameManager* game = GameManager::GetInstance();
  TownManager* towns = TownManager::GetInstance();
  BattleManager* battle = BattleManager::GetInstance();
  const VString sceneName = scene ? scene : "";

  MusicManager::GetInstance()->EndBattleMusic();
  Log("Begin");
  game->SetTeleportTarget("");
  ShowLoadingScreenFor(location, sceneType, name);

  const int playerNation = PlayerNationId();
  if (m_pPlayer) {
    for (ShipStats* record : m_pPlayer->GetPlayerShips())
      if (IsPlayerNationShip(record, playerNation) && !record->IsPlayerShip() && record->GetLocation().IsEmpty())
        record->SetLocation(kStrongholdShipLocation);
  }
  m_sLastLoadedScene = sceneName;

  if (location == 1) {
    Log("Location Land");
    game->SetLocation(1);
    towns->HideTownEntites();
    towns->LoadTown(sceneName.AsChar(), sceneType, name, townArg);

    VisBaseEntity_cl* mark = Vision::Game.SearchEntity("PlayerCharacter");
    VisBaseEntity_cl* escape = Vision::Game.SearchEntity("EscapeArea");
    VisVector_cl start(0.0f, 0.0f, 0.0f, 1.0f);
    if (!escape) {
      // Without a way out the scene still loads; the hero starts at the mark or the origin.
      Vision::Error.Warning("Escape area not found!");
      Vision::Error.Warning("Could not find escape area entity from town scene.");
      Vision::Error.Warning("Please add one and name it EscapeArea :)");
    } else {
      start = escape->GetPosition();
    }
    if (mark) {
      start = mark->GetPosition();
      mark->Remove();
    }
    start.z = StandingHeight(start);
    start.w = 1.0f;

    if (m_pPlayer) SpawnHero(m_pPlayer, start);
    const int heroes = (int)m_heroes.size();
    VisVector_cl pos = start;
    for (int i = 0; i < heroes; ++i) {
      const float angle = (float)i / (float)heroes * kTwoPi;
      pos.x += kHeroCircleRadius * std::cos(angle);
      pos.y += kHeroCircleRadius * std::sin(angle);
      pos.z = StandingHeight(pos);
      SpawnHero(m_heroes[i], pos);
    }

    Log("Init Town");
    if (TownEntity* town = towns->GetCurrentTownInfo().town) {
      IVScriptInstance* script = Vision::GetScriptManager() ? Vision::GetScriptManager()->GetScriptInstance(town)
                                                            : nullptr;
      if (script && script->IsValid()) {
        if (script->HasFunction("InitTown")) script->ExecuteFunctionArg("InitTown", "*");
        if (!town->IsFound() && script->HasFunction("OnFound")) script->ExecuteFunctionArg("OnFound", "*");
      }
    }
    Log("Spawn Random Collectables");
    towns->SpawnRandomCollectables();
    Log("Show Hud");
    GUIManager::GetInstance()->ShowFrame(WT_LAND_BATTLE_HUD);
  } else if (location == 0) {
    Log("Location World");
    HealAll();
    game->SetLocation(0);
    towns->ShowTownEntites();
    Log("Show Hud");
    GUIManager::GetInstance()->ShowFrame(WT_BATTLE_HUD);
    Log("Init World");
    battle->InitWorld(0, sceneName.AsChar());
    Log("Load State");
    towns->LoadWorldState();
    Log("Post Init");
    battle->PostInit();
    Log("Spawn Ships");
    if (m_pPlayer) SpawnShipRecords(m_pPlayer->GetPlayerShips());
    SpawnShips(m_npcShips);
    SaveGameManagerProto::GetInstance()->RequestAutoSave(flag);
    Log("Init Camera");
    battle->InitCamera();
  } else if (location == 2) {
    Log("Location Sea");
    const VString path = SeaScenePath(sceneName.AsChar());
    towns->LoadSeaScene(path.AsChar(), sceneType, name);
    towns->HideTownEntites();
    game->SetLocation(2);
    RtsManager& rts = RtsManager::GlobalManager();
    if (rts.IsInLandBattle()) {
      rts.SetLandBattle(false);
      if (rts.GetPlayer()) rts.GetPlayer()->ClearSelection();
    }
    Log("Show Hud");
    GUIManager::GetInstance()->ShowFrame(WT_BATTLE_HUD);
    Log("Init World");
    battle->InitWorld(0, path.AsChar());
    Log("Post Init");
    battle->PostInit();
    Log("Spawn Ship");
    VisBaseEntity_cl* startPoint = Vision::Game.SearchEntity("StartPoint");
    if (startPoint && m_pPlayer) {
      ShipFactory* factory = ShipFactory::GetInstance();
      int placed = 0;
      // A copy, as in SpawnShips: creating a ship may add a record to the list.
      const std::vector<ShipStats*> records = m_pPlayer->GetPlayerShips();
      for (ShipStats* record : records) {
        if (!IsPlayerNationShip(record, playerNation) || !record->IsPlayerShip()) continue;
        const VisVector_cl savedPosition = record->GetSavedPosition();
        const VisVector_cl savedOrientation = record->GetSavedOrientation();
        VisVector_cl position = startPoint->GetPosition();
        position.x += kShipRowSpacing * (float)placed++;
        position.w = 1.0f;
        VisVector_cl orientation = startPoint->GetOrientation();
        orientation.x += kShipYawTurn;
        record->SetSavedPosition(position);
        record->SetSavedOrientation(orientation);
        record->SetLocation("");
        if (ShipEntity* ship = factory->CreateShip(record)) {
          if (auto* movement = ship->Components<ShipMovementComponent>()) {
            float yaw = orientation.x;
            movement->MessageFunction(VIS_MSG_USER_SHIP_SETCURRENTHEADING, (INT_PTR)&yaw, 0);
            // SetTargetHeading wraps into [-180, 180).
            movement->SetTargetHeading(yaw);
          }
        }
        record->SetSavedPosition(savedPosition);
        record->SetSavedOrientation(savedOrientation);
      }
    }
    Log("Init Camera");
    battle->InitCamera();
  }

  Log("Apply Settings");
  SettingsManager::GetInstance()->ApplySettings();
  Log("Initialize Content Manager");
  GameContentManager::GetInstance()->Initialize();
  Log("Enter Scene");
  MissionManager::GlobalManager().EnterScene();
  Log("Render Frame");
  Vision::Key.Reset();
  GUIManager::GetInstance()->HideLoadingScreen(5.0f, 1.0f);
  Log("Done.");
}

void GameSessionManager::ExitScene() {
  GameManager* game = GameManager::GetInstance();
  Vision::Error.SystemMessage("GameSessionManager::ExitScene() Begin, location %d", game->GetLocation());
  GUIManager* gui = GUIManager::GetInstance();
  gui->HideLowHPOverlay();
  SpeechManager::GetInstance()->EndConversation();
  BattleManager* battle = BattleManager::GetInstance();
  battle->EndBattle();
  MusicManager::GetInstance()->EndBattleMusic();
  MissionManager::GlobalManager().ExitScene();
  GameContentManager::GetInstance()->DeInitialize();
  game->ClearNationShips();
  battle->ResetBattle();
  switch (game->GetLocation()) {
    case 0:
      gui->CloseWindow(WT_BATTLE_HUD, false);
      TownManager::GetInstance()->SaveWorldState();
      break;
    case 1:
      gui->CloseWindow(WT_LAND_BATTLE_HUD, false);
      StoreEscapedUnits();
      RtsManager::GlobalManager().ExitLandBattle();
      break;
    case 2: gui->CloseWindow(WT_BATTLE_HUD, false); break;
    default: break;
  }
  Vision::Error.SystemMessage("GameSessionManager::ExitScene() Done.");
}

void GameSessionManager::SpawnShips(const std::set<ShipStats*>& ships) { SpawnShipRecords(ships); }
