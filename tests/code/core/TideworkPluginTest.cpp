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
#include "support/ScopedEnv.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

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
    EXPECT_FALSE(Vision::Callbacks.OnUpdateSceneBegin.IsRegistered(&MissionManager::GlobalManager()));
    EXPECT_FALSE(Vision::Callbacks.OnWorldDeInit.IsRegistered(&MissionManager::GlobalManager()));
    EXPECT_FALSE(Vision::Callbacks.OnObjectDestroyed.IsRegistered(&RtsManager::GlobalManager()));
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
  EXPECT_TRUE(Vision::Callbacks.OnObjectDestroyed.IsRegistered(&RtsManager::GlobalManager()));
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
  ASSERT_TRUE(Vision::Plugins.LoadEnginePlugin("Tidework")) << Vision::Plugins.GetLastError();
  EXPECT_TRUE(Vision::IsModuleRegistered(&Tidework_cl::GetModule()));
  EXPECT_TRUE(GameManager::HasInstance());
  Vision::Plugins.UnloadAllEnginePlugins();
  ExpectAllStopped();
  JokeManager::CleanInstance();
}
}  // namespace
