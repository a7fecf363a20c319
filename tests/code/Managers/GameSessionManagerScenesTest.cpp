// Scene changes: the logged steps of LoadScene per location and its common tail,
// the loading screen it picks, a town scene without an escape area, the teardown
// of ExitScene per location, the sea scene's path and the ships it places.
#include "Managers/AchievementManager.h"
#include "Managers/BattleManager.h"
#include "Managers/GameContentManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SeaScenePath.h"
#include "Managers/SettingsManager.h"
#include "Managers/TownManager.h"
#include "components/ShipMovementComponent.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "core/VisMainApp.h"
#include "entities/Nation.h"
#include "entities/PlayerStats.h"
#include "entities/ShipStats.h"
#include "entities/UnitEntity.h"
#include "entities/UnitEntityTemplate.h"
#include "gui/FrameLoadingScreen.h"
#include "gui/FrameLowHPOverlay.h"
#include "support/ScopedEnv.h"
#include "support/ShipTestWorld.h"

#include "code/gui/GuiFrameTesting.h"

#include "engine/Vision.h"
#include "engine/core/VisWorld.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char kPrefix[] = "GameSessionManager::LoadScene() ";

// Settings are saved by every load: into a scratch documents folder.
class ScratchDocuments {
 public:
  ScratchDocuments()
      : m_dir(fs::temp_directory_path() / ("brinemark_scenes_" + std::to_string(getpid()))),
        m_env("ENGINE_DOCUMENTS_DIR", (fs::create_directories(m_dir), m_dir.c_str())) {}
  ~ScratchDocuments() { fs::remove_all(m_dir); }

 private:
  fs::path m_dir;
  ScopedEnv m_env;
};

// Small scenes in a scratch data folder. Each test loads its scene itself first, so
// that its marks stand whether or not the scene change reloads the file.
class ScratchScenes {
 public:
  ScratchScenes() : m_dir(fs::temp_directory_path() / ("brinemark_scene_files_" + std::to_string(getpid()))) {
    fs::create_directories(m_dir / "scenes" / "scenetest");
    Write("Town.vscene", "<entity key=\"EscapeArea\" position=\"10/20/0\"/>");
    Write("Marked.vscene", "<entity key=\"PlayerCharacter\" position=\"5/6/0\"/>");
    Write("Bare.vscene", "");
    Write("Sea.vscene", "<entity key=\"StartPoint\" position=\"100/50/0\" orientation=\"270/0/0\"/>");
    Vision::File.AddDataDirectory(m_dir.c_str());
    Vision::File.ClearCache();
  }
  ~ScratchScenes() { fs::remove_all(m_dir); }
  // Loads the scene into the world; its name as the scene changes take it.
  static const char* Load(const char* file) {
    VSceneLoader loader;
    EXPECT_TRUE(loader.LoadScene(file)) << loader.GetLastError();
    return file;
  }

 private:
  // Flat ground at height 2 under every scene.
  void Write(const char* name, const std::string& entities) {
    std::ofstream(m_dir / "scenes" / "scenetest" / name)
        << "<scene>\n  <terrain height=\"2\"/>\n  " << entities << "\n</scene>\n";
  }
  fs::path m_dir;
};

const char kTown[] = "scenes\\scenetest\\Town.vscene";
const char kMarked[] = "scenes\\scenetest\\Marked.vscene";
const char kBare[] = "scenes\\scenetest\\Bare.vscene";
const char kSea[] = "scenes\\scenetest\\Sea.vscene";

void CleanSceneManagers() {
  GameSessionManager::CleanInstance();
  TownManager::CleanInstance();
  // Entering a colony unlocks its achievement.
  AchievementManager::CleanInstance();
  BattleManager::CleanInstance();
  GameContentManager::CleanInstance();
  SaveGameManagerProto::CleanInstance();
  SettingsManager::CleanInstance();
  VisMainApp::CleanInstance();
  ShipFactory::CleanInstance();
}

class SceneChangeTest : public GuiFrameTest {
 protected:
  void SetUp() override {
    GuiFrameTest::SetUp();
    scenes = std::make_unique<ScratchScenes>();
    GameManager* game = GameManager::GetInstance();
    game->ResetNations();
    game->AddNation(new Nation(0, "None"));
    game->AddNation(new Nation(1, "Player"));
    RtsManager::GlobalManager().OneTimeInit();
    session = GameSessionManager::GetInstance();
  }
  void TearDown() override {
    RtsManager::GlobalManager().OneTimeDeInit();
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    Vision::World.ClearTerrain();
    CleanSceneManagers();
    GUIManager::CleanInstance();
    GameManager::CleanInstance();
    GuiFrameTest::TearDown();
    scenes.reset();
  }
  // The steps LoadScene logged, without the common prefix.
  std::vector<std::string> Steps() const {
    std::vector<std::string> steps;
    for (const std::string& line : log.Matching(kPrefix)) steps.push_back(line.substr(line.find(kPrefix) + sizeof(kPrefix) - 1));
    return steps;
  }
  // The index of the first log line holding the text; -1 when none does.
  int LineOf(const std::string& text) const {
    const std::vector<std::string>& lines = log.Lines();
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i].find(text) != std::string::npos) return (int)i;
    return -1;
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) env.Frame();
  }

  ScratchDocuments documents;
  std::unique_ptr<ScratchScenes> scenes;
  GameSessionManager* session = nullptr;
};

