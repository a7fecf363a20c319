// The land test scene of the bundled data: its two units in their formations, its
// patrol path and its navigation picture, and a unit ordered across it round the
// rock in the middle.
#include "components/InfantryPathComponent.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "core/ScriptBindings.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "Managers/GameSessionManager.h"
#include "Managers/SaveGameManager.h"
#include "util/MathTools.h"
#include "util/Navigation.h"

#include "support/LandBattleWorld.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

const float kDt = 1.0f / 30.0f;

class LandSceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_world.Start(kDt));
    MathTools::SetGaussianRandomState(99);
    GameManager::GetInstance()->SetLocation(1);
    ASSERT_TRUE(Vision::LoadWorld("scenes\\landtest\\LandTest"));
    GameManager::GetInstance()->GetNavigation()->LoadMap("scenes\\landtest\\CollisionMap.dds");
    raiders = FindUnit("Raiders");
    garrison = FindUnit("Garrison");
    ASSERT_NE(raiders, nullptr);
    ASSERT_NE(garrison, nullptr);
  }
  void TearDown() override { m_world.Stop(); }

  static UnitEntity* FindUnit(const char* key) { return LandBattleWorld::FindUnit(key); }
  // One engine frame of the parts the land battle uses.
  void Frame() { m_world.BareFrame(kDt); }

  LandBattleWorld m_world;
  UnitEntity* raiders = nullptr;
  UnitEntity* garrison = nullptr;
};

TEST_F(LandSceneTest, UnitsStandInTheirFormationsAndTheGroundIsMapped) {
  EXPECT_NE(raiders->GetNation(), garrison->GetNation());
  ASSERT_EQ(raiders->GetNumSoldiers(), 7);
  ASSERT_EQ(garrison->GetNumSoldiers(), 4);
  EXPECT_EQ(raiders->GetFormationRowCount(), 3);
  EXPECT_EQ(raiders->GetFormationColCount(), 3);
  EXPECT_EQ(garrison->GetFormationRowCount(), 2);
  EXPECT_EQ(garrison->GetFormationColCount(), 2);
  for (SoldierEntity* soldier : raiders->GetSoldiers()) {
    EXPECT_EQ(soldier->GetNation(), raiders->GetNation());
    EXPECT_LT(soldier->GetPosition().GetDistance2D(VisVector_cl(-30, -20, 0)), 3.0f);
    EXPECT_NE(soldier->GetStateMachine(), nullptr);
  }

  VisPath_cl* patrol = Vision::Game.SearchPath("Patrol");
  ASSERT_NE(patrol, nullptr);
  EXPECT_TRUE(patrol->IsClosed());
  EXPECT_EQ(patrol->GetPathNodeCount(), 4);

  Navigation* nav = GameManager::GetInstance()->GetNavigation();
  ASSERT_TRUE(nav->HasMap());
  EXPECT_EQ(nav->GetMap()->GetWidth(), 64);
  EXPECT_FLOAT_EQ(nav->GetMap()->GetScaleX(), 2.0f);
  EXPECT_FALSE(nav->IsWalkableAt(VisVector_cl(0, 0, 0)));      // the rock
  EXPECT_FALSE(nav->IsWalkableAt(VisVector_cl(14, -14, 0)));   // the wall
  EXPECT_FALSE(nav->IsWalkableAt(VisVector_cl(-12, 14, 0)));   // the crate
  EXPECT_TRUE(nav->IsWalkableAt(raiders->GetPosition()));
  EXPECT_TRUE(nav->IsWalkableAt(garrison->GetPosition()));
  EXPECT_FALSE(nav->IsWalkableAt(VisVector_cl(70, 0, 0)));     // off the terrain
}

TEST_F(LandSceneTest, OrderedAcrossTheSceneTheSoldiersWalkRoundTheRock) {
  // A first frame brings the soldiers' model in.
  Frame();
  for (SoldierEntity* soldier : raiders->GetSoldiers()) ASSERT_TRUE(soldier->HasMesh());
  // The straight line from the raiders to the target crosses the rock.
  const VisVector_cl target(10, 10, 0);
  raiders->SendMsg(VIS_MSG_USER_UNIT_MOVE, (INT_PTR)&target, 0);
  for (SoldierEntity* soldier : raiders->GetSoldiers())
    EXPECT_NE(soldier->GetComponentOfType(InfantryPathComponent::GetClassTypeId()), nullptr);

  for (int frame = 0; frame < 30 * 40; ++frame) {
    Frame();
    for (SoldierEntity* soldier : raiders->GetSoldiers()) {
      const VisVector_cl p = soldier->GetPosition();
      ASSERT_FALSE(std::fabs(p.x) < 4.0f && std::fabs(p.y) < 4.0f) << "inside the rock at frame " << frame;
    }
  }
  // They arrived (crowding round the one point) and the unit went with them.
  for (SoldierEntity* soldier : raiders->GetSoldiers())
    EXPECT_LT(soldier->GetPosition().GetDistance2D(target), 4.0f) << soldier->GetPosition().x << ", "
                                                                  << soldier->GetPosition().y;
  EXPECT_LT(raiders->GetPosition().GetDistance2D(target), 3.0f);
}

}  // namespace
