// The campaign's bundled data: every scene of the campaign loads with the marks the
// game looks for and its navigation picture, every campaign script runs, and the
// game script answers the campaign's questions with files and texts that exist.
#include "Factories/ShipFactory.h"
#include "components/AIShipComponent.h"
#include "components/DLC1SpecialCannonComponent.h"
#include "components/LandCannonComponent.h"
#include "components/MonkeyCannonComponent.h"
#include "components/DestructableBuildingComponent.h"
#include "components/BuildableBuildingComponent.h"
#include "components/SpecialBuildingComponent.h"
#include "entities/BuildingBaseEntity.h"
#include "gui/CeguiCompat.h"
#include "Managers/LocalizationTable.h"
#include "components/ShipBattleComponent.h"
#include "components/StorageComponentProto.h"
#include "Managers/AchievementManager.h"
#include "Managers/BattleManager.h"
#include "Managers/GameContentManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/LandRadarManager.h"
#include "Managers/MusicManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/TownManager.h"
#include "Missions/MissionManager.h"
#include "Managers/SpeechManager.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "core/ScriptBindings.h"
#include "entities/BuildingBaseEntity.h"
#include "entities/CollectableEntity.h"
#include "entities/CollectableEntityTemplate.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/SoldierEntity.h"
#include "entities/TownEntity.h"
#include "entities/UnitEntity.h"
#include "util/MathTools.h"
#include "util/Navigation.h"

#include "engine/Vision.h"
#include "engine/core/TriggerBoxEntity.h"

#include "support/LogCapture.h"
#include "support/StringKeys.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

const float kDt = 1.0f / 30.0f;

class CampaignDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Vision::File.RemoveAllDataDirectories();
    // The program's own data folders: the data tree, and its models for the ship
    // configurations.
    ASSERT_TRUE(Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data"));
    ASSERT_TRUE(Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data/models"));
    m_physics = std::make_unique<vPhysXModule>();
    vPhysXModule::SetInstance(m_physics.get());
    Vision::Timer.SetFixedTimeStep(kDt);
    srand(7);
    RegisterLuaBindings();
    RtsManager::GlobalManager().OneTimeInit();
    GameManager::GetInstance()->OneTimeInit();
    game = Vision::GetScriptManager()->GetGameScript();
    ASSERT_NE(game, nullptr);
  }
  // Scripts run without an owner belong to the test.
  std::vector<IVScriptInstance*> ownerless;

  void TearDown() override {
    for (IVScriptInstance* script : ownerless) script->Release();
    ownerless.clear();
    Vision::LoadWorld(nullptr);
    Vision::Game.RemoveAllEntities();
    ShipFactory::CleanInstance();
    BattleManager::CleanInstance();
    GameContentManager::CleanInstance();
    GameManager::GetInstance()->OneTimeDeInit();
    GameManager::CleanInstance();
    RtsManager::GlobalManager().OneTimeDeInit();
    GameSessionManager::CleanInstance();
    SaveGameManagerProto::CleanInstance();
    m_physics.reset();
    vPhysXModule::SetInstance(nullptr);
    Vision::Timer.SetFixedTimeStep(0.0f);
    Vision::GetScriptManager()->Reset();
    Vision::File.RemoveAllDataDirectories();
  }

  static bool FileExists(const VString& file) { return !file.IsEmpty() && Vision::File.Exists(file.AsChar()); }

  // A script of the bundled data run once, attached to the owner; null when it
  // does not load or its first run fails.
  IVScriptInstance* Attach(const char* file, VisTypedEngineObject_cl* owner) {
    VScriptResourceManager* scripts = Vision::GetScriptManager();
    IVScriptInstance* script = scripts->CreateScriptInstanceFromFile(file, owner);
    if (script && owner) scripts->SetScriptInstance(owner, script);
    if (script && !owner) ownerless.push_back(script);
    return script;
  }

  std::unique_ptr<vPhysXModule> m_physics;
  IVScriptInstance* game = nullptr;
};

struct SceneCase {
  const char* file;
  std::vector<const char*> marks;   // entities the game looks for
  std::vector<const char*> absent;  // entities the scene must not have
  bool land;                        // a land scene: escape area, camera bounds and start
};

TEST_F(CampaignDataTest, EveryCampaignSceneLoadsWithItsMarksAndNavigationPicture) {
  const SceneCase cases[] = {
      {"scenes\\world01\\World.vscene", {"Island_Saltmarsh", "Island_Amber", "Island_SkullRock"}, {}, false},
      {"scenes\\town_harbour\\town_harbour.vscene", {"EscapeArea", "PlayerCharacter", "PlayerShip"}, {}, true},
      {"scenes\\stronghold_pirate\\stronghold_pirate.vscene",
       {"EscapeArea", "PlayerShip", "TowerCannon", "GateCannon", "MonkeyCannon", "script_doruzuza"},
       {"PlayerCharacter"},
       true},
      {"scenes\\seabattle01\\seabattle01.vscene", {"StartPoint", "EnemyShip"}, {"PlayerShip"}, false},
      {"DLC\\01\\scenes\\level_01\\level_01.vscene", {"EscapeArea", "PlayerCharacter"}, {}, true},
  };
  Navigation* nav = GameManager::GetInstance()->GetNavigation();
  for (const SceneCase& c : cases) {
    SCOPED_TRACE(c.file);
    ASSERT_TRUE(Vision::LoadWorld(c.file));
    for (const char* key : c.marks) EXPECT_NE(Vision::Game.SearchEntity(key), nullptr) << key;
    for (const char* key : c.absent) EXPECT_EQ(Vision::Game.SearchEntity(key), nullptr) << key;

    if (c.land) {
      VisBaseEntity_cl* escape = Vision::Game.SearchEntity("EscapeArea");
      ASSERT_NE(escape, nullptr);
      ASSERT_TRUE(escape->IsOfType(TriggerBoxEntity_cl::GetClassTypeId()));
      // The hero stands inside it when the scene has no other start.
      EXPECT_TRUE(static_cast<TriggerBoxEntity_cl*>(escape)->IsInside(escape->GetPosition()));
      VisPath_cl* bounds = Vision::Game.SearchPath("CameraBounds");
      ASSERT_NE(bounds, nullptr);
      EXPECT_TRUE(bounds->IsClosed());
      EXPECT_NE(Vision::Game.SearchEntity("CameraStartPosition"), nullptr);
    }
    // The moored ship's mark is off the origin: the harbour is then known.
    if (VisBaseEntity_cl* ship = Vision::Game.SearchEntity("PlayerShip")) {
      EXPECT_GT(ship->GetPosition().GetLength(), 1.0f);
    }

    std::string folder = c.file;
    folder.erase(folder.find_last_of('\\') + 1);
    nav->LoadMap((folder + "CollisionMap.dds").c_str());
    EXPECT_TRUE(nav->HasMap());
  }
}

