// Start and stop of the game plug-in over the partial managers.
#include "core/Tidework.h"

#include "Factories/ShipFactory.h"
#include "Managers/AchievementManager.h"
#include "Managers/FogOfWarManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/JokeManager.h"
#include "Managers/LocalizationTable.h"
#include "Managers/MusicManager.h"
#include "Managers/NoiseManagerProto.h"
#include "Managers/RadarManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SettingsManager.h"
#include "Managers/SoundManager.h"
#include "Managers/TownManager.h"
#include "Managers/VolumetricFogManager.h"
#include "Managers/WildLifeManager.h"
#include "Missions/MissionManager.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "core/VModelScheduler.h"
#include "entities/Nation.h"
#include "support/LogCapture.h"
#include "support/ScopedEnv.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {
class TideworkPluginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "plugin-docs-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    documents = pattern;
    docsEnv = std::make_unique<ScopedEnv>("ENGINE_DOCUMENTS_DIR", documents.c_str());
    plugin = GetEnginePlugin_Tidework();
  }
  void TearDown() override {
    plugin->OnPluginStop();
    fs::remove_all(documents);
  }

  // Every singleton the stop deletes, each with its existence test.
  static std::vector<std::pair<const char*, bool (*)()>> StopDeletes() {
    return {{"AchievementManager", AchievementManager::HasInstance},
            {"SaveGameManagerProto", SaveGameManagerProto::HasInstance},
            {"WildLifeManager", WildLifeManager::HasInstance},
            {"GameManager", GameManager::HasInstance},
            {"SoundManager", SoundManager::HasInstance},
            {"MusicManager", MusicManager::HasInstance},
            {"ShipFactory", ShipFactory::HasInstance},
            {"TownManager", TownManager::HasInstance},
            {"NoiseManagerProto", NoiseManagerProto::HasInstance},
            {"VolumetricFogManager", VolumetricFogManager::HasInstance},
            {"GameSessionManager", GameSessionManager::HasInstance},
            {"RadarManager", RadarManager::HasInstance},
            {"FogOfWarManager", FogOfWarManager::HasInstance},
            {"LocalizationTable", LocalizationTable::HasInstance},
            {"SettingsManager", SettingsManager::HasInstance}};
  }
  void ExpectAllStopped() {
    for (const auto& [name, exists] : StopDeletes()) EXPECT_FALSE(exists()) << name;
    EXPECT_FALSE(Vision::IsModuleRegistered(&Tidework_cl::GetModule()));
    EXPECT_FALSE(Vision::Callbacks.OnFrameUpdatePreRender.IsRegistered(&VModelScheduler::GlobalManager()));
    EXPECT_FALSE(Vision::Callbacks.OnUpdateSceneBegin.IsRegistered(&MissionManager::GlobalManager()));
    EXPECT_FALSE(Vision::Callbacks.OnWorldDeInit.IsRegistered(&MissionManager::GlobalManager()));
    EXPECT_FALSE(GameManager::Callbacks.OnEntityDestroyed.IsRegistered(&RtsManager::GlobalManager()));
    EXPECT_EQ(Vision::Callbacks.OnEngineDeInit.GetCallbackCount(), engineDeInitHandlers);
  }

  std::string documents;
  std::unique_ptr<ScopedEnv> docsEnv;
  IVisPlugin_cl* plugin = nullptr;
  int engineDeInitHandlers = Vision::Callbacks.OnEngineDeInit.GetCallbackCount();
};

TEST_F(TideworkPluginTest, StartUsesAnExistingGameManagerAndCreatesTheEarlyManagers) {
  GameManager* existing = GameManager::GetInstance();
  existing->SetLocation(2);
  Vision::Actions.SetConsoleManagerEnabled(true);

  plugin->OnPluginStart();
  EXPECT_STREQ(plugin->GetPluginName(), "Tidework");
  EXPECT_EQ(GameManager::GetInstance(), existing);
  EXPECT_EQ(existing->GetLocation(), 2);
  EXPECT_FALSE(Vision::Actions.IsConsoleManagerEnabled());
  EXPECT_TRUE(Vision::IsModuleRegistered(&Tidework_cl::GetModule()));
  EXPECT_EQ(Tidework_cl::GetModule().m_iVersion, 0x01000100u);
  EXPECT_STREQ(Tidework_cl::GetModule().m_szVendor, "Fenwold");
  EXPECT_TRUE(Vision::Callbacks.OnUpdateSceneBegin.IsRegistered(&MissionManager::GlobalManager()));
  EXPECT_TRUE(Vision::Callbacks.OnWorldDeInit.IsRegistered(&MissionManager::GlobalManager()));
  EXPECT_TRUE(GameManager::Callbacks.OnEntityDestroyed.IsRegistered(&RtsManager::GlobalManager()));
  EXPECT_TRUE(RadarManager::HasInstance());
  EXPECT_TRUE(JokeManager::HasInstance());
  EXPECT_TRUE(AchievementManager::HasInstance());
  ASSERT_TRUE(WildLifeManager::HasInstance());
  EXPECT_TRUE(Vision::Callbacks.OnEngineDeInit.IsRegistered(WildLifeManager::GetInstance()));

  plugin->OnPluginStop();
  ExpectAllStopped();
  // JokeManager belongs to the application's quit and de-init paths.
  EXPECT_TRUE(JokeManager::HasInstance());
  JokeManager::CleanInstance();
}

