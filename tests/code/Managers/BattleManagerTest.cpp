// The sea battle's state and the clean-up of a sea scene.
#include "Managers/BattleManager.h"
#include "Managers/SoundManager.h"
#include "support/SoundTestEnvironment.h"
#include "support/MessageRecorder.h"

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

}  // namespace