// The towns zone's entities, made as a scene makes them (a zone's entities are
// written as a scene's): the towns of the world map with their scripts, facing
// inland from a shore with open water behind them.
TEST_F(CampaignDataTest, TheTownsZoneHoldsTheWorldMapsTownsAtTheirShores) {
  std::ifstream in(BRINEMARK_SOURCE_DIR "/data/scenes/world01/World.vscene_data/Towns.vzone");
  std::stringstream text;
  text << in.rdbuf();
  std::string zone = text.str();
  ASSERT_NE(zone.find("<zone>"), std::string::npos);
  zone.replace(zone.find("<zone>"), 6, "<scene>");
  zone.replace(zone.find("</zone>"), 7, "</scene>");
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "campaign_towns_zone";
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "TownsAsScene.vscene") << zone;
  ASSERT_TRUE(Vision::File.AddDataDirectory(dir.c_str()));
  Vision::File.ClearCache();

  ASSERT_TRUE(Vision::LoadWorld("scenes\\world01\\World.vscene"));
  Navigation* nav = GameManager::GetInstance()->GetNavigation();
  nav->LoadMap("scenes\\world01\\CollisionMap.dds");
  ASSERT_TRUE(Vision::LoadWorld("TownsAsScene.vscene"));
  std::filesystem::remove_all(dir);

  struct TownCase {
    const char* key;
    bool stronghold;
    int sceneType;
  };
  const TownCase towns[] = {{"town_saltmarsh", false, 3}, {"colony_fort_amber", false, 5}, {"stronghold_pirate", true, 2}};
  for (const TownCase& c : towns) {
    SCOPED_TRACE(c.key);
    VisBaseEntity_cl* entity = Vision::Game.SearchEntity(c.key);
    ASSERT_NE(entity, nullptr);
    ASSERT_TRUE(entity->IsOfType(TownEntity::GetClassTypeId()));
    EXPECT_EQ(entity->IsOfType(StrongholdEntity::GetClassTypeId()), c.stronghold);
    auto* town = static_cast<TownEntity*>(entity);
    EXPECT_EQ(town->GetNation(), c.sceneType);  // the scene type is the town's nation index

    IVScriptInstance* script = Attach(town->GetScript().AsChar(), town);
    ASSERT_NE(script, nullptr) << town->GetScript().AsChar();
    int sceneType = 0;
    EXPECT_TRUE(script->GetGlobal("iSceneType", sceneType));
    EXPECT_EQ(sceneType, c.sceneType);

    // Open water 25 behind the town, where a teleport leaves the ship; land ahead.
    const float yaw = town->GetOrientation().x * 3.14159265f / 180.0f;
    const VisVector_cl forward(std::cos(yaw), std::sin(yaw), 0);
    EXPECT_TRUE(nav->IsWalkableAt(town->GetPosition() - forward * 25.0f));
    EXPECT_FALSE(nav->IsWalkableAt(town->GetPosition() + forward * 25.0f));
  }
}

TEST_F(CampaignDataTest, TheSeaBattleStartsTheShipsTurnedToTheirEnemy) {
  ASSERT_TRUE(Vision::LoadWorld("scenes\\seabattle01\\seabattle01.vscene"));
  VisBaseEntity_cl* start = Vision::Game.SearchEntity("StartPoint");
  auto* enemy = static_cast<ShipEntity*>(Vision::Game.SearchEntity("EnemyShip"));
  ASSERT_TRUE(start && enemy);
  // Turned by 90 the ships head along +x (a yaw of 270 wraps to 0), at the enemy.
  EXPECT_FLOAT_EQ(start->GetOrientation().x, 270.0f);
  EXPECT_GT(enemy->GetPosition().x, start->GetPosition().x + 100.0f);
  EXPECT_TRUE(GameManager::GetInstance()->GetNation(1)->IsEnemy(enemy->GetNation()));
}

TEST_F(CampaignDataTest, TheStrongholdsCannonsStandReadyAndTheMonkeyCannonWaits) {
  ASSERT_TRUE(Vision::LoadWorld("scenes\\stronghold_pirate\\stronghold_pirate.vscene"));
  VisBaseEntity_cl* tower = Vision::Game.SearchEntity("TowerCannon");
  VisBaseEntity_cl* gate = Vision::Game.SearchEntity("GateCannon");
  VisBaseEntity_cl* monkeys = Vision::Game.SearchEntity("MonkeyCannon");
  ASSERT_TRUE(tower && gate && monkeys);
  EXPECT_NE(tower->Components<LandCannonComponent>(), nullptr);
  auto* gateCannon = gate->Components<DLC1SpecialCannonComponent>();
  ASSERT_NE(gateCannon, nullptr);
  EXPECT_FALSE(gateCannon->IsActive());
  auto* monkeyCannon = monkeys->Components<MonkeyCannonComponent>();
  ASSERT_NE(monkeyCannon, nullptr);
  EXPECT_FALSE(monkeyCannon->IsCannonActive()) << "the queen's fight starts it";
  EXPECT_NE(Vision::Game.SearchPath("MonkeyPath1"), nullptr);
  EXPECT_TRUE(Vision::Game.SearchEntity("script_doruzuza")->IsOfType(SoldierEntity::GetClassTypeId()));
}

TEST_F(CampaignDataTest, TheSeaBattlesEnemyIsDroppedFromTheCampaignWithItsScene) {
  ASSERT_TRUE(Vision::LoadWorld("scenes\\seabattle01\\seabattle01.vscene"));
  auto* enemy = static_cast<ShipEntity*>(Vision::Game.SearchEntity("EnemyShip"));
  ASSERT_TRUE(enemy && enemy->GetStats());
  ShipStats* record = enemy->GetStats();
  const std::set<ShipStats*>& kept = GameSessionManager::GetInstance()->GetNPCShips();
  EXPECT_EQ(kept.count(record), 1u);
  // Out of sight it stays in the battle.
  ASSERT_NE(enemy->Components<AIShipComponent>(), nullptr);
  EXPECT_EQ(enemy->Components<AIShipComponent>()->CanRemove(), 0);

  // Leaving the scene drops it: it does not come back on the world map, sunk or not.
  GameContentManager::GetInstance()->DeInitialize();
  EXPECT_EQ(kept.count(record), 0u);
  EXPECT_EQ(enemy->GetStats(), nullptr);
}

