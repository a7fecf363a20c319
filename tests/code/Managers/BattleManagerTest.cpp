// The sea battle's state and the clean-up of a sea scene.
#include "Managers/BattleManager.h"
#include "Managers/SoundManager.h"
#include "support/SoundTestEnvironment.h"
#include "support/ArchiveRoundTrip.h"
#include "support/DdsFile.h"
#include "support/LogCapture.h"
#include "support/MessageRecorder.h"
#include "support/ScratchDataFolder.h"

#include "Managers/MusicManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SpeechManager.h"
#include "Managers/TutorialManager.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "core/VisMainApp.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

namespace {

VisBaseEntity_cl* Make(const char* key) {
  VisBaseEntity_cl* entity = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
  entity->SetEntityKey(key);
  return entity;
}

TEST(BattleManagerTest, ResettingEndsTheBattleOnceAndClearsTheSeaScene) {
  VisBaseEntity_cl* camera = Make("CameraEntity");
  auto* recorder = new MessageRecorder();
  camera->AddComponent(recorder);
  VisBaseEntity_cl* mine = Make("Mine");
  VisBaseEntity_cl* debris = Make("Debris");
  VisBaseEntity_cl* ship = Make("Ship");

  BattleManager* battle = BattleManager::GetInstance();
  battle->StartBattle();
  battle->StartBattle();
  EXPECT_TRUE(battle->IsBattleActive());
  battle->ResetBattle();
  EXPECT_FALSE(battle->IsBattleActive());
  EXPECT_EQ(recorder->ids, (std::vector<int>{113}));
  EXPECT_TRUE(mine->IsMarkedRemoved());
  EXPECT_TRUE(debris->IsMarkedRemoved());
  EXPECT_TRUE(camera->IsMarkedRemoved());
  EXPECT_FALSE(ship->IsMarkedRemoved());
  battle->EndBattle();
  EXPECT_EQ(recorder->ids.size(), 1u);

  BattleManager::CleanInstance();
  Vision::World.UnloadWorld();
}

TEST(BattleManagerTest, ResettingAndDeletingStopTheSceneSounds) {
  SoundTestEnvironment env;
  VSoundManager& plugin = VSoundManager::GlobalManager();
  SoundManager* sounds = SoundManager::GetInstance();
  // The scene loader empties the world, then the new scene makes its sound.
  auto loadScene = [&] {
    Vision::World.UnloadWorld();
    VSmartPtr<VSoundObject> surf = plugin.CreateSoundInstance("sounds\\click.wav", 0, VSOUND_LOOPED);
    surf->Play(0.0f, true);
    Vision::Callbacks.OnAfterSceneLoaded.TriggerCallbacks();
    EXPECT_EQ(sounds->GetSceneSoundCount(), 1);
    return surf;
  };
  VSmartPtr<VSoundObject> first = loadScene();
  BattleManager::GetInstance()->ResetBattle();
  EXPECT_EQ(sounds->GetSceneSoundCount(), 0);
  EXPECT_FALSE(first->IsPlaying());

  VSmartPtr<VSoundObject> second = loadScene();
  BattleManager::CleanInstance();
  EXPECT_EQ(sounds->GetSceneSoundCount(), 0);
  EXPECT_FALSE(second->IsPlaying());

  // Without a sound manager there is nothing to stop.
  SoundManager::CleanInstance();
  BattleManager::GetInstance()->ResetBattle();
  EXPECT_FALSE(SoundManager::HasInstance());
  BattleManager::CleanInstance();
  Vision::World.UnloadWorld();
}

// The sea scene's script writes what it is asked to do into the log.
const char kBattleScript[] = R"(
iWave = 0
sCaptain = "none"
function Init() print("battle Init") end
function DeInit() print("battle DeInit") end
function PostInit() print("battle PostInit") end
)";

class BattleSceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    data = std::make_unique<ScratchDataFolder>();
    data->Write("scripts/Battle1.lua", kBattleScript);
  }
  void TearDown() override {
    Vision::GetScriptManager()->SetSceneScript(nullptr);
    BattleManager::CleanInstance();
    MusicManager::CleanInstance();
    Vision::World.UnloadWorld();
    // A loaded scene caps the frame time.
    Vision::Timer.SetMaxTimeDifference(0.0f);
    data.reset();
  }
  static std::vector<std::string> ScriptCalls(const LogCapture& log) {
    std::vector<std::string> calls;
    for (const std::string& line : log.Matching("Lua: battle ")) calls.push_back(line.substr(line.find("battle ") + 7));
    return calls;
  }
  std::unique_ptr<ScratchDataFolder> data;
};

