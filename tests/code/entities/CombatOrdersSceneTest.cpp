// The combat orders scene of the bundled data: the villagers patrol their path round
// and round, the boarders' orders reach their soldiers' script, and a move along the
// boarders' own path ends where it was ordered.
#include "components/NPCUnitComponent.h"
#include "components/UnitPathComponent.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "core/ScriptBindings.h"
#include "entities/FSM/State_Walk.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "Managers/GameSessionManager.h"
#include "Managers/SaveGameManager.h"
#include "util/MathTools.h"

#include "support/LandBattleWorld.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

const float kDt = 1.0f / 30.0f;

class CombatOrdersSceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_world.Start(kDt));
    MathTools::SetGaussianRandomState(7);
    GameManager::GetInstance()->SetLocation(1);
    ASSERT_TRUE(Vision::LoadWorld("scenes\\combatorders\\CombatOrders"));
    boarders = FindUnit("Boarders");
    defenders = FindUnit("Defenders");
    villagers = FindUnit("Villagers");
    ASSERT_NE(boarders, nullptr);
    ASSERT_NE(defenders, nullptr);
    ASSERT_NE(villagers, nullptr);
  }
  void TearDown() override { m_world.Stop(); }

  static UnitEntity* FindUnit(const char* key) { return LandBattleWorld::FindUnit(key); }
  static bool ScriptHas(SoldierEntity* soldier, const char* name) {
    VScriptResourceManager* scripts = Vision::GetScriptManager();
    IVScriptInstance* script = scripts ? scripts->GetScriptInstance(soldier) : nullptr;
    return script && script->HasFunction(name);
  }
  void Frame() { m_world.BareFrame(kDt); }

  LandBattleWorld m_world;
  UnitEntity* boarders = nullptr;
  UnitEntity* defenders = nullptr;
  UnitEntity* villagers = nullptr;
};

TEST_F(CombatOrdersSceneTest, VillagersPatrolTheirPathRoundAndRound) {
  auto* npc = static_cast<NPCUnitComponent*>(villagers->GetComponentOfType(NPCUnitComponent::GetClassTypeId()));
  ASSERT_NE(npc, nullptr);
  VisPath_cl* patrol = Vision::Game.SearchPath("NPCPatrol");
  ASSERT_NE(patrol, nullptr);
  ASSERT_EQ(npc->GetFollowPath(), patrol);
  ASSERT_EQ(patrol->GetPathNodeCount(), 3);

  // A first frame without the path brings the soldiers' model in, which their walk needs.
  npc->SetFollowPath(nullptr);
  Frame();
  for (SoldierEntity* soldier : villagers->GetSoldiers()) ASSERT_TRUE(soldier->HasMesh());
  npc->SetFollowPath(patrol);
  // Each move sends the unit to the current node; they come round 0, 1, 2, 0.
  std::vector<int> visited;
  int last = npc->GetCurrentNode();
  for (int frame = 0; frame < 30 * 60 && visited.size() < 4; ++frame) {
    Frame();
    if (npc->GetCurrentNode() == last) continue;
    const SelectionBox& box = villagers->GetUnitTargetBox();
    const VisVector_cl centre = (box.GetPoint(0) + box.GetPoint(2)) * 0.5f;
    for (int i = 0; i < 3; ++i)
      if (centre.GetDistance2D(patrol->GetPathNode(i)->GetPosition()) < 0.01f) visited.push_back(i);
    last = npc->GetCurrentNode();
  }
  EXPECT_EQ(visited, (std::vector<int>{0, 1, 2, 0}));
  // Between two moves they walked: the unit stands near the last node but one.
  EXPECT_LT(villagers->GetPosition().GetDistance2D(patrol->GetPathNode(2)->GetPosition()), 4.0f);
}

TEST_F(CombatOrdersSceneTest, BoardersOrdersReachTheirSoldiersScript) {
  Frame();
  for (SoldierEntity* soldier : boarders->GetSoldiers())
    for (const char* name : {"AttackEntity", "ClearTarget", "SetLastPositionGiven", "OnAttackHit", "OnFriendUnderAttack"})
      EXPECT_TRUE(ScriptHas(soldier, name)) << name;

  // Through their own path: each soldier's script learns where its walk ends.
  ASSERT_NE(boarders->GetComponentOfType(UnitPathComponent::GetClassTypeId()), nullptr);
  const VisVector_cl target(-10, -20, 0);
  boarders->SetTarget(target, VIS_MSG_USER_UNIT_MOVE, 0, false);
  for (SoldierEntity* soldier : boarders->GetSoldiers()) {
    EXPECT_EQ(soldier->GetStateMachine()->GetCurrentState(), State_Walk::GetInstance());
    VisVector_cl last;
    ASSERT_TRUE(soldier->GetScriptValue("lastPosition", last));
    EXPECT_LT(last.GetDistance2D(target), 5.0f);
  }
  for (int frame = 0; frame < 30 * 15; ++frame) Frame();
  for (SoldierEntity* soldier : boarders->GetSoldiers())
    EXPECT_LT(soldier->GetPosition().GetDistance2D(target), 5.0f);

  // An order on the defenders goes through "AttackEntity": each soldier makes for one.
  boarders->SetTarget(defenders);
  for (SoldierEntity* soldier : boarders->GetSoldiers()) {
    int orders = 0;
    ASSERT_TRUE(soldier->GetScriptValue("attackOrders", orders));
    EXPECT_EQ(orders, 1);
    EXPECT_EQ(soldier->GetStateMachine()->GetCurrentState(), State_Walk::GetInstance());
  }
}

}  // namespace