TEST_F(CampaignDataTest, EveryCampaignScriptRunsForItsOwner) {
  // Towns: the values the game reads, the town's entry and its discovery.
  const char* towns[] = {"scripts\\towns\\saltmarsh.lua", "scripts\\towns\\fort_amber.lua",
                         "scripts/towns/stronghold_pirate.lua"};
  const std::set<std::string> keys = StringKeys();
  for (const char* file : towns) {
    SCOPED_TRACE(file);
    auto* town = static_cast<TownEntity*>(Vision::Game.CreateEntity("TownEntity", VisVector_cl(0, 0, 0)));
    IVScriptInstance* script = Attach(file, town);
    ASSERT_NE(script, nullptr);
    VString scene, name;
    int sceneType = 0, maxCollectables = -1, maxItems = -1, currentItems = 0;
    bool accessible = false, found = true, fog = false;
    float interval = 0.0f, entering = 0.0f;
    EXPECT_TRUE(script->GetGlobal("sSceneFile", scene) && FileExists(scene));
    EXPECT_TRUE(script->GetGlobal("iSceneType", sceneType) && sceneType >= 2 && sceneType <= 5);
    EXPECT_TRUE(script->GetGlobal("sNameKey", name) && keys.count(name.AsChar()));
    EXPECT_TRUE(script->GetGlobal("bIsAccessible", accessible) && accessible);
    EXPECT_TRUE(script->GetGlobal("bFound", found) && !found);
    EXPECT_TRUE(script->GetGlobal("iMaxCollectables", maxCollectables) && maxCollectables >= 0);
    EXPECT_TRUE(script->GetGlobal("bFogOfWar", fog));
    EXPECT_TRUE(script->GetGlobal("fMoneyBarrelBornInterval", interval) && interval > 0.0f);
    EXPECT_TRUE(script->GetGlobal("iMaxItemsInBuilding", maxItems) && maxItems >= 0);
    EXPECT_TRUE(script->GetGlobal("iCurrentItemsInBuilding", currentItems));
    EXPECT_TRUE(script->GetGlobal("fEnteringDistance", entering) && entering > 0.0f);
    EXPECT_TRUE(script->ExecuteFunctionArg("InitTown", "*"));
    EXPECT_TRUE(script->ExecuteFunctionArg("OnFound", "*"));
    EXPECT_TRUE(script->GetGlobal("bFound", found) && found);
  }

  // Missions: started and ended; every catalogue row names texts and a mission
  // script that exist, and the row after the last is the empty one.
  for (const char* file : {"scripts\\Missions\\MissionsScript.lua", "scripts\\Missions\\DlcMissions.lua"}) {
    IVScriptInstance* script = Attach(file, nullptr);
    ASSERT_NE(script, nullptr) << file;
    EXPECT_TRUE(script->ExecuteFunctionArg("Init", "")) << file;
    EXPECT_TRUE(script->ExecuteFunctionArg("DeInit", "")) << file;
  }
  IVScriptInstance* missions = Attach("scripts\\Missions\\MissionsScript.lua", nullptr);
  ASSERT_NE(missions, nullptr);
  struct Catalogue {
    const char* count;
    const char* row;
    int rows;
  };
  const Catalogue catalogues[] = {{"GetStoryMissionCount", "GetStoryMission", 2},
                                  {"GetFactionMissionCount", "GetFactionMission", 1},
                                  {"GetSideQuestCount", "GetSideQuest", 1},
                                  {"GetDlcMissionCount", "GetDlcMission", 1}};
  std::set<int> ids;
  for (const Catalogue& c : catalogues) {
    SCOPED_TRACE(c.row);
    int n = -1;
    EXPECT_TRUE(missions->ExecuteFunctionArg(c.count, "*>i", &n));
    EXPECT_EQ(n, c.rows);
    for (int i = 1; i <= n + 1; ++i) {
      int id = 0, nation = 0, open = 0;
      VString title, description, file;
      float reward = 1.0f;
      EXPECT_TRUE(missions->ExecuteFunctionArg(c.row, "i>iiisssf", i, &id, &nation, &open, &title, &description,
                                               &file, &reward));
      if (i > n) {
        EXPECT_EQ(id, -1);  // the empty row, which is not stored
        continue;
      }
      EXPECT_GT(id, 0);
      EXPECT_TRUE(ids.insert(id).second) << id;  // unique across the catalogues
      EXPECT_TRUE(keys.count(title.AsChar())) << title.AsChar();
      EXPECT_TRUE(keys.count(description.AsChar())) << description.AsChar();
      EXPECT_TRUE(FileExists(file)) << file.AsChar();
    }
  }
  for (const char* file : {"scripts\\Missions\\StoryLineMissions.lua", "scripts\\Missions\\FactionMissions.lua",
                           "scripts\\Missions\\SideQuests.lua"}) {
    IVScriptInstance* script = Attach(file, nullptr);
    ASSERT_NE(script, nullptr) << file;
    EXPECT_TRUE(script->ExecuteFunctionArg("Init", "")) << file;
  }

  // The sea scenes' script, as the battle manager drives it.
  IVScriptInstance* battle = Attach("scripts\\Battle1.lua", nullptr);
  ASSERT_NE(battle, nullptr);
  for (const char* function : {"Init", "PostInit", "DeInit"})
    EXPECT_TRUE(battle->ExecuteFunctionArg(function, "")) << function;

  // Hero units take their hero's unit type; the name of the script names the class.
  const std::pair<const char*, int> heroes[] = {{"scripts\\LandUnits\\Heroes\\HeroPirate.lua", 6},
                                                {"scripts\\LandUnits\\Heroes\\HeroCorsair.lua", 4},
                                                {"scripts\\LandUnits\\Heroes\\HeroBuccaneer.lua", 5}};
  for (const auto& [file, type] : heroes) {
    auto* unit = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0)));
    IVScriptInstance* script = Attach(file, unit);
    ASSERT_NE(script, nullptr) << file;
    EXPECT_TRUE(script->ExecuteFunctionArg("OnCreate", "*")) << file;
    EXPECT_EQ(unit->GetUnitType(), type) << file;
  }
  for (const char* file : {"scripts\\LandUnits\\HeroSoldier.lua", "scripts\\fauna\\seagull_01.lua",
                           "scripts\\fauna\\default_bird.lua"})
    EXPECT_NE(Attach(file, nullptr), nullptr) << file;
  // The player's unit is marked as the player's character, the unit that uses the
  // scripted cannons and that the gate cannon's shot is credited to.
  {
    auto* unit = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0)));
    IVScriptInstance* script = Attach("scripts\\LandUnits\\PlayerUnitScript.lua", unit);
    ASSERT_NE(script, nullptr);
    EXPECT_TRUE(script->ExecuteFunctionArg("OnCreate", "*"));
    EXPECT_TRUE(unit->HasObjectKey("PlayerCharacter"));
  }
  EXPECT_TRUE(Vision::File.Exists("models\\fauna\\seagull.model"));
  EXPECT_TRUE(Vision::File.Exists("models\\fauna\\seagull.anim"));

  // Every collectable the game script knows: its script runs and names the item.
  int count = 0;
  ASSERT_TRUE(game->ExecuteFunctionArg("GetAllCollectableCount", ">i", &count));
  EXPECT_EQ(count, 37);
  for (int i = 1; i <= count; ++i) {
    VString script, name;
    ASSERT_TRUE(game->ExecuteFunctionArg("GetAllCollectableScript", "i>s", i, &script));
    ASSERT_TRUE(FileExists(script)) << i;
    ASSERT_TRUE(game->ExecuteFunctionArg("GetAllCollectableName", "i>s", i, &name));
    auto* item = static_cast<CollectableEntity*>(Vision::Game.CreateEntity("CollectableEntity", VisVector_cl()));
    IVScriptInstance* instance = Attach(script.AsChar(), item);
    ASSERT_NE(instance, nullptr) << script.AsChar();
    EXPECT_TRUE(instance->ExecuteFunctionArg("OnCreate", "*"));
    EXPECT_STREQ(item->GetObjectKey(), name.AsChar());
    EXPECT_EQ(instance->HasFunction("UseCollectable"), (i >= 32 && i <= 36) || i == 1 || i == 2 || i == 6)
        << "only the potions, the rum, the toolbox and the seashell are used: " << i;
  }
}

