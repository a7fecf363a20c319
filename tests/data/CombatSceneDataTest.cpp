// The bundled combat scene: both armies carry the attack component of their kind,
// the landing area counts units, the loot can be carried, the villagers patrol their
// closed path, the elder has his speech and the windmill turns; sent at each other,
// the armies fight and soldiers fall.
#include "Managers/ArtifactManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/NoiseManagerProto.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SoundManager.h"
#include "components/InfantryAttackComponent.h"
#include "components/NPCUnitComponent.h"
#include "components/RangedAttackComponent.h"
#include "components/RotationComponent.h"
#include "components/SpeechComponent.h"
#include "components/UnitContainerComponent.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "core/ScriptBindings.h"
#include "entities/CollectableEntity.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "util/MathTools.h"

#include "support/LandBattleWorld.h"
#include "support/LogCapture.h"

#include "engine/Vision.h"
#include "engine/core/TriggerBoxEntity.h"
#include "engine/core/VisAnimManager.h"
#include "engine/core/VisParticleGroupManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const float kDt = 1.0f / 30.0f;

class CombatSceneDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SoundManager::CleanInstance();
    VSeedRandom(7u);
    MathTools::SetGaussianRandomState(7u);
    Vision::Timer.Reset();
    ASSERT_TRUE(m_world.Start(kDt));
    GameManager::GetInstance()->SetLocation(1);
    ASSERT_TRUE(Vision::LoadWorld("scenes\\combat\\Combat.vscene"));
  }
  void TearDown() override {
    for (VisBaseEntity_cl* e : std::vector<VisBaseEntity_cl*>(TriggerBoxEntity_cl::GetObservedEntities()))
      TriggerBoxEntity_cl::RemoveObservedEntity(e);
    m_world.Stop();
  }
  void Frame() { m_world.Frame(); }
  static UnitEntity* Unit(const char* key) { return dynamic_cast<UnitEntity*>(Vision::Game.SearchEntity(key)); }

  LandBattleWorld m_world;
};

TEST_F(CombatSceneDataTest, EverythingTheSceneHoldsIsInPlace) {
  struct Army {
    const char* key;
    int nation;
    const VType* attack;
  };
  const Army armies[] = {{"PlayerSwords", 1, InfantryAttackComponent::GetClassTypeId()},
                         {"PlayerGrenadiers", 1, RangedAttackComponent::GetClassTypeId()},
                         {"PlayerRifles", 1, RifleAttackComponent::GetClassTypeId()},
                         {"EnemySwords", 5, InfantryAttackComponent::GetClassTypeId()},
                         {"EnemyGrenadiers", 5, RangedAttackComponent::GetClassTypeId()},
                         {"EnemyRifles", 5, RifleAttackComponent::GetClassTypeId()}};
  for (const Army& a : armies) {
    SCOPED_TRACE(a.key);
    UnitEntity* unit = Unit(a.key);
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(unit->GetNation(), a.nation);
    ASSERT_EQ(unit->GetSoldiers().size(), 4u);
    for (SoldierEntity* s : unit->GetSoldiers()) {
      ASSERT_NE(s->GetComponentOfType(a.attack, true), nullptr);
      EXPECT_EQ(s->GetNation(), a.nation);
    }
  }

  VisBaseEntity_cl* area = Vision::Game.SearchEntity("EscapeArea");
  ASSERT_NE(area, nullptr);
  EXPECT_NE(area->Components<UnitContainerComponent>(), nullptr);
  for (const char* key : {"Loot1", "Loot2", "Loot3"}) {
    auto* loot = dynamic_cast<CollectableEntity*>(Vision::Game.SearchEntity(key));
    ASSERT_NE(loot, nullptr) << key;
    EXPECT_TRUE(loot->IsCarriable()) << key;
  }
  UnitEntity* villagers = Unit("Villagers");
  ASSERT_NE(villagers, nullptr);
  EXPECT_NE(villagers->Components<NPCUnitComponent>(), nullptr);
  VisBaseEntity_cl* elder = Vision::Game.SearchEntity("VillageElder");
  ASSERT_NE(elder, nullptr);
  EXPECT_NE(elder->Components<SpeechComponent>(), nullptr);

  VisBaseEntity_cl* windmill = Vision::Game.SearchEntity("Windmill");
  ASSERT_NE(windmill, nullptr);
  ASSERT_NE(windmill->Components<RotationComponent>(), nullptr);
  const VisVector_cl before = windmill->GetOrientation();
  Frame();
  for (int i = 0; i < 30; ++i) Frame();
  EXPECT_FALSE(windmill->GetOrientation().IsEqual(before, 1.0f)) << "30 degrees a second";
}

TEST_F(CombatSceneDataTest, SentAtEachOtherTheArmiesFightAndSoldiersFall) {
  LogCapture log;
  Frame();  // the soldiers' model comes in
  const char* player[] = {"PlayerSwords", "PlayerGrenadiers", "PlayerRifles"};
  const char* enemy[] = {"EnemySwords", "EnemyGrenadiers", "EnemyRifles"};
  for (int i = 0; i < 3; ++i) {
    Unit(player[i])->SetTarget(Unit(enemy[i]));
    Unit(enemy[i])->SetTarget(Unit(player[i]));
  }
  for (int f = 0; f < (int)(20.0f / kDt); ++f) Frame();
  int dying = 0;
  for (const std::string& line : log.Lines()) dying += line.find("SoldierEntity::KillSoldier() Dying.") != std::string::npos;
  EXPECT_GT(dying, 0) << "twenty seconds of battle kill somebody";
}

}  // namespace
