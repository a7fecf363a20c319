// The "AIShipComponent" and "ShipPathComponent" script classes, and the ship's own
// script methods that order its AI about.
#include "components/AIShipComponent.h"
#include "components/ShipPathComponent.h"
#include "core/ComponentMessages.h"
#include "entities/Nation.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/TownEntity.h"
#include "support/MessageRecorder.h"
#include "support/NavalScenario.h"
#include "support/ScriptBindingFixture.h"

#include "engine/core/VisPath.h"

#include <memory>
#include <vector>

namespace {

class AIShipBindingsTest : public ScriptBindingFixture {
 protected:
  void SetUp() override {
    ScriptBindingFixture::SetUp();
    if (HasFatalFailure()) return;
    naval_scenario::StartFixedStep(99u, 1.0f / 60.0f);
    naval_scenario::AddWarringNations("None", "Enemy");
    ship = MakeShip("Guard", 2, VisVector_cl(0, 0, 0));
    ai = new AIShipComponent();
    ai->SetTryPreventCollision(false);
    ship->AddComponent(ai);
    ai->SetAIMode(AIShipComponent::AIMODE_IDLE);
    SetGlobalObject("ai", static_cast<IVObjectComponent*>(ai));
    SetGlobalObject("ship", ship);
  }
  void ReleaseAfterEntities() override {
    naval_scenario::CleanBattleManagers();
    records.clear();
    naval_scenario::EndFixedStep();
    ScriptBindingFixture::ReleaseAfterEntities();
  }

  ShipEntity* MakeShip(const char* key, int nation, const VisVector_cl& at) {
    auto* s = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", at));
    s->SetEntityKey(key);
    s->SetNation(nation);
    records.push_back(std::make_unique<ShipStats>());
    records.back()->SetShipNation(nation);
    s->SetStats(records.back().get());
    GameManager::GetInstance()->GetNation(nation)->AddShip(s);
    return s;
  }
  static void Frames(int n) {
    for (int i = 0; i < n; ++i) naval_scenario::Frame();
  }
  bool Fails(const std::string& code, const char* message) {
    const std::string error = Run(code);
    return error.find(message) != std::string::npos;
  }

  ShipEntity* ship = nullptr;
  AIShipComponent* ai = nullptr;
  std::vector<std::unique_ptr<ShipStats>> records;
};

TEST_F(AIShipBindingsTest, ModesAndSwitches) {
  EXPECT_TRUE(Bool("ai:IsInIdleMode()"));
  struct Case {
    const char* code;
    int mode;
    int nation;
  };
  // An attack nation above -2 is taken; without one (or -2) the old one stays.
  const Case cases[] = {
      {"ai:AttackMode(1)", 0, 1},    {"ai:AttackMode()", 0, 1},    {"ai:AttackMode(-2)", 0, 1},
      {"ai:AttackMode(-1)", 0, -1},  {"ai:AttackMode(0)", 0, 0},   {"ai:SailingMode()", 4, 0},
      {"ai:IdleMode()", 5, -1},      {"ai:SailingMode()", 4, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.code), "") << c.code;
    EXPECT_EQ(ai->GetAIMode(), c.mode) << c.code;
    EXPECT_EQ(ai->GetAttackTargetNation(), c.nation) << c.code;
    EXPECT_EQ(Bool("ai:IsInAttackMode()"), c.mode == 0) << c.code;
    EXPECT_EQ(Bool("ai:IsInSailingMode()"), c.mode == 4) << c.code;
    EXPECT_EQ(Bool("ai:IsInIdleMode()"), c.mode == 5) << c.code;
  }

  EXPECT_EQ(Run("ai:SetLifeTime(3.5) ai:SetCoward(false) ai:SetCanRemove(true) ai:SetOnManualPath(true)"), "");
  EXPECT_EQ(ai->GetLifeTime(), 3.5f);
  EXPECT_FALSE(ai->IsCoward());
  EXPECT_TRUE(Bool("ai:CanRemove()"));
  EXPECT_TRUE(ai->IsOnManualPath());
  EXPECT_EQ(Run("ai:SetCanRemove(false) ai:SetOnManualPath(false)"), "");
  EXPECT_FALSE(Bool("ai:CanRemove()"));
  EXPECT_FALSE(ai->IsOnManualPath());
}