// Ashore in the first town, the town script marks the way back on the land radar.
TEST_F(CampaignDataTest, AshoreInSaltmarshTheWayBackIsMarkedOnTheLandRadar) {
  ASSERT_TRUE(Vision::LoadWorld("scenes\\town_harbour\\town_harbour.vscene"));
  VisBaseEntity_cl* wayBack = Vision::Game.SearchEntity("EscapeArea");
  ASSERT_NE(wayBack, nullptr);
  auto* town = static_cast<TownEntity*>(Vision::Game.CreateEntity("TownEntity", VisVector_cl(0, 0, 0)));
  IVScriptInstance* script = Attach("scripts\\towns\\saltmarsh.lua", town);
  ASSERT_NE(script, nullptr);
  ASSERT_TRUE(script->ExecuteFunctionArg("InitTown", "*"));
  ASSERT_TRUE(script->ExecuteFunctionArg("InitTown", "*"));  // a second visit marks it once
  LandRadarManager* radar = LandRadarManager::GetInstance();
  EXPECT_EQ(radar->GetNumMarkers(), 1);
  const LandRadarMarker* marker = radar->FindMarker(wayBack);
  ASSERT_NE(marker, nullptr);
  ASSERT_TRUE(marker->mask && marker->mask->GetTextureObject());
  EXPECT_TRUE(Vision::File.Exists(marker->mask->GetTextureObject()->GetFilename()));
  LandRadarManager::CleanInstance();
}

TEST_F(CampaignDataTest, GoingAshoreInSaltmarshCompletesTheFirstStoryMissionAndTheScriptStartsTheNext) {
  MissionManager& missions = MissionManager::GlobalManager();
  missions.ClearLists(true);
  missions.InitializeMissions();
  missions.LoadStoryMissions();
  missions.LoadFactionMissions();
  missions.LoadSideQuests();
  ASSERT_FALSE(missions.GetStoryMissions().empty());
  ASSERT_TRUE(missions.GetStoryMissions()[0].open);
  missions.AddOngoingStoryMission(missions.GetStoryMissions()[0]);
  const int first = missions.GetStoryMissions()[0].id;
  const int next = missions.GetStoryMissions()[1].id;
  EXPECT_TRUE(missions.GetOpenFactionMissions().empty());

  // At sea nothing happens; ashore in the town the mission is done.
  missions.EnterScene();
  missions.Update();
  ASSERT_TRUE(missions.IsMissionOngoing(first));
  TownManager::GetInstance()->GetCurrentTownInfo().name = "town_saltmarsh";
  missions.EnterScene();
  missions.Update();
  EXPECT_TRUE(missions.IsMissionCompleted(first));
  EXPECT_FALSE(missions.IsMissionOngoing(first));
  ASSERT_EQ(missions.GetOngoingMissions().size(), 1u);
  EXPECT_EQ(missions.GetOngoingMissions()[0].id, next);
  EXPECT_EQ(missions.GetOpenFactionMissions().size(), 1u);

  missions.ClearLists(true);
  missions.DeregisterCallbacks();
  TownManager::CleanInstance();
}

