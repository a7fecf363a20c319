// The wildlife manager keeps the scene's birds and lets them go with the scene.
#include "Managers/WildLifeManager.h"

#include "entities/AnimalEntity.h"
#include "support/ScratchDataFolder.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

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

TEST(WildLifeManagerTest, BirdsAreMadeFromTheirScriptOrTheDefaultBird) {
  ScratchDataFolder data;
  data.Write("scripts/fauna/seagull_01.lua", "kind = 'gull'");
  data.Write("scripts/fauna/default_bird.lua", "kind = 'default'");
  WildLifeManager* wildlife = WildLifeManager::GetInstance();
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  auto Kind = [&](AnimalEntity* bird) {
    VString kind;
    IVScriptInstance* script = bird ? scripts->GetScriptInstance(bird) : nullptr;
    if (script) script->GetGlobal("kind", kind);
    return std::string(kind.AsChar() ? kind.AsChar() : "");
  };

  // Over the world map: x and y within 2000 of the origin, 28 to 32 high.
  for (int i = 0; i < 20; ++i) {
    AnimalEntity* gull = wildlife->CreateBird("scripts\\fauna\\seagull_01.lua");
    ASSERT_NE(gull, nullptr);
    const VisVector_cl& at = gull->GetPosition();
    EXPECT_LE(std::abs(at.x), 2000.0f);
    EXPECT_LE(std::abs(at.y), 2000.0f);
    EXPECT_GE(at.z, 28.0f);
    EXPECT_LE(at.z, 32.0f);
    EXPECT_EQ(Kind(gull), "gull");
  }
  AnimalEntity* stray = wildlife->CreateBird("scripts\\fauna\\missing.lua", VisVector_cl(5, 6, 7));
  ASSERT_NE(stray, nullptr);
  EXPECT_TRUE(stray->GetPosition().IsEqual(VisVector_cl(5, 6, 7), 1e-4f));
  EXPECT_EQ(Kind(stray), "default");
  EXPECT_EQ(wildlife->GetBirds().GetValidSize(), 21u);
  EXPECT_EQ(wildlife->CreateBird(nullptr), nullptr);

  WildLifeManager::CleanInstance();
  Vision::Game.RemoveAllEntities();
  scripts->Reset();
}

TEST(WildLifeManagerTest, BeforeALoadEveryBirdForgetsItsTarget) {
  WildLifeManager* wildlife = WildLifeManager::GetInstance();
  VisBaseEntity_cl* town = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
  AnimalEntity* gulls[2];
  for (AnimalEntity*& gull : gulls) {
    gull = new AnimalEntity();
    gull->SetTarget(town);
    wildlife->AddBird(gull);
  }
  wildlife->ResetAnimals();
  for (AnimalEntity* gull : gulls) EXPECT_EQ(gull->GetTarget(), nullptr);

  // A target that leaves the world is forgotten as well.
  gulls[0]->SetTarget(town);
  town->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(gulls[0]->GetTarget(), nullptr);
  Vision::Game.RemoveAllEntities();
  WildLifeManager::CleanInstance();
}

}  // namespace