TEST_F(AIShipBindingsTest, ScriptTargetsTownsAndTurning) {
  Write("scripts/guard.lua", "function OnThink() end\n");
  EXPECT_EQ(String("ai:GetScript()"), "");
  EXPECT_EQ(Run("ai:SetScript('scripts/guard.lua')"), "");
  EXPECT_EQ(String("ai:GetScript()"), "scripts/guard.lua");
  EXPECT_NE(Vision::GetScriptManager()->GetScriptInstance(ship), nullptr);
  EXPECT_EQ(Run("ai:RemoveScript()"), "");
  EXPECT_EQ(String("ai:GetScript()"), "");
  EXPECT_EQ(Vision::GetScriptManager()->GetScriptInstance(ship), nullptr);

  // Turning: message 9 with the yaw towards the point.
  auto* log = new MessageRecorder();
  ship->AddComponent(log);
  EXPECT_EQ(Run("ai:TurnTo(Vector(0, 10, 0))"), "");
  ASSERT_EQ(log->Count(VIS_MSG_USER_SHIP_SETCURRENTHEADING), 1);
  EXPECT_NEAR(*reinterpret_cast<const float*>(log->firstParameters.back()), 90.0f, 1e-3f);

  // Targets: the closest ship of a nation, or one named.
  ShipEntity* near = MakeShip("Near", 1, VisVector_cl(30, 0, 0));
  MakeShip("Far", 1, VisVector_cl(90, 0, 0));
  SetGlobalObject("near", near);
  EXPECT_TRUE(Bool("ai:GetTargetShip() == nil"));
  EXPECT_EQ(Number("ai:SelectTargetShip(1):GetNation()"), 1.0);
  EXPECT_EQ(Run("ai:SetTargetEntity(near)"), "");
  EXPECT_EQ(ai->GetTargetShip(), near);
  EXPECT_EQ(Number("ai:GetTargetShip():GetNation()"), 1.0);
  // With a path component the entity is where the path leads.
  auto* path = new ShipPathComponent();
  ship->AddComponent(path);
  EXPECT_EQ(Run("ai:SetTargetEntity(near, false)"), "");
  ASSERT_NE(path->GetLastNode(), nullptr);
  EXPECT_TRUE(path->GetLastNode()->GetPosition().IsEqual(VisVector_cl(30, 0, 0), 1e-3f));

  auto* town = static_cast<TownEntity*>(Vision::Game.CreateEntity("TownEntity", VisVector_cl(0, 100, 0)));
  SetGlobalObject("town", town);
  EXPECT_EQ(Run("ai:EnterTown()"), "");  // no town yet: nothing
  EXPECT_EQ(Run("ai:SetTargetTown(town)"), "");
  EXPECT_EQ(ai->GetTargetTown(), town);
  EXPECT_TRUE(path->GetLastNode()->GetPosition().IsEqual(VisVector_cl(0, 75, 0), 1e-3f));

  ai->SetAIMode(AIShipComponent::AIMODE_SAILING);
  EXPECT_EQ(Run("ai:MakeAttackDecision(10, 100)"), "");
  EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_SAILING);
}

TEST_F(AIShipBindingsTest, WrongArgumentsAreReported) {
  SetGlobalObject("plain", Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0)));
  struct Case {
    const char* code;
    const char* error;
  };
  const Case cases[] = {
      {"ai.IdleMode(nil)", "Expected native object of type AIShipComponent*"},
      {"ai.IdleMode(ship)", "Expected native object of type AIShipComponent*"},
      {"ai:SetScript({})", "Expected const char*"},
      {"ai:SetLifeTime('soon')", "Expected float"},
      {"ai:MakeAttackDecision(10)", "Expected int"},
      {"ai:MakeAttackDecision('far', 5)", "Expected float"},
      {"ai:TurnTo(3)", "Expected VisVector_cl"},
      {"ai:SetTargetTown(plain)", "Expected native object of type TownEntity*"},
      {"ai:SetCoward(1)", "Expected bool"},
      {"ai:SetCanRemove('yes')", "Expected bool"},
      {"ai:SetOnManualPath()", "Expected bool"},
      {"ai:SetTargetEntity(5)", "Expected native object of type VisBaseEntity_cl*"},
      {"ai:SelectTargetShip()", "Expected int"},
  };
  for (const Case& c : cases) EXPECT_TRUE(Fails(c.code, c.error)) << c.code << ": " << Run(c.code);
}