TEST_F(CampaignDataTest, TheGameScriptAnswersTheCampaignsQuestions) {
  const std::set<std::string> keys = StringKeys();

  // The starting item is the sextant.
  VString script;
  ASSERT_TRUE(game->ExecuteFunctionArg("GetCollectableScript", "i>s", 12, &script));
  EXPECT_STREQ(script.AsChar(), "scripts\\Collectables\\Sextant.lua");

  // The chosen special weapon of each offer is the projectile the offer names.
  const int projectiles[] = {4, 5, 8};  // mine, mortar, human cannon ball
  for (int offer = 1; offer <= 3; ++offer) {
    int index = -1;
    EXPECT_TRUE(game->ExecuteFunctionArg("GetSWMagicIndex", "i>i", offer, &index));
    EXPECT_EQ(index, projectiles[offer - 1]) << offer;
    // Its three texts are in the strings.
    VString image, topic, description, bottom, weapon;
    ASSERT_TRUE(game->ExecuteFunctionArg("GetSW", "i>sssss", offer, &image, &topic, &description, &bottom, &weapon));
    for (const VString* key : {&topic, &description, &bottom}) EXPECT_TRUE(keys.count(key->AsChar())) << key->AsChar();
  }
  EXPECT_TRUE(keys.count("str_SHIP_CAPTURED"));

  // Towns offer ships that can be made.
  int offered = 0;
  for (int shipClass = 2; shipClass <= 4; ++shipClass) {
    int n = 0;
    ASSERT_TRUE(game->ExecuteFunctionArg("GetShipsForSaleAmount", "i>i", shipClass, &n));
    for (int j = 1; j <= n; ++j, ++offered) {
      VString town, ship;
      ASSERT_TRUE(game->ExecuteFunctionArg("GetShipForSaleAt", "ii>ss", shipClass, j, &town, &ship));
      EXPECT_FALSE(town.IsEmpty());
      EXPECT_TRUE(FileExists(ship)) << ship.AsChar();
    }
  }
  EXPECT_GT(offered, 0);

  // Potions: a captioned potion id brewed from ingredients (ids 24 to 31).
  int potions = 0;
  ASSERT_TRUE(game->ExecuteFunctionArg("GetNumberOfPotions", ">i", &potions));
  EXPECT_EQ(potions, 5);
  for (int i = 1; i <= potions; ++i) {
    int id = 0, ingredients = 0;
    VString caption, large, button;
    game->ExecuteFunctionArg("GetCollectableForPotion", "i>i", i, &id);
    game->ExecuteFunctionArg("GetCaptionKeyForPotion", "i>s", i, &caption);
    game->ExecuteFunctionArg("GetLargeImageForPotion", "i>s", i, &large);
    game->ExecuteFunctionArg("GetButtonImageForPotion", "i>s", i, &button);
    game->ExecuteFunctionArg("GetNumIngredientsForCollectable", "i>i", i, &ingredients);
    EXPECT_TRUE(id >= 32 && id <= 36) << i;
    EXPECT_TRUE(keys.count(caption.AsChar())) << caption.AsChar();
    EXPECT_FALSE(large.IsEmpty() || button.IsEmpty());
    EXPECT_GE(ingredients, 2);
    for (int j = 1; j <= ingredients; ++j) {
      int ingredient = 0;
      game->ExecuteFunctionArg("GetIngredientForCollectableAt", "ii>i", i, j, &ingredient);
      EXPECT_TRUE(ingredient >= 24 && ingredient <= 31) << i << "/" << j;
    }
  }

  // Random finds of every quality exist.
  for (int quality = 1; quality <= 3; ++quality) {
    VString found;
    ASSERT_TRUE(game->ExecuteFunctionArg("GetRandomLandCollectableScript", "ii>s", 3, quality, &found));
    EXPECT_TRUE(FileExists(found)) << quality;
  }

  // The game area's corners 1, 3, 5, 7 enclose the towns and the ship's start:
  // each lies on the inner side of every edge.
  VisVector_cl corners[4];
  for (int i = 0; i < 4; ++i) {
    float x = 0, y = 0;
    ASSERT_TRUE(game->ExecuteFunctionArg("GetGameAreaPosition", "i>ff", 2 * i + 1, &x, &y));
    corners[i] = VisVector_cl(x, y, 0);
  }
  for (const VisVector_cl& q : {VisVector_cl(0, 0, 0), VisVector_cl(320, 0, 0), VisVector_cl(-400, 320, 0),
                                VisVector_cl(-520, -400, 0)}) {
    for (int e = 0; e < 4; ++e) {
      const VisVector_cl& a = corners[e];
      const VisVector_cl& b = corners[(e + 1) % 4];
      EXPECT_GT((q.y - b.y) * (a.x - b.x) - (q.x - b.x) * (a.y - b.y), 0.0f) << q.x << ", " << q.y << " edge " << e;
    }
  }

  // Unit templates: a name key with its name and description texts; every unit
  // type the campaign names is covered.
  const int unitTypes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 23, 24, 25, 28, 29,
                           30, 31, 0};
  // A type's image has its small face ("Mini") among the units' faces, which the
  // radar's unit indicators and the player ship panel's crew rows show.
  std::ifstream facesFile(BRINEMARK_SOURCE_DIR "/data/gui/imagesets/UnitFaces_01.imageset");
  const std::string faces((std::istreambuf_iterator<char>(facesFile)), std::istreambuf_iterator<char>());
  ASSERT_NE(faces.find("name=\"EmptySmallMini\""), std::string::npos);
  for (int type : unitTypes) {
    VString s[6];
    ASSERT_TRUE(game->ExecuteFunctionArg("InitUnitEntityTemplate", "i>ssssss", type, &s[0], &s[1], &s[2], &s[3],
                                         &s[4], &s[5]));
    if (!s[3].IsEmpty()) {
      EXPECT_NE(faces.find(std::string("name=\"") + s[3].AsChar() + "Mini\""), std::string::npos) << s[3].AsChar();
    }
    const std::string name = std::string("str_") + s[0].AsChar();
    EXPECT_TRUE(keys.count(name)) << type << ": " << name;
    EXPECT_TRUE(keys.count(name + "_DESCRIPTION")) << type << ": " << name;
    if (!s[1].IsEmpty()) {
      EXPECT_TRUE(FileExists(s[1])) << s[1].AsChar();
    }
    EXPECT_TRUE(FileExists(s[2])) << s[2].AsChar();
  }
  // The characters the player plays, the campaign's three and the downloadable
  // levels' two, are captains: the player's unit and the captain's body (a plain
  // soldier's script gives no model, and the level would start with an unseen hero).
  for (int type : {1, 2, 3, 28, 30}) {
    VString s[6];
    ASSERT_TRUE(game->ExecuteFunctionArg("InitUnitEntityTemplate", "i>ssssss", type, &s[0], &s[1], &s[2], &s[3],
                                         &s[4], &s[5]));
    EXPECT_STREQ(s[1].AsChar(), "scripts\\LandUnits\\PlayerUnitScript.lua") << type;
    EXPECT_STREQ(s[2].AsChar(), "scripts\\LandUnits\\HeroSoldier.lua") << type;
  }

  // Skills: each captain has one active skill, kept from automatic learning, and
  // skills to learn; "GetSkill" finds them by name.
  for (int group = 1; group <= 3; ++group) {
    int n = 0;
    ASSERT_TRUE(game->ExecuteFunctionArg("GetSkillCount", "i>i", group, &n));
    int active = 0, learnable = 0;
    for (int i = 1; i <= n; ++i) {
      VString s[5], again[5];
      int flags[2] = {0, 0}, againFlags[2] = {0, 0};
      float f[13] = {}, againF[13] = {};
      ASSERT_TRUE(game->ExecuteFunctionArg("GetSkillAt", "ii>sssssiifffffffffffff", i, group, &s[0], &s[1], &s[2],
                                           &s[3], &s[4], &flags[0], &flags[1], &f[0], &f[1], &f[2], &f[3], &f[4],
                                           &f[5], &f[6], &f[7], &f[8], &f[9], &f[10], &f[11], &f[12]));
      EXPECT_TRUE(keys.count(s[1].AsChar()) && keys.count(std::string(s[1].AsChar()) + "_DESCRIPTION"))
          << s[1].AsChar();
      if (s[0] == "active_skill") {
        ++active;
        EXPECT_EQ(flags[1], 1);
      } else if (!flags[1]) {
        ++learnable;
      }
      ASSERT_TRUE(game->ExecuteFunctionArg("GetSkill", "si>sssssiifffffffffffff", s[0].AsChar(), group, &again[0],
                                           &again[1], &again[2], &again[3], &again[4], &againFlags[0],
                                           &againFlags[1], &againF[0], &againF[1], &againF[2], &againF[3],
                                           &againF[4], &againF[5], &againF[6], &againF[7], &againF[8], &againF[9],
                                           &againF[10], &againF[11], &againF[12]));
      EXPECT_EQ(again[1], s[1]);
      for (int k = 0; k < 13; ++k) EXPECT_FLOAT_EQ(againF[k], f[k]);
    }
    EXPECT_EQ(active, 1) << group;
    EXPECT_GT(learnable, 2) << group;
  }

  // The texts the campaign shows by key.
  for (const char* key :
       {"str_TOWN_NONE", "str_STRONGHOLD_BRINEMARK_CAVE", "str_GAME_OVER", "str_LEVEL_UP", "str_HERO_LEVELUP",
        "str_TUTORIAL_COLONY_PART1", "str_TUTORIAL_COLONY_PART2", "str_TUTORIAL_COLONY_PART3",
        "str_TUTORIAL_COLONY_PART4", "str_TUTORIAL_COLONY_PART5", "str_TUTORIAL_HERO_PART1",
        "str_TUTORIAL_HERO_PART2", "str_TOWN_DISCOVERED"})
    EXPECT_TRUE(keys.count(key)) << key;
  for (const char* screen : {"loadscreen_pirate", "loadscreen_corsair", "loadscreen_buccaneer", "loadscreen_brinemark"})
    EXPECT_TRUE(Vision::File.Exists((std::string("gui\\textures\\") + screen + ".dds").c_str())) << screen;
}