const std::vector<std::string> kTail = {"Apply Settings", "Initialize Content Manager", "Enter Scene", "Render Frame",
                                        "Done."};

std::vector<std::string> WithTail(std::vector<std::string> steps) {
  steps.insert(steps.end(), kTail.begin(), kTail.end());
  return steps;
}

TEST_F(SceneChangeTest, EachLocationLogsItsStepsInOrderShowsItsHudAndHidesTheLoadingScreen) {
  struct Case {
    int location;
    const char* scene;
    std::vector<std::string> steps;
    WINDOW_TYPES hud;
  };
  const Case cases[] = {
      {0, kTown,
       WithTail({"Begin", "Location World", "Show Hud", "Init World", "Load State", "Post Init", "Spawn Ships",
                 "Init Camera"}),
       WT_BATTLE_HUD},
      {1, kTown,
       WithTail({"Begin", "Location Land", "Init Town", "Spawn Random Collectables", "Show Hud"}), WT_LAND_BATTLE_HUD},
      {2, kTown, WithTail({"Begin", "Location Sea", "Show Hud", "Init World", "Post Init", "Spawn Ship", "Init Camera"}),
       WT_BATTLE_HUD},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.location);
    ScratchScenes::Load(c.scene);
    GameManager::GetInstance()->SetTeleportTarget("elsewhere");
    log.Clear();
    session->LoadScene(c.scene, c.location, 0, "harbour", 2, true);
    EXPECT_EQ(Steps(), c.steps);
    EXPECT_EQ(GameManager::GetInstance()->GetLocation(), c.location);
    EXPECT_STREQ(GameManager::GetInstance()->GetCurrentTeleportTarget().AsChar(), "");
    EXPECT_STREQ(session->GetLastLoadedSceneName().AsChar(), c.scene);
    ASSERT_NE(gui->GetCurrentFrame(), nullptr);
    EXPECT_EQ(gui->GetCurrentFrame()->GetWindowType(), c.hud);
    // Only the world map asks for the automatic save.
    EXPECT_EQ(SaveGameManagerProto::GetInstance()->IsAutoSaveRequested(), c.location == 0);
    SaveGameManagerProto::GetInstance()->RequestAutoSave(false);
    // Held for a second, then faded out.
    EXPECT_TRUE(gui->IsLoadingScreenVisible());
    Frames(20);
    EXPECT_FALSE(gui->IsLoadingScreenVisible());
    session->ExitScene();
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
  }
  ExpectNoCeguiFailure();
}

TEST_F(SceneChangeTest, AStrongholdOfTheFourTypesGetsItsOwnLoadingScreenTheRestARandomOne) {
  struct Case {
    int location;
    int sceneType;
    const char* name;
    const char* picture;  // null: one of the random pictures
  };
  const Case cases[] = {
      // The picture follows the scene type, not the word in the name.
      {1, 2, "stronghold_corsair", "loadscreen_pirate.dds"},
      {1, 3, "stronghold_pirate", "loadscreen_corsair.dds"},
      {1, 4, "buccaneer_stronghold", "loadscreen_buccaneer.dds"},
      {1, 5, "stronghold_pirate_cave", "loadscreen_brinemark.dds"},
      {1, 6, "stronghold_pirate", nullptr},
      {1, 2, "pirate_cove", nullptr},
      {1, 2, "stronghold_of_nobody", nullptr},
      {0, 2, "stronghold_pirate", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name + std::string(" ") + std::to_string(c.sceneType));
    session->LoadScene(ScratchScenes::Load(kTown), c.location, c.sceneType, c.name, 0, false);
    ASSERT_NE(gui->GetLoadingScreen(), nullptr);
    const std::string picture = gui->GetLoadingScreen()->GetPictureFile();
    if (c.picture) {
      EXPECT_EQ(picture, std::string("..\\..\\..\\data\\gui\\textures\\") + c.picture);
    } else {
      EXPECT_TRUE(picture.find("\\loadingscreen.dds") != std::string::npos ||
                  picture.find("\\loadscreen_0") != std::string::npos)
          << picture;
    }
    session->ExitScene();
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
  }
}