TEST_F(AIShipBindingsTest, ShipMethodsOrderTheAIAbout) {
  ShipEntity* prey = MakeShip("Prey", 1, VisVector_cl(0, 60, 0));
  auto* log = new MessageRecorder();
  ship->AddComponent(log);
  EXPECT_EQ(Run("ship:ShipAttack(1)"), "");
  EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_ATTACK);
  Frames(1);
  EXPECT_EQ(ai->GetTargetShip(), prey);
  ASSERT_EQ(log->Count(VIS_MSG_USER_SHIP_SETTARGETHEADING), 1);
  EXPECT_NEAR(ai->GetHeading(), 90.0f, 1e-3f);

  EXPECT_EQ(Run("ship:ShipIdle()"), "");
  EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_IDLE);
  EXPECT_EQ(ai->GetAttackTargetNation(), -1);
  Frames(3);
  EXPECT_EQ(ai->GetTargetShip(), nullptr);

  ai->SetOnManualPath(true);
  EXPECT_EQ(Run("ship:StartSailing()"), "");
  EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_SAILING);
  EXPECT_FALSE(ai->IsOnManualPath());
  Frames(3);
  // Full sails for the chase, none while idle, full again under way.
  EXPECT_EQ(log->Count(VIS_MSG_USER_SHIP_NOSAILS), 1);
  EXPECT_EQ(log->Count(VIS_MSG_USER_SHIP_FULLSAILS), 2);
  EXPECT_EQ(ai->GetSailMode(), 2);
}

class ShipPathBindingsTest : public AIShipBindingsTest {
 protected:
  void SetUp() override {
    AIShipBindingsTest::SetUp();
    if (HasFatalFailure()) return;
    path = new ShipPathComponent();
    ship->AddComponent(path);
    SetGlobalObject("path", static_cast<IVObjectComponent*>(path));
    loop = new VisPath_cl();
    for (const VisVector_cl& p : {VisVector_cl(0, 0, 0), VisVector_cl(100, 0, 0), VisVector_cl(100, 100, 0)})
      loop->AddPathNode(VisPathNode_cl(p, VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0)));
    Vision::Game.AddScenePath(loop);
    SetGlobalObject("loop", loop);
  }

  ShipPathComponent* path = nullptr;
  VisPath_cl* loop = nullptr;
};

TEST_F(ShipPathBindingsTest, ScriptWaypointsPutTheAIOnAManualCourse) {
  for (const char* function : {"AddWaypoint", "AddWaypointWithPathfind"}) {
    SCOPED_TRACE(function);
    ai->SetAIMode(AIShipComponent::AIMODE_IDLE);
    ai->SetOnManualPath(false);
    const size_t before = path->GetAddedPositions().size();
    EXPECT_EQ(Run(std::string("path:") + function + "(Vector(10, 20, 0))"), "");
    EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_GOTO_TOWN);
    EXPECT_TRUE(ai->IsOnManualPath());
    ASSERT_GT(path->GetAddedPositions().size(), before);
    EXPECT_TRUE(path->GetAddedPositions().back().IsEqual(VisVector_cl(10, 20, 0), 1e-3f));
  }
}

TEST_F(ShipPathBindingsTest, FollowingAScenePathTakesTwentyStepsUnlessTheStepIsTooSmall) {
  EXPECT_TRUE(Bool("path:ShipFollowPath(loop)"));
  EXPECT_EQ(path->GetAddedPositions().size(), 20u);
  // A step of 0 or less would sample the path without end: refused.
  EXPECT_FALSE(Bool("path:ShipFollowPath(loop, 0)"));
  EXPECT_FALSE(Bool("path:ShipFollowPath(loop, -0.1)"));
  EXPECT_EQ(path->GetAddedPositions().size(), 20u);
  EXPECT_TRUE(Bool("path:ShipFollowPath(loop, 0.25)"));
  EXPECT_EQ(path->GetAddedPositions().size(), 24u);

  struct Case {
    const char* code;
    const char* error;
  };
  const Case cases[] = {
      {"path.AddWaypoint(ai, Vector(0, 0, 0))", "Expected native object of type ShipPathComponent*"},
      {"path:AddWaypoint(3)", "Expected VisVector_cl"},
      {"path:AddWaypointWithPathfind()", "Expected VisVector_cl"},
      {"path:ShipFollowPath(ship)", "Expected native object of type VisPath_cl*"},
  };
  for (const Case& c : cases) EXPECT_TRUE(Fails(c.code, c.error)) << c.code << ": " << Run(c.code);
}

}  // namespace