TEST_F(CampaignDataTest, StartGameGivesThePlayerASteerableShipOfHisOwnAndMusicAndEndGameForgetsTheBattle) {
  // As a campaign starts: the world map loaded, the location the world map, the
  // music playlist emptied by the title screen.
  ASSERT_TRUE(Vision::LoadWorld("scenes\\world01\\World.vscene"));
  GameManager::GetInstance()->SetLocation(0);
  MusicManager::GetInstance()->ClearMusic();
  ASSERT_TRUE(game->ExecuteFunctionArg("StartGame", ""));
  EXPECT_EQ(MusicManager::GetInstance()->GetPlaylist().size(), 2u);
  auto* ship = static_cast<ShipEntity*>(Vision::Game.SearchEntity("PlayerShip"));
  ASSERT_NE(ship, nullptr);
  EXPECT_EQ(ship->GetNation(), 1);
  EXPECT_EQ(GameManager::GetInstance()->GetPlayerEntity(), ship);
  ShipStats* record = GameSessionManager::GetInstance()->GetPlayerControlledShip();
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(ship->GetStats(), record);

  // A battle's enemy kept in the shared globals is forgotten with the campaign.
  ASSERT_TRUE(Vision::LoadWorld("scenes\\seabattle01\\seabattle01.vscene"));
  lua_State* L = Vision::GetScriptManager()->GetMasterState();
  lua_getglobal(L, "SeaBattleEnemy");
  EXPECT_FALSE(lua_isnil(L, -1));
  lua_pop(L, 1);
  ASSERT_TRUE(game->ExecuteFunctionArg("EndGame", ""));
  lua_getglobal(L, "SeaBattleEnemy");
  EXPECT_TRUE(lua_isnil(L, -1));
  lua_pop(L, 1);
  MusicManager::GetInstance()->ClearMusic();
  EXPECT_TRUE(game->ExecuteFunctionArg("StartDlc", ""));
  EXPECT_EQ(MusicManager::GetInstance()->GetPlaylist().size(), 2u);
}

// The script tick's decisions, with the two game functions it asks replaced: the
// player's entity is the test's ship, and teleport targets are written down.
class CampaignScriptTickTest : public CampaignDataTest {
 protected:
  void SetUp() override {
    CampaignDataTest::SetUp();
    if (HasFatalFailure()) return;
    L = Vision::GetScriptManager()->GetMasterState();
    ASSERT_EQ(RunLua("Targets = {} "
                     "GameManager.GetPlayerEntity = function() return TestPlayerShip end "
                     "GameManager.SetTeleportTarget = function(t) Targets[#Targets + 1] = t end"),
              "");
  }
  std::string RunLua(const char* code) {
    std::string error;
    if (luaL_loadstring(L, code) != 0 || lua_pcall(L, 0, 0, 0) != 0) error = lua_tostring(L, -1);
    lua_settop(L, 0);
    return error;
  }
  // The targets set since the last call, joined by blanks.
  std::string Think() {
    EXPECT_TRUE(game->ExecuteFunctionArg("OnThink", ""));
    EXPECT_EQ(RunLua("Seen = table.concat(Targets, ' ') Targets = {}"), "");
    lua_getglobal(L, "Seen");
    std::string seen = lua_tostring(L, -1) ? lua_tostring(L, -1) : "";
    lua_pop(L, 1);
    return seen;
  }
  ShipEntity* PlayerShip(const VisVector_cl& at) {
    ShipEntity* ship = ShipFactory::GetInstance()->CreateShip("PlayerShip", "scripts\\Ships\\TestSloop.lua", at,
                                                              VisVector_cl(0, 0, 0), 1, 0, true);
    LUA_PushObjectProxy(L, ship);
    lua_setglobal(L, "TestPlayerShip");
    return ship;
  }
  ShipEntity* LoadSeaBattle() {
    EXPECT_TRUE(Vision::LoadWorld("scenes\\seabattle01\\seabattle01.vscene"));
    GameManager::GetInstance()->SetLocation(2);
    return static_cast<ShipEntity*>(Vision::Game.SearchEntity("EnemyShip"));
  }