TEST_F(SceneChangeTest, ATownWithoutEscapeAreaWarnsAndStillFinishesTheLoad) {
  struct Case {
    bool mark;
    VisVector_cl start;
  };
  // Flat ground at 2: the hero stands half a unit above it.
  for (const Case& c : {Case{true, VisVector_cl(5, 6, 2.5f)}, Case{false, VisVector_cl(0, 0, 2.5f)}}) {
    SCOPED_TRACE(c.mark);
    const char* scene = ScratchScenes::Load(c.mark ? kMarked : kBare);
    UnitEntityTemplate* hero = session->GetPlayer()->GetCharacterTemplate();
    ASSERT_NE(hero, nullptr);
    const VisVector_cl untouched(-999, -999, -999);
    hero->m_vPosition = untouched;
    log.Clear();
    session->LoadScene(scene, 1, 0, "noexit", 0, false);

    const int first = LineOf("Escape area not found!");
    ASSERT_GE(first, 0);
    EXPECT_EQ(LineOf("Could not find escape area entity from town scene."), first + 1);
    EXPECT_EQ(LineOf("Please add one and name it EscapeArea :)"), first + 2);
    // The rest of the load ran: every step, the land HUD, the loading screen going.
    EXPECT_EQ(Steps(), WithTail({"Begin", "Location Land", "Init Town", "Spawn Random Collectables", "Show Hud"}));
    ASSERT_NE(gui->GetCurrentFrame(), nullptr);
    EXPECT_EQ(gui->GetCurrentFrame()->GetWindowType(), WT_LAND_BATTLE_HUD);
    Frames(20);
    EXPECT_FALSE(gui->IsLoadingScreenVisible());
    // The mark makes way for the hero.
    if (c.mark) {
      VisBaseEntity_cl* found = Vision::Game.SearchEntity("PlayerCharacter");
      EXPECT_TRUE(found == nullptr || found->GetPosition().IsEqual(c.start, 1e-3f));
    }
    // Where the hero's record is given the spawn position, it is the start.
    if (!hero->m_vPosition.IsEqual(untouched, 1e-3f)) {
      EXPECT_TRUE(hero->m_vPosition.IsEqual(c.start, 1e-3f));
    }
    session->ExitScene();
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
  }
}

TEST_F(SceneChangeTest, ExitSceneClosesTheHudOfTheLocationAndLeavesTheLandBattleOnlyOnLand) {
  for (int location : {0, 1, 2}) {
    SCOPED_TRACE(location);
    session->LoadScene(ScratchScenes::Load(kTown), location, 0, "harbour", 0, false);
    const WINDOW_TYPES hud = location == 1 ? WT_LAND_BATTLE_HUD : WT_BATTLE_HUD;
    ASSERT_TRUE(gui->IsWindowVisible(hud));
    Player* player = RtsManager::GlobalManager().GetPlayer();
    // On land the hero the scene spawned is already one of the player's units.
    const int spawned = player->GetPlayerUnitCount();
    Vision::Game.CreateEntity("UnitEntity", VisVector_cl(3, 0, 0), nullptr, "m_iNation=\"1\",m_iNumSoldiers=\"1\"");
    ASSERT_EQ(player->GetPlayerUnitCount(), spawned + 1);
    gui->ShowLowHPOverlay();

    session->ExitScene();
    EXPECT_FALSE(gui->IsWindowVisible(hud));
    EXPECT_FALSE(gui->GetLowHPOverlay()->IsVisible());
    // The battle's camera entity goes with the battle.
    EXPECT_EQ(Vision::Game.SearchEntity("CameraEntity"), nullptr);
    EXPECT_EQ(player->GetPlayerUnitCount(), location == 1 ? 0 : spawned + 1);
    // The location stays that of the scene left.
    EXPECT_EQ(GameManager::GetInstance()->GetLocation(), location);
    Frames(2);
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    player->CleanUp();
  }
}

TEST(SeaScenePathTest, AFolderNameNamesTheSceneFileInsideItAndAFileStays) {
  EXPECT_STREQ(SeaScenePath("17").AsChar(), "..\\..\\..\\data\\scenes\\17\\17.vscene");
  EXPECT_STREQ(SeaScenePath("SeaTest.vscene").AsChar(), "SeaTest.vscene");
  EXPECT_STREQ(SeaScenePath("scenes\\17\\17.vscene").AsChar(), "scenes\\17\\17.vscene");
}