TEST_F(TideworkPluginTest, StopSkipsWhatTheDeInitDeletedAndCanRunTwice) {
  plugin->OnPluginStart();
  for (auto* create : {+[] { ShipFactory::GetInstance(); }, +[] { GameSessionManager::GetInstance(); },
                       +[] { FogOfWarManager::GetInstance(); }, +[] { SoundManager::GetInstance(); },
                       +[] { MusicManager::GetInstance(); }, +[] { TownManager::GetInstance(); },
                       +[] { SaveGameManagerProto::GetInstance(); }, +[] { LocalizationTable::GetInstance(); }})
    create();
  // What the application's de-init has already deleted.
  ShipFactory::CleanInstance();
  GameSessionManager::CleanInstance();
  FogOfWarManager::CleanInstance();
  SoundManager::CleanInstance();
  MusicManager::CleanInstance();

  plugin->OnPluginStop();
  ExpectAllStopped();
  plugin->OnPluginStop();
  ExpectAllStopped();
  JokeManager::CleanInstance();
}

TEST_F(TideworkPluginTest, TheEnginesPluginManagerLoadsStartsAndStopsIt) {
  // The game lives in the program folder; the test program does not.
  Vision::Plugins.SetPluginDirectory(BRINEMARK_PROGRAM_DIR);
  ASSERT_TRUE(Vision::Plugins.LoadEnginePlugin("Tidework")) << Vision::Plugins.GetLastError();
  EXPECT_TRUE(Vision::IsModuleRegistered(&Tidework_cl::GetModule()));
  EXPECT_TRUE(GameManager::HasInstance());
  Vision::Plugins.UnloadAllEnginePlugins();
  Vision::Plugins.SetPluginDirectory(nullptr);
  ExpectAllStopped();
  JokeManager::CleanInstance();
}
}  // namespace

// The game script's first run, inside the start ---------------------------------------

namespace {
std::vector<std::string> g_probes;

// What the start has done so far, as the game script sees it.
std::string StartSnapshot() {
  GameManager* game = GameManager::GetInstance();
  std::string s;
  auto add = [&s](bool on, const char* name) {
    if (on) s += s.empty() ? name : std::string(" ") + name;
  };
  add(Vision::IsModuleRegistered(&Tidework_cl::GetModule()), "module");
  add(Vision::Callbacks.OnFrameUpdatePreRender.IsRegistered(&VModelScheduler::GlobalManager()), "scheduler");
  add(RtsManager::GlobalManager().GetPlayer() != nullptr, "player");
  add(Vision::Callbacks.OnUpdateSceneBegin.IsRegistered(game), "game");
  add(game->GetMouseInputHandler() != nullptr, "mouse");
  add(game->GetNavigation() != nullptr, "navigation");
  add(Vision::Callbacks.OnUpdateSceneBegin.IsRegistered(&MissionManager::GlobalManager()), "missions");
  add(RadarManager::HasInstance(), "radar");
  add(WildLifeManager::HasInstance(), "wildlife");
  add(JokeManager::HasInstance(), "jokes");
  add(AchievementManager::HasInstance(), "achievements");
  return s;
}

int Probe(lua_State* L) {
  g_probes.push_back(std::string(luaL_checkstring(L, 1)) + ": " + StartSnapshot());
  return 0;
}

const char* const kTestGameScript = R"(
function InitNations()
  Probe("InitNations")
  GameManager.AddNation(0, "Neutral", 0)
  GameManager.AddNation(1, "Player", 1)
  GameManager.AddNation(2, "Pirate", 2)
end
function InitWeapons()
  Probe("InitWeapons")
  GameManager.AddWeapon(7, "Hook", true, false, "", 1.5, "", 0, "", 0, 0)
end
ticks = 0
function OnThink() ticks = ticks + 1 end
)";