  lua_State* L = nullptr;
};

TEST_F(CampaignScriptTickTest, TheMarkedSpotStartsTheSeaBattleWhenTheShipSailsIntoIt) {
  ASSERT_TRUE(Vision::LoadWorld("scenes\\world01\\World.vscene"));
  GameManager::GetInstance()->SetLocation(0);
  ShipEntity* ship = PlayerShip(VisVector_cl(0, 0, 0));
  EXPECT_EQ(Think(), "");
  ship->SetPosition(VisVector_cl(0, 250, 0));
  EXPECT_EQ(Think(), "seabattle01-sea");
  EXPECT_EQ(Think(), "");  // still inside: once

  // The battle, won at once.
  ShipEntity* enemy = LoadSeaBattle();
  ASSERT_NE(enemy, nullptr);
  PlayerShip(VisVector_cl(-150, 0, 0));
  enemy->Components<ShipBattleComponent>()->StartSinking(1.0f, true);
  EXPECT_EQ(Think(), "world");

  // Back at the spot the battle started from: no new battle until the ship
  // leaves the spot and sails into it again.
  ASSERT_TRUE(Vision::LoadWorld("scenes\\world01\\World.vscene"));
  GameManager::GetInstance()->SetLocation(0);
  ship = PlayerShip(VisVector_cl(0, 250, 0));
  EXPECT_EQ(Think(), "");
  ship->SetPosition(VisVector_cl(0, 100, 0));
  EXPECT_EQ(Think(), "");
  ship->SetPosition(VisVector_cl(30, 220, 0));
  EXPECT_EQ(Think(), "seabattle01-sea");
}

TEST_F(CampaignScriptTickTest, TheSeaBattleEndsOnceWhenItsEnemyIsLeftBehindOrGone) {
  // Left behind: 600 and more away.
  ShipEntity* enemy = LoadSeaBattle();
  ASSERT_NE(enemy, nullptr);
  ShipEntity* ship = PlayerShip(VisVector_cl(-150, 0, 0));
  EXPECT_EQ(Think(), "");
  ship->SetPosition(VisVector_cl(-590, 0, 0));
  EXPECT_EQ(Think(), "");  // 550 away
  ship->SetPosition(VisVector_cl(-660, 0, 0));
  EXPECT_EQ(Think(), "world");
  EXPECT_EQ(Think(), "");  // the battle is over: once

  // Gone from the scene before the tick saw it sink.
  enemy = LoadSeaBattle();
  ASSERT_NE(enemy, nullptr);
  PlayerShip(VisVector_cl(-150, 0, 0));
  enemy->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(Think(), "world");
}

TEST_F(CampaignScriptTickTest, TheNewGamesOpeningConversationEndsAtTheNextTickAndALoadedGameStopsWaitingForIt) {
  ASSERT_TRUE(Vision::LoadWorld("scenes\\world01\\World.vscene"));
  GameManager::GetInstance()->SetLocation(0);
  SpeechManager* speech = SpeechManager::GetInstance();
  const auto talk = [speech] {
    speech->StartConversation(nullptr, VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0), false);
  };
  // The campaign's start ticks twice; the conversation begins after the cutscene.
  ASSERT_TRUE(game->ExecuteFunctionArg("StartGame", ""));
  Think();
  Think();
  talk();
  ASSERT_TRUE(speech->IsInConversation());
  Think();
  EXPECT_FALSE(speech->IsInConversation());
  // Only the opening one: a later conversation goes on.
  talk();
  Think();
  EXPECT_TRUE(speech->IsInConversation());
  speech->EndConversation();

  // A loaded game opens without one; a conversation a while later is left alone.
  ASSERT_TRUE(game->ExecuteFunctionArg("StartGame", ""));
  for (int i = 0; i < 60; ++i) Think();
  talk();
  Think();
  EXPECT_TRUE(speech->IsInConversation());
  SpeechManager::CleanInstance();
}

TEST_F(CampaignScriptTickTest, TheWreckTalkStartsOnceACampaignAndEndsAtOnceWithoutLinesOnScreen) {
  ASSERT_TRUE(Vision::LoadWorld("scenes\\world01\\World.vscene"));
  GameManager::GetInstance()->SetLocation(0);
  ASSERT_TRUE(game->ExecuteFunctionArg("StartGame", ""));
  MusicManager* music = MusicManager::GetInstance();
  music->PlayMenuMusic();
  ShipEntity* ship = PlayerShip(VisVector_cl(-300, -200, 0));  // 100 away
  Think();
  EXPECT_EQ(music->GetMusicType(), MusicManager::MUSIC_MENU);
  // Alongside: the conversation runs its course in the tick (no GUI shows its
  // lines) and gives the music back.
  ship->SetPosition(VisVector_cl(-280, -290, 0));
  Think();
  EXPECT_FALSE(SpeechManager::GetInstance()->IsInConversation());
  EXPECT_EQ(music->GetMusicType(), MusicManager::MUSIC_PLAYLIST);
  music->PlayMenuMusic();
  Think();
  EXPECT_EQ(music->GetMusicType(), MusicManager::MUSIC_MENU);
  // A new campaign hears it again.
  ASSERT_TRUE(game->ExecuteFunctionArg("StartGame", ""));
  Think();
  EXPECT_EQ(music->GetMusicType(), MusicManager::MUSIC_PLAYLIST);
  SpeechManager::CleanInstance();
}