// Ships made by the scene changes, from records, with the test sloop.
class SceneShipsTest : public ShipTestWorld {
 protected:
  void SetUp() override {
    ShipTestWorld::SetUp();
    scenes = std::make_unique<ScratchScenes>();
    session = GameSessionManager::GetInstance();
  }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    CleanSceneManagers();
    GUIManager::CleanInstance();
    ShipTestWorld::TearDown();
    scenes.reset();
  }
  ShipStats* Record(const char* name, int nation, bool sailed, const char* location) {
    auto* record = new ShipStats();
    record->SetShipName(name);
    record->SetScript(kSloopScript);
    record->SetShipNation(nation);
    record->SetPlayerShip(sailed);
    record->SetLocation(location);
    record->SetSavedPosition(VisVector_cl(-50, -60, 0));
    record->SetSavedOrientation(VisVector_cl(15, 0, 0));
    return record;
  }
  ShipEntity* Ship(const char* name) const { return dynamic_cast<ShipEntity*>(Vision::Game.SearchEntity(name)); }

  ScratchDocuments documents;
  std::unique_ptr<ScratchScenes> scenes;
  GameSessionManager* session = nullptr;
};

TEST_F(SceneShipsTest, AtTheStartPointThePlayersShipsStandTenApartTurnedAQuarterWithAWrappedTarget) {
  PlayerStats* player = session->GetPlayer();
  // The third has no unique id yet: its new ship adds a record to the list being walked.
  std::vector<ShipStats*> sailed;
  for (const char* name : {"First", "Second", "Third"}) {
    sailed.push_back(Record(name, 1, true, ""));
    player->AddPlayerShip(sailed.back());
  }
  sailed[0]->SetUniqueID(9001);
  sailed[1]->SetUniqueID(9002);
  ShipStats* waiting = Record("Waiting", 1, false, "");
  player->AddPlayerShip(waiting);

  session->LoadScene(ScratchScenes::Load(kSea), 2, 0, "17-sea", 0, false);

  float x = 100.0f;
  for (ShipStats* record : sailed) {
    const char* name = record->GetShipName().AsChar();
    SCOPED_TRACE(name);
    VisEntityCollection_cl found;
    EXPECT_EQ(Vision::Game.SearchEntity(name, found), 1);
    ShipEntity* ship = Ship(name);
    ASSERT_NE(ship, nullptr);
    EXPECT_TRUE(ship->GetPosition().IsEqual(VisVector_cl(x, 50, 0), 1e-3f));
    x += 10.0f;
    auto* movement = ship->Components<ShipMovementComponent>();
    ASSERT_NE(movement, nullptr);
    EXPECT_FLOAT_EQ(movement->GetCurrentHeading(), 360.0f);
    EXPECT_FLOAT_EQ(movement->GetTargetHeading(), 0.0f);
    // The record keeps where it was; it is at sea now.
    EXPECT_TRUE(record->GetSavedPosition().IsEqual(VisVector_cl(-50, -60, 0), 1e-5f));
    EXPECT_FLOAT_EQ(record->GetSavedOrientation().x, 15.0f);
    EXPECT_STREQ(record->GetLocation().AsChar(), "");
  }
  // A ship the player does not sail stays behind in the stronghold.
  EXPECT_EQ(Ship("Waiting"), nullptr);
  EXPECT_STREQ(waiting->GetLocation().AsChar(), "stronghold_pirate");
}

TEST_F(SceneShipsTest, SpawnShipsLeavesThePlayersShipsThatLieInATownAndMakesEachShipOnce) {
  // Without unique ids the campaign gives each new ship a record of its own, into
  // the lists being walked; each record still makes one ship.
  std::set<ShipStats*> records = {Record("Moored", 1, false, "Tortuga"), Record("Sailed", 1, true, "Tortuga"),
                                  Record("Trader", 0, false, "Tortuga"), Record("Raider", 2, false, "")};
  session->SpawnShips(records);
  EXPECT_EQ(Ship("Moored"), nullptr);
  for (ShipStats* record : records) {
    SCOPED_TRACE(record->GetShipName().AsChar());
    const bool moored = record->GetShipName() == "Moored";
    EXPECT_STREQ(record->GetLocation().AsChar(), moored ? "Tortuga" : "");
    VisEntityCollection_cl found;
    EXPECT_EQ(Vision::Game.SearchEntity(record->GetShipName().AsChar(), found), moored ? 0 : 1);
    if (!moored) {
      ASSERT_NE(Ship(record->GetShipName().AsChar()), nullptr);
      EXPECT_TRUE(Ship(record->GetShipName().AsChar())->GetPosition().IsEqual(VisVector_cl(-50, -60, 0), 1e-3f));
    }
  }
  // The ships keep pointers to the records: they go first.
  Vision::Game.RemoveAllEntities();
  Vision::Game.FreeRemovedEntities();
  for (ShipStats* record : records) delete record;
}

}  // namespace
