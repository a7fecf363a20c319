// The wildlife manager keeps the scene's birds and lets them go with the scene.
#include "Managers/WildLifeManager.h"

#include "entities/AnimalEntity.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

namespace {

TEST(WildLifeManagerTest, TheBirdsGoWhenTheSceneUnloads) {
  WildLifeManager* wildlife = WildLifeManager::GetInstance();
  VisBaseEntity_cl* ship = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
  AnimalEntity* gulls[2];
  for (AnimalEntity*& gull : gulls) {
    gull = new AnimalEntity();
    gull->SetEntityKey("Seagull");
    wildlife->AddBird(gull);
  }
  ASSERT_EQ(wildlife->GetAnimalFromRange(ship, 100.0f, "Seagull"), gulls[0]);

  // Listeners hear of the unload while the scene's entities still exist.
  Vision::Callbacks.OnWorldDeInit.TriggerCallbacks();
  for (AnimalEntity* gull : gulls) EXPECT_TRUE(gull->IsMarkedRemoved());
  EXPECT_EQ(wildlife->GetBirds().GetValidSize(), 0u);
  EXPECT_EQ(wildlife->GetAnimalFromRange(ship, 100.0f, "Seagull"), nullptr);

  // The next scene's birds are kept again, and go with it.
  auto* next = new AnimalEntity();
  next->SetEntityKey("Seagull");
  wildlife->AddBird(next);
  EXPECT_EQ(wildlife->GetBirds().Get(0), next);
  Vision::World.UnloadWorld();
  EXPECT_EQ(wildlife->GetBirds().GetValidSize(), 0u);
  WildLifeManager::CleanInstance();
}

}  // namespace
