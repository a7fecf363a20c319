// The "SoldierEntity" script class: the bundled soldier script sets a soldier up,
// the argument errors, hit-point and combat setters, state changes by number, and
// the searches over all soldiers.
#include "SoldierFixture.h"

#include "components/InfantryMovementComponent.h"
#include "components/InfantryPathComponent.h"
#include "core/GameManager.h"
#include "entities/FSM/DizzyState.h"
#include "entities/FSM/IdleState.h"
#include "entities/FSM/State_Idle.h"
#include "entities/Nation.h"

#include <gtest/gtest.h>

namespace {

class SoldierEntityBindingsTest : public SoldierFixture {
 protected:
  // Nations 1 and 2 at war, 3 at peace with both.
  void MakeNations() {
    GameManager* gm = GameManager::GetInstance();
    for (int id = 0; id <= 3; ++id) gm->AddNation(new Nation(id, ("N" + std::to_string(id)).c_str()));
    gm->GetNation(1u)->AddEnemy(2);
    gm->GetNation(2u)->AddEnemy(1);
  }
};

TEST_F(SoldierEntityBindingsTest, TheBundledSoldierScriptSetsTheSoldierUp) {
  ASSERT_TRUE(Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data"));
  Weapon cutlass;
  cutlass.m_iId = 1;
  cutlass.m_bMelee = true;
  GameManager::GetInstance()->AddWeapon(cutlass);
  SoldierEntity* soldier = MakeSoldier();
  ASSERT_TRUE(soldier->SetAIScript("scripts\\LandUnits\\SoldierScript.lua"));  // runs its OnCreate

  EXPECT_EQ(Current(soldier), IdleState::GetInstance());
  const SoldierStats* stats = soldier->GetStats();
  EXPECT_EQ(stats->m_Hitpoints.GetMaximum(), 120);
  EXPECT_EQ(stats->m_Hitpoints.GetCurrent(), 120);
  EXPECT_EQ(stats->m_Hitpoints.GetArmor(), 4);
  EXPECT_EQ(stats->m_Hitpoints.GetMaxArmor(), 40);
  EXPECT_FLOAT_EQ(stats->m_fSpeed, 3.5f);
  ASSERT_NE(soldier->GetMovementComponent(), nullptr);
  EXPECT_FLOAT_EQ(soldier->GetMovementComponent()->GetBaseSpeed(), 3.5f);
  const CombatSkills& c = stats->m_CombatSkills;
  EXPECT_EQ(c.m_iMeleeMinDamage, 4);
  EXPECT_EQ(c.m_iSecondMeleeMinDamage, 4) << "a missing second set takes the first";
  EXPECT_EQ(c.m_iRangedMaxDamage, 7);
  EXPECT_EQ(c.m_iSecondRangedMaxDamage, 7);
  EXPECT_FLOAT_EQ(c.m_fAttackIntervalMin, 1.5f);
  EXPECT_FLOAT_EQ(c.m_fAttackIntervalMax, 3.0f);
  EXPECT_EQ(c.m_iMeleeHitChance, 65);
  EXPECT_EQ(c.m_iExperienceValue, 15);
  EXPECT_EQ(soldier->GetWeaponCount(), 1);
  EXPECT_EQ(soldier->GetSelectedWeapon(), 0);
}

TEST_F(SoldierEntityBindingsTest, ArgumentErrorsLeaveTheSoldierAlone) {
  SoldierEntity* soldier = MakeSoldier();
  SetGlobalObject("s", soldier);
  const char* kSoldier = "Expected native object of type SoldierEntity*";
  struct Case {
    const char* code;
    std::string error;
  };
  const Case cases[] = {
      {"s.ReduceHitPoints(s, 30)", ArgError(1, "ReduceHitPoints", kSoldier)},
      {"s.ReduceHitPoints(nil, 30, s)", ArgError(1, "ReduceHitPoints", kSoldier)},
      {"s.ReduceHitPoints(s, 'much', s)", ArgError(3, "ReduceHitPoints", "Expected int")},
      {"s.SetHitPoints(s)", ArgError(3, "SetHitPoints", "Expected int")},
      {"s.Attack(s, 42)", ArgError(1, "Attack", "Expected native object of type BaseEntity*")},
      {"s.TurnTo(s, 3)", ArgError(3, "TurnTo", "Expected VisVector_cl")},
      {"s.FollowPath(s)", ArgError(1, "FollowPath", "Expected native object of type VisPath_cl*")},
      {"s.FollowPath(s, s)", ArgError(1, "FollowPath", "Expected native object of type VisPath_cl*")},
      {"s.FollowPath(nil, s)", ArgError(1, "FollowPath", kSoldier)},
      {"s.ChangeTexture(s)", ArgError(3, "ChangeTexture", "Expected const char*")},
      {"s.ChangeTexture(42, 'skin.dds')", ArgError(1, "ChangeTexture", kSoldier)},
  };
  for (const Case& c : cases) EXPECT_NE(Run(c.code).find(c.error), std::string::npos) << c.code << ": " << Run(c.code);
  EXPECT_EQ(soldier->GetStats()->m_Hitpoints.GetCurrent(), 100);
  EXPECT_EQ(soldier->GetPathComponent(), nullptr);
  EXPECT_EQ(soldier->GetCustomTextureSet(), nullptr);
}

TEST_F(SoldierEntityBindingsTest, FollowPathWalksTheGivenPathAndChangeTextureSkinsTheFirstSurface) {
  SoldierEntity* soldier = MakeSoldier(VisVector_cl(0, 0, 0));
  SetGlobalObject("s", soldier);
  auto* route = new VisPath_cl(3, false);
  for (const VisVector_cl& p : {VisVector_cl(1, 0, 0), VisVector_cl(4, 0, 0), VisVector_cl(4, 4, 0)})
    route->AddPathNode(VisPathNode_cl(p, VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0)));
  Vision::Game.AddScenePath(route);
  SetGlobalObject("route", route);

  // The path component is made on demand and leads to the path's last node.
  ASSERT_EQ(Run("s:FollowPath(route)"), "");
  InfantryPathComponent* path = soldier->GetPathComponent();
  ASSERT_NE(path, nullptr);
  EXPECT_TRUE(path->GetEndPosition().IsEqual(VisVector_cl(4, 4, 0), 1e-4f));
  EXPECT_FLOAT_EQ(path->GetReachDistance(), 2.0f);

  ASSERT_EQ(Run("s:ChangeTexture('textures/skin_red.dds')"), "");
  ASSERT_NE(soldier->GetCustomTextureSet(), nullptr);
  VTextureObject* skin = soldier->GetCustomTextureSet()->GetTexture(0);
  ASSERT_NE(skin, nullptr);
  EXPECT_EQ(skin, Vision::TextureManager.Load2DTextureFromFile("textures/skin_red.dds"));
  // A soldier without a model, or an empty name, changes nothing.
  SoldierEntity* bare = MakeSoldier(VisVector_cl(5, 0, 0), false);
  SetGlobalObject("bare", bare);
  ASSERT_EQ(Run("bare:ChangeTexture('textures/skin_red.dds')"), "");
  EXPECT_EQ(bare->GetCustomTextureSet(), nullptr);
  ASSERT_EQ(Run("s:ChangeTexture('')"), "");
  EXPECT_EQ(soldier->GetCustomTextureSet()->GetTexture(0), skin);
  Vision::Game.RemoveAllScenePaths();
}

TEST_F(SoldierEntityBindingsTest, HitPointSetters) {
  SoldierEntity* soldier = MakeSoldier();
  SetGlobalObject("s", soldier);
  struct Case {
    int maximum;
    const char* call;
    int expected;
  };
  const Case cases[] = {
      {100, "s:SetHitPoints(250)", 100}, {100, "s:SetHitPoints(-5)", 0},  {100, "s:SetHitPoints(40)", 40},
      {-1, "s:SetHitPoints(40)", -1},    {-1, "s:ResetHitpoints()", 40}, {100, "s:ResetHitPoints()", 100},
  };
  for (const Case& c : cases) {
    Hitpoints& hp = soldier->GetStats()->m_Hitpoints;
    hp.SetMaximum(c.maximum);
    if (std::string(c.call).find("Reset") != std::string::npos) hp.SetCurrent(40);
    ASSERT_EQ(Run(c.call), "");
    EXPECT_EQ(hp.GetCurrent(), c.expected) << c.call << " with maximum " << c.maximum;
  }
  EXPECT_EQ(Number("s:GetHitPointsMax()"), 100);
}

TEST_F(SoldierEntityBindingsTest, StatesByNumber) {
  SoldierEntity* soldier = MakeSoldier();
  SetGlobalObject("s", soldier);
  EXPECT_EQ(Number("s:GetState()"), 0) << "no machine yet";
  ASSERT_EQ(Run("s:CreateStateMachine()"), "");
  EXPECT_EQ(Current(soldier), IdleState::GetInstance()) << "the built-in family by default";
  ASSERT_EQ(Run("s:CreateStateMachine(2)"), "");
  EXPECT_EQ(Current(soldier), State_Idle::GetInstance());
  ASSERT_EQ(Run("s:ChangeState(2)"), "");
  EXPECT_EQ(soldier->GetCurrentStateName(), "Walk");
  EXPECT_EQ(Number("s:GetState()"), STATE_WALK);
  ASSERT_EQ(Run("s:ChangeState(3)"), "");
  EXPECT_EQ(Current(soldier), State_Idle::GetInstance()) << "any other number: the follow-up state";
  ASSERT_EQ(Run("s:DisableControls(2.5)"), "");
  EXPECT_EQ(Current(soldier), DizzyState::GetInstance());
  EXPECT_FLOAT_EQ(soldier->GetStateMachine()->GetRemainingTime(), 2.5f);
}

TEST_F(SoldierEntityBindingsTest, SearchesWalkTheSoldiersInListOrder) {
  MakeNations();
  SoldierEntity* me = MakeSoldier(VisVector_cl(0, 0, 0));
  me->SetNation(1);
  SoldierEntity* far = MakeSoldier(VisVector_cl(8, 0, 0));
  SoldierEntity* near = MakeSoldier(VisVector_cl(3, 0, 0));
  SoldierEntity* friendly = MakeSoldier(VisVector_cl(1, 0, 0));
  far->SetNation(2);
  near->SetNation(2);
  friendly->SetNation(1);
  for (SoldierEntity* s : {me, far, near, friendly}) s->CommonInit();
  near->GetStats()->m_Hitpoints.SetCurrent(90);
  far->GetStats()->m_Hitpoints.SetCurrent(10);
  SetGlobalObject("me", me);
  SetGlobalObject("near", near);
  SetGlobalObject("far", far);
  SetGlobalObject("friendly", friendly);

  EXPECT_TRUE(Bool("me:GetClosestEnemySoldier() == near"));
  EXPECT_TRUE(Bool("me:GetClosestEnemySoldier(-1) == near")) << "a negative range is unlimited";
  EXPECT_TRUE(Bool("me:GetClosestEnemySoldier(2) == nil"));
  EXPECT_TRUE(Bool("me:GetClosestSoldier() == friendly"));
  EXPECT_TRUE(Bool("me:GetClosestSoldierFromNation(2, 10) == near"));
  // The weakest search keeps the last qualifying soldier, not the one with fewest hit points.
  EXPECT_TRUE(Bool("me:GetWeakestEnemySoldier() == near"));
  EXPECT_TRUE(Bool("me:GetWeakestEnemySoldier(-5) == near")) << "the range is squared: -5 acts as 5";
  EXPECT_TRUE(Bool("me:IsEnemy(near)"));
  EXPECT_FALSE(Bool("me:IsEnemy(friendly)"));

  near->KillSoldier();
  EXPECT_TRUE(Bool("me:GetClosestEnemySoldier() == far")) << "the dead are skipped";
}

}  // namespace