class GameScriptStartTest : public TideworkPluginTest {
 protected:
  void SetUp() override {
    TideworkPluginTest::SetUp();
    for (void (*clean)() : {&RadarManager::CleanInstance, &WildLifeManager::CleanInstance,
                            &JokeManager::CleanInstance, &AchievementManager::CleanInstance, &GameManager::CleanInstance})
      clean();
    Vision::GetScriptManager()->SetGameScript(nullptr);
    lua_register(Vision::GetScriptManager()->GetMasterState(), "Probe", &Probe);
    g_probes.clear();
    std::string pattern = (fs::temp_directory_path() / "gamescript-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dataDir = pattern;
  }
  void TearDown() override {
    TideworkPluginTest::TearDown();
    JokeManager::CleanInstance();
    Vision::GetScriptManager()->SetGameScript(nullptr);
    Vision::GetScriptManager()->SetSuspended(false);
    Vision::File.RemoveAllDataDirectories();
    fs::remove_all(dataDir);
  }
  void UseTestScript() {
    fs::create_directories(fs::path(dataDir) / "Scripts");
    std::ofstream(fs::path(dataDir) / "Scripts" / "gamescript.lua") << kTestGameScript;
    ASSERT_TRUE(Vision::File.AddDataDirectory(dataDir.c_str()));
  }
  void Think() {
    IVisCallbackDataObject_cl tick(&Vision::Callbacks.OnScriptThink);
    Vision::Callbacks.OnScriptThink.TriggerCallbacks(&tick);
  }
  int Ticks() {
    int ticks = -1;
    Vision::GetScriptManager()->GetGameScript()->GetGlobal("ticks", ticks);
    return ticks;
  }

  std::string dataDir;
};

TEST_F(GameScriptStartTest, TheGameScriptRunsInsideTheStartInItsPlace) {
  UseTestScript();
  plugin->OnPluginStart();
  // Steps 1 to 6 and the first steps of the game's own start are done; the
  // managers of steps 8 to 12 do not exist yet.
  const std::string before = "module scheduler player game mouse";
  EXPECT_EQ(g_probes, (std::vector<std::string>{"InitNations: " + before, "InitWeapons: " + before}));
  EXPECT_EQ(StartSnapshot(), before + " navigation missions radar wildlife jokes achievements");

  GameManager* game = GameManager::GetInstance();
  EXPECT_EQ(game->GetNationCount(), 3u);
  EXPECT_EQ(game->GetPlayerNation()->GetName(), "Player");
  EXPECT_EQ(game->GetWeapon(7).m_sName, "Hook");
  EXPECT_FLOAT_EQ(game->GetWeapon(7).m_fCoolDown, 1.5f);
}

TEST_F(GameScriptStartTest, OnThinkRunsOnEveryScriptTickUnlessScriptsAreSuspended) {
  UseTestScript();
  plugin->OnPluginStart();
  Think();
  Think();
  EXPECT_EQ(Ticks(), 2);
  Vision::GetScriptManager()->SetSuspended(true);
  Think();
  EXPECT_EQ(Ticks(), 2);
}

TEST_F(GameScriptStartTest, TheBundledGameScriptDefinesASmallWorld) {
  ASSERT_TRUE(Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data"));
  LogCapture log;
  plugin->OnPluginStart();
  EXPECT_FALSE(log.Contains("Lua error")) << log.Matching("Lua")[0];
  GameManager* game = GameManager::GetInstance();
  ASSERT_GE(game->GetNationCount(), 4u);
  const Nation* player = game->GetPlayerNation();
  ASSERT_NE(player, nullptr);
  EXPECT_EQ(player->GetNationId(), 1);
  // Every nation but the neutral folk has an enemy, and none is its own.
  for (unsigned i = 1; i < game->GetNationCount(); ++i) {
    const Nation* nation = game->GetNation(i);
    ASSERT_NE(nation, nullptr);
    EXPECT_FALSE(nation->GetEnemies().empty()) << nation->GetName().AsChar();
    EXPECT_FALSE(nation->IsEnemy(nation)) << nation->GetName().AsChar();
  }
  for (const char* faction : {"Pirate", "Corsair", "Buccaneer"}) EXPECT_NE(game->GetNation(VString(faction)), nullptr);
  EXPECT_GE(game->GetWeaponCount(), 2);
  EXPECT_TRUE(Vision::GetScriptManager()->GetGameScript()->HasFunction("StartGame"));
  EXPECT_TRUE(Vision::GetScriptManager()->GetGameScript()->HasFunction("OnThink"));
}
}  // namespace