TEST_F(BattleSceneTest, EachSceneScriptEndsBeforeTheNextStarts) {
  BattleManager* battle = BattleManager::GetInstance();
  LogCapture log;
  battle->SetSceneScript(0);
  IVScriptInstance* first = battle->GetSceneScript();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(std::string(first->GetFileName()), "scripts\\Battle1.lua");
  battle->PostInit();
  battle->SetSceneScript(7);
  EXPECT_NE(battle->GetSceneScript(), first);
  EXPECT_EQ(ScriptCalls(log), (std::vector<std::string>{"Init", "PostInit", "DeInit", "Init"}));

  // A script without the three functions is simply run.
  data->Write("scripts/Battle1.lua", "iWave = 1\n");
  battle->SetSceneScript(0);
  battle->PostInit();
  battle->SetSceneScript(0);
  EXPECT_EQ(ScriptCalls(log).size(), 5u);
  EXPECT_FALSE(log.Contains("Lua error"));
}

TEST_F(BattleSceneTest, InitWorldLoadsTheSceneItsNavigationMapAndTheScript) {
  data->Write("scenes/sea1/sea1.vscene", "<scene><terrain height=\"0\"/></scene>\n");
  dds_test::WriteDds((data->Path() / "scenes/sea1/CollisionMap.dds").string(), 8, 8, std::vector<uint8_t>(64, 255));
  Vision::File.ClearCache();
  RtsManager::GlobalManager().OneTimeInit();
  GameManager::GetInstance()->OneTimeInit();
  LogCapture log;
  BattleManager::GetInstance()->InitWorld(0, "scenes\\sea1\\sea1.vscene");
  std::vector<std::string> steps;
  for (const std::string& line : log.Matching("BattleManager::InitWorld() "))
    steps.push_back(line.substr(line.find("InitWorld() ") + 12));
  EXPECT_EQ(steps, (std::vector<std::string>{"Unload previous", "Load Scene scenes\\sea1\\sea1.vscene",
                                             "Scene loaded", "DONE"}));
  EXPECT_TRUE(log.Contains("NavigationMap::Load() Loading map scenes\\sea1\\CollisionMap.dds"));
  EXPECT_EQ(ScriptCalls(log), (std::vector<std::string>{"Init"}));
  EXPECT_TRUE(Vision::World.HasTerrain());

  GameManager::CleanInstance();
  RtsManager::GlobalManager().OneTimeDeInit();
  VisMainApp::CleanInstance();
  SpeechManager::CleanInstance();
  TutorialManager::CleanInstance();
}

TEST_F(BattleSceneTest, TerrainHeightIsZeroWithoutTerrainAndHoldsTheOrigin) {
  BattleManager* battle = BattleManager::GetInstance();
  for (bool force : {false, true}) EXPECT_EQ(battle->GetTerrainHeight(VisVector_cl(3, 4, 0), force), 0.0f);
  // A slope rising 1 per unit of x over a field lifted by 2.
  ASSERT_TRUE(Vision::World.SetHeightFieldTerrain(VisVector_cl(0, 0, 2), 10.0f, 10.0f, 2, 2, {0, 10, 0, 10}));
  ASSERT_EQ(Vision::World.GetTerrainSectorFlags(4, 5) & 1u, 1u);
  for (bool force : {false, true}) EXPECT_FLOAT_EQ(battle->GetTerrainHeight(VisVector_cl(4, 5, 0), force), 6.0f);
}

TEST_F(BattleSceneTest, SavedBlockKeepsTheSceneScriptStateAndTheBattleFlag) {
  BattleManager* battle = BattleManager::GetInstance();
  battle->SetSceneScript(0);
  battle->GetSceneScript()->SetGlobal("iWave", 3);
  battle->GetSceneScript()->SetGlobal("sCaptain", "Mara");
  battle->StartBattle();
  const archive_test::Bytes bytes = archive_test::SaveBytes([&](VArchive& ar) { EXPECT_TRUE(battle->SerializeX(ar)); });

  BattleManager::CleanInstance();
  Vision::GetScriptManager()->SetSceneScript(nullptr);
  battle = BattleManager::GetInstance();
  ASSERT_FALSE(battle->IsBattleActive());
  EXPECT_TRUE(archive_test::LoadBytes(bytes, [&](VArchive& ar) { EXPECT_TRUE(battle->SerializeX(ar)); }));
  EXPECT_TRUE(battle->IsBattleActive());
  IVScriptInstance* script = battle->GetSceneScript();
  ASSERT_NE(script, nullptr);
  EXPECT_EQ(std::string(script->GetFileName()), "scripts\\Battle1.lua");
  int wave = 0;
  VString captain;
  EXPECT_TRUE(script->GetGlobal("iWave", wave));
  EXPECT_TRUE(script->GetGlobal("sCaptain", captain));
  EXPECT_EQ(wave, 3);
  EXPECT_EQ(captain, "Mara");

  // A block cut before its end tag keeps the running script and flag.
  battle->EndBattle();
  archive_test::Bytes cut(bytes.begin(), bytes.end() - 2);
  archive_test::ReadArchive ar(cut);
  EXPECT_FALSE(battle->SerializeX(*ar));
  EXPECT_EQ(battle->GetSceneScript(), script);
  EXPECT_FALSE(battle->IsBattleActive());
}

}  // namespace
