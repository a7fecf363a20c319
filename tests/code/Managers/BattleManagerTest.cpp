// The sea battle's state and the clean-up of a sea scene.
#include "Managers/BattleManager.h"
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

}  // namespace