TEST_F(CampaignDataTest, TheStrongholdsBuildingsStandWithTheirRolesAndTexts) {
  ASSERT_TRUE(Vision::LoadWorld("scenes\\stronghold_pirate\\stronghold_pirate.vscene"));
  struct Case {
    const char* key;
    WINDOW_TYPES type;
    const char* name;
  };
  for (const Case c : {Case{"Tavern", WT_TAVERN, "Tavern"}, Case{"Barracks", WT_BASIC_UNIT_BUILDING, "Barracks"},
                       Case{"ShipyardPlot", WT_SHIPYARD, "Shipyard"}}) {
    SCOPED_TRACE(c.key);
    auto* building = static_cast<BuildingBaseEntity*>(Vision::Game.SearchEntity(c.key));
    ASSERT_NE(building, nullptr);
    ASSERT_TRUE(building->IsOfType(BuildingBaseEntity::GetClassTypeId()));
    auto* special = building->Components<SpecialBuildingComponent>();
    ASSERT_NE(special, nullptr);
    EXPECT_EQ(special->GetWindowType(), c.type);
    VString name, provides;
    int price = 0;
    ASSERT_TRUE(building->GetScriptValue("sName", name));
    EXPECT_EQ(CeguiCompat::ToUtf8(LocalizationTable::GetInstance()->GetText(name.AsChar())), c.name);
    ASSERT_TRUE(building->GetScriptValue("sProvides", provides));
    EXPECT_NE(CeguiCompat::ToUtf8(LocalizationTable::GetInstance()->GetText(provides.AsChar())), provides.AsChar());
    EXPECT_TRUE(building->GetScriptValue("iPrice", price));
    EXPECT_GT(price, 0);
  }
  // The plot: stage models "_2", "_4" and "_5" beside its construction site.
  auto* plot = Vision::Game.SearchEntity("ShipyardPlot")->Components<BuildableBuildingComponent>();
  ASSERT_NE(plot, nullptr);
  EXPECT_EQ(plot->GetStageCount(), 3);
  EXPECT_STREQ(plot->GetFinalModelFile().AsChar(), "models\\buildings\\shipyard.model");
  for (const char* key : {"str_CONSTRUCT_BUILDING_DESC", "str_TUTORIAL_UNIT_BUILDING_PART1", "str_TRADING_POST",
                          "str_BASIC_UNIT_BUILDING", "str_ADVANCED_UNIT_BUILDING", "str_SPECIAL_UNIT_BUILDING",
                          "str_TAVERN", "str_SHIPYARD"})
    EXPECT_NE(CeguiCompat::ToUtf8(LocalizationTable::GetInstance()->GetText(key)), key);
  // A building without a script of its own takes the empty one.
  auto* plain = static_cast<BuildingBaseEntity*>(Vision::Game.CreateEntity("BuildingBaseEntity", VisVector_cl(0, 0, 0)));
  EXPECT_STREQ(plain->GetBuildingScript().AsChar(), "scripts/buildings/empty_building.lua");
  EXPECT_NE(Vision::GetScriptManager()->GetScriptInstance(plain), nullptr);
  for (const char* file : {"Particles\\building_construction.xml", "Sounds\\FX\\fx_harpoon_hit.wav"})
    EXPECT_TRUE(Vision::File.Exists(file)) << file;
}

// The stronghold's storehouses burn down into barrels of coins; the gate the gate
// cannon breaks is a building of thick timber without loot.
TEST_F(CampaignDataTest, TheStrongholdsStorehousesHoldBarrelsAndItsGateFallsToAHeavyHit) {
  ASSERT_TRUE(Vision::LoadWorld("scenes\\stronghold_pirate\\stronghold_pirate.vscene"));
  auto building = [](const char* key) {
    VisBaseEntity_cl* e = Vision::Game.SearchEntity(key);
    return e && e->IsOfType(BuildingBaseEntity::GetClassTypeId()) ? static_cast<BuildingBaseEntity*>(e) : nullptr;
  };
  for (const char* key : {"Storehouse", "Warehouse"}) {
    SCOPED_TRACE(key);
    BuildingBaseEntity* house = building(key);
    ASSERT_NE(house, nullptr);
    EXPECT_TRUE(house->IsAlive());
    StorageComponentProto* storage = house->Components<StorageComponentProto>();
    ASSERT_NE(storage, nullptr);
    ASSERT_EQ(storage->GetCollectableCount(), 1u);
    EXPECT_TRUE(FileExists(storage->GetCollectable(0)->m_sCollectableScriptFile));
  }
  BuildingBaseEntity* gate = building("GateDestroyable");
  ASSERT_NE(gate, nullptr);
  DestructableBuildingComponent* timber = gate->Components<DestructableBuildingComponent>();
  ASSERT_NE(timber, nullptr);
  EXPECT_EQ(gate->Components<StorageComponentProto>(), nullptr);
  EXPECT_EQ(timber->GetArmorValue(), 10);
  gate->SendMsg(201, 5000);
  EXPECT_FALSE(gate->IsAlive());
  EXPECT_EQ(gate->GetVisibleBitmask(), 0u);

  BuildingBaseEntity* store = building("Storehouse");
  store->Components<DestructableBuildingComponent>()->SetHitPoints(0);
  VisEntityCollection_cl dropped;
  Vision::Game.SearchEntity("Collectable_dropped_by_ship", dropped);
  ASSERT_EQ(dropped.GetNumEntries(), 1);
  ASSERT_TRUE(dropped[0]->IsOfType(CollectableEntity::GetClassTypeId()));
  EXPECT_NE(Vision::GetScriptManager()->GetScriptInstance(dropped[0]), nullptr) << "the barrel's script runs";

  // Kept in its town stream, the stronghold comes back as it was left: every building
  // of the scene, the fallen ones fallen.
  auto buildings = [] {
    int n = 0;
    for (VisBaseEntity_cl* e : Vision::Game.GetEntities())
      n += e && !e->IsMarkedRemoved() && e->IsOfType(BuildingBaseEntity::GetClassTypeId());
    return n;
  };
  const int standing = buildings();
  building("Warehouse")->SendMsg(201, 30);
  const int warehouse = building("Warehouse")->Components<DestructableBuildingComponent>()->GetHitPoints();
  TownManager* towns = TownManager::GetInstance();
  towns->SaveState("stronghold_pirate");
  ASSERT_TRUE(Vision::LoadWorld("scenes\\stronghold_pirate\\stronghold_pirate.vscene"));
  LogCapture log;
  towns->LoadState("stronghold_pirate");
  EXPECT_FALSE(log.Contains("TownManager::LoadState"));
  EXPECT_EQ(buildings(), standing);
  ASSERT_NE(building("GateDestroyable"), nullptr);
  EXPECT_FALSE(building("GateDestroyable")->IsAlive());
  EXPECT_FALSE(building("Storehouse")->IsAlive());
  EXPECT_EQ(building("Warehouse")->Components<DestructableBuildingComponent>()->GetHitPoints(), warehouse);
  EXPECT_EQ(building("Warehouse")->Components<StorageComponentProto>()->GetCollectableCount(), 1u);
  TownManager::CleanInstance();
  AchievementManager::CleanInstance();
}

}  // namespace
