// The bundled spawner and loot data: every spawner script fills its spawner with unit
// kinds and texts that exist, the stronghold's defenders' hut starts with its script,
// and in the loot test scene a porter carries loot into the escape area, where his
// unit is counted.
#include "Managers/GameSessionManager.h"
#include "Managers/NoiseManagerProto.h"
#include "Managers/SaveGameManager.h"
#include "components/CarryComponent.h"
#include "components/SpawnerBaseComponent.h"
#include "components/UnitContainerComponent.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "core/ScriptBindings.h"
#include "entities/CollectableEntity.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "entities/UnitEntityTemplate.h"
#include "util/ComponentSetup.h"

#include "support/LandBattleWorld.h"
#include "support/StringKeys.h"

#include "engine/Vision.h"
#include "engine/core/TriggerBoxEntity.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

class LandSpawnerDataTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_world.Start(0.1f)); }
  void TearDown() override {
    for (VisBaseEntity_cl* e : std::vector<VisBaseEntity_cl*>(TriggerBoxEntity_cl::GetObservedEntities()))
      TriggerBoxEntity_cl::RemoveObservedEntity(e);
    m_world.Stop();
  }
  static void Frame() {
    Vision::Timer.Update();
    Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
    Vision::Game.RunThinkFunctions();
    Vision::Game.FreeRemovedEntities();
  }
  LandBattleWorld m_world;
};

TEST_F(LandSpawnerDataTest, EverySpawnerScriptFillsItsSpawnerWithKnownUnitsAndTexts) {
  const std::set<std::string> keys = StringKeys();
  struct Script {
    const char* file;
    int kinds;
  };
  const Script scripts[] = {{"scripts\\Spawners\\StrongholdDefenders.lua", 1},
                            {"scripts\\Spawners\\GuardPost.lua", 1},
                            {"scripts\\Spawners\\Prison.lua", 3},
                            {"scripts\\Spawners\\Barracks.lua", 1}};
  for (const Script& s : scripts) {
    SCOPED_TRACE(s.file);
    VisBaseEntity_cl* owner = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
    auto* spawner = new SpawnerBaseComponent();
    spawner->SetScriptFile(s.file);
    ASSERT_TRUE(owner->AddComponent(spawner));
    ASSERT_EQ(spawner->GetTemplateCount(), s.kinds);
    for (int i = 0; i < s.kinds; ++i) {
      const UnitEntityTemplate* t = spawner->GetTemplate((unsigned)i);
      EXPECT_GT(t->m_iMaxNumSoldiers, 0);
      EXPECT_TRUE(t->m_iNation == 1 || t->m_iNation == 2);
      EXPECT_FALSE(t->m_sUnitName.IsEmpty()) << "the game script knows kind " << t->m_iUnitType;
    }
    if (!spawner->GetSpawnerName().IsEmpty()) {
      EXPECT_TRUE(keys.count(spawner->GetSpawnerName().AsChar())) << spawner->GetSpawnerName().AsChar();
    }
  }
}

TEST_F(LandSpawnerDataTest, TheStrongholdsDefendersWakeUpAtAStrangersNoise) {
  ASSERT_TRUE(Vision::LoadWorld("scenes\\stronghold_pirate\\stronghold_pirate.vscene"));
  VisBaseEntity_cl* hut = Vision::Game.SearchEntity("DefendersHut");
  ASSERT_NE(hut, nullptr);
  auto* spawner = hut->Components<SpawnerBaseComponent>();
  ASSERT_NE(spawner, nullptr);
  EXPECT_EQ(spawner->GetTemplateCount(), 1);
  EXPECT_EQ(spawner->GetSoldierCount(), 6);
  EXPECT_FALSE(spawner->IsEnabled());

  auto* stranger = static_cast<SoldierEntity*>(Vision::Game.CreateEntity("SoldierEntity", VisVector_cl(10, 10, 0)));
  stranger->SetNation(1);
  // The hut's listener hears him and hands the noise on at the frame's end.
  NoiseManagerProto::GetInstance()->MakeNoise(stranger, 1, 1.0f, 100.0f, NOISE_FALLOFF_LINEAR);
  Vision::Callbacks.OnFrameUpdateLate.TriggerCallbacks();
  EXPECT_TRUE(spawner->IsEnabled());
  EXPECT_TRUE(spawner->GetTriggerPosition().IsEqual(VisVector_cl(10, 10, 0), 1e-5f));
  for (int i = 0; i < 10; ++i) Frame();
  ASSERT_EQ(spawner->GetSpawnedUnitCount(), 1);
  UnitEntity* defenders = SpawnerBaseComponent::FindUnit(spawner->GetSpawnedUnit(0)->m_iUniqueID);
  ASSERT_NE(defenders, nullptr);
  EXPECT_EQ(defenders->GetNation(), 2);
  EXPECT_EQ(defenders->GetNumSoldiers(), 1);
}

TEST_F(LandSpawnerDataTest, APorterCarriesLootIntoTheEscapeAreaWhereHisUnitIsCounted) {
  ASSERT_TRUE(Vision::LoadWorld("scenes\\loottest\\LootTest.vscene"));
  VisBaseEntity_cl* area = Vision::Game.SearchEntity("EscapeArea");
  ASSERT_NE(area, nullptr);
  auto* container = area->Components<UnitContainerComponent>();
  ASSERT_NE(container, nullptr);
  auto* porters = dynamic_cast<UnitEntity*>(Vision::Game.SearchEntity("Porters"));
  ASSERT_NE(porters, nullptr);
  ASSERT_EQ(porters->GetNumSoldiers(), 3);
  for (const char* key : {"Loot1", "Loot2", "Loot3"}) {
    auto* loot = dynamic_cast<CollectableEntity*>(Vision::Game.SearchEntity(key));
    ASSERT_NE(loot, nullptr) << key;
    EXPECT_TRUE(loot->IsCarriable()) << key;
  }
  auto* loot = static_cast<CollectableEntity*>(Vision::Game.SearchEntity("Loot1"));

  SoldierEntity* porter = porters->GetSoldierAtIndex(0);
  EXPECT_TRUE(porter->IsObservedByTriggers());
  auto* carry = ComponentSetup::TakeOrAdd<CarryComponent>(porter);
  ASSERT_NE(carry, nullptr);
  porter->SetPosition(VisVector_cl(8, 0, 1));
  carry->SetCarryTarget(loot);
  Frame();
  ASSERT_EQ(carry->GetCarryItem(), loot);
  EXPECT_TRUE(container->GetUnitsInside().empty());

  porter->SetPosition(VisVector_cl(-20, 1, 1));
  Frame();
  EXPECT_EQ(container->GetUnitsInside(), std::vector<UnitEntity*>{porters});
  EXPECT_EQ(container->GetUnitCount(porters), 1);
}

}  // namespace
