// The computer's unit components: the NPC unit's patrol along its path, moving on
// only when most of its soldiers stand idle, and the AI's line of sight.
#include "code/entities/SoldierFixture.h"

#include "components/AIUnitComponent.h"
#include "components/NPCUnitComponent.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "entities/FSM/IdleState.h"
#include "entities/FSM/WalkState.h"
#include "entities/UnitEntity.h"
#include "util/ComponentSetup.h"

#include "support/MessageRecorder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class UnitAIComponentsTest : public SoldierFixture {
 protected:
  void TearDown() override {
    Vision::Game.RemoveAllScenePaths();
    GameManager::CleanInstance();
    SoldierFixture::TearDown();
  }
  UnitEntity* MakeUnit(int soldiers) {
    auto* unit = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0)));
    for (int i = 0; i < soldiers; ++i) {
      SoldierEntity* soldier = MakeSoldier(VisVector_cl((float)i, 0, 0));
      soldier->CreateStateMachine(STATE_IDLE);
      unit->AddSoldier(soldier);
    }
    return unit;
  }
  static VisPath_cl* MakePath(const std::vector<VisVector_cl>& points) {
    VisPath_cl* path = new VisPath_cl((int)points.size(), false);
    path->SetObjectKey("Patrol");
    for (const VisVector_cl& p : points)
      path->AddPathNode(VisPathNode_cl(p, VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0)));
    Vision::Game.AddScenePath(path);
    return path;
  }
  // The first idle soldiers stay idle, the rest walk.
  static void SetIdle(UnitEntity* unit, int idle) {
    for (int i = 0; i < unit->GetNumSoldiers(); ++i)
      unit->GetSoldierAtIndex(i)->GetStateMachine()->SetCurrentState(
          i < idle ? (State<SoldierEntity>*)IdleState::GetInstance() : WalkState::GetInstance());
  }
  static VisVector_cl BoxCentre(UnitEntity* unit) {
    const SelectionBox& box = unit->GetUnitTargetBox();
    return (box.GetPoint(0) + box.GetPoint(2)) * 0.5f;
  }
};

TEST_F(UnitAIComponentsTest, NpcUnitPatrolsItsPathRoundOnlyWhenMoreThanHalfItsSoldiersIdle) {
  UnitEntity* unit = MakeUnit(4);
  auto* npc = ComponentSetup::AddNew<NPCUnitComponent>(unit);
  ASSERT_NE(npc, nullptr);
  const std::vector<VisVector_cl> nodes = {{10, 0, 0}, {10, 10, 0}, {0, 10, 0}};
  npc->SetFollowPath(MakePath(nodes));
  std::vector<MessageRecorder*> logs;
  for (SoldierEntity* s : unit->GetSoldiers()) {
    logs.push_back(new MessageRecorder());
    s->AddComponent(logs.back());
  }

  // Two of four idle is only half: the unit waits.
  SetIdle(unit, 2);
  npc->Update();
  EXPECT_EQ(npc->GetCurrentNode(), 0);
  EXPECT_EQ(logs[0]->Count(VIS_MSG_USER_UNIT_MOVE), 0);
  EXPECT_FALSE(unit->GetUnitTargetBox().IsValid());

  // Three idle: every soldier is stopped, then sent; the nodes come round 0, 1, 2, 0.
  const int expected[] = {0, 1, 2, 0};
  for (int step = 0; step < 4; ++step) {
    SCOPED_TRACE(step);
    SetIdle(unit, 3);
    npc->Update();
    EXPECT_TRUE(BoxCentre(unit).IsEqual(nodes[(size_t)expected[step]], 1e-3f));
    for (MessageRecorder* log : logs) {
      EXPECT_EQ(log->Count(VIS_MSG_USER_UNIT_DESTINATION_REACHED), step + 1);
      EXPECT_EQ(log->Count(VIS_MSG_USER_UNIT_MOVE), step + 1);
    }
  }
  // The stop comes before the move.
  EXPECT_EQ(logs[0]->ids[0], VIS_MSG_USER_UNIT_DESTINATION_REACHED);
}

TEST_F(UnitAIComponentsTest, NpcUnitWithoutAPathOrSoldiersStaysPut) {
  UnitEntity* empty = MakeUnit(0);
  auto* npc = ComponentSetup::AddNew<NPCUnitComponent>(empty);
  npc->SetFollowPath(MakePath({{5, 0, 0}}));
  npc->Update();
  EXPECT_FALSE(empty->GetUnitTargetBox().IsValid());

  UnitEntity* unit = MakeUnit(1);
  auto* pathless = ComponentSetup::AddNew<NPCUnitComponent>(unit);
  pathless->Update();
  EXPECT_EQ(pathless->GetCurrentNode(), 0);
  EXPECT_FALSE(unit->GetUnitTargetBox().IsValid());
}

TEST_F(UnitAIComponentsTest, NpcTextIsShownInYellowAboveTheUnitWhileItsTimerRunsDown) {
  UnitEntity* unit = MakeUnit(0);
  unit->SetPosition(VisVector_cl(3, 4, 5));
  auto* npc = ComponentSetup::AddNew<NPCUnitComponent>(unit);
  npc->SetSpeechText(std::string(300, 'a').c_str());
  EXPECT_EQ(std::string(npc->GetSpeechText()).size(), 255u);  // cut to the buffer
  npc->SetSpeechText("Ahoy");
  npc->SetSpeechTimer(1.0f);
  Vision::Message.ClearFrame();
  npc->UpdateTalking();
  const auto& shown = Vision::Message.GetFrameEntries();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].kind, VisMessage_cl::Entry::Print3D);
  EXPECT_EQ(shown[0].text, "Ahoy");
  EXPECT_FLOAT_EQ(shown[0].z, 7.0f);
  EXPECT_EQ(shown[0].colour, 0xFFFF00FFu);
  EXPECT_FLOAT_EQ(npc->GetSpeechTimer(), 1.0f - Vision::Timer.GetTimeDifference());
  Vision::Message.ClearFrame();
}

TEST_F(UnitAIComponentsTest, EnemyIsSeenOnlyOverAFreeLineAndNeverThePlayerUnderTheArtifact) {
  UnitEntity* unit = MakeUnit(0);
  auto* ai = ComponentSetup::AddNew<AIUnitComponent>(unit);
  ASSERT_NE(ai, nullptr);
  SoldierEntity* soldier = MakeSoldier(VisVector_cl(0, 0, 0));
  SoldierEntity* enemy = MakeSoldier(VisVector_cl(10, 0, 0));
  for (SoldierEntity* s : {soldier, enemy}) s->SetTraceAccuracy(VIS_TRACEACC_AABOX);

  EXPECT_FALSE(ai->CheckEnemyVisible(nullptr, enemy));
  EXPECT_FALSE(ai->CheckEnemyVisible(soldier, nullptr));
  // The two themselves never block the line.
  EXPECT_TRUE(ai->CheckEnemyVisible(soldier, enemy));
  SoldierEntity* wall = MakeSoldier(VisVector_cl(5, 0, 0));
  wall->SetTraceAccuracy(VIS_TRACEACC_AABOX);
  EXPECT_FALSE(ai->CheckEnemyVisible(soldier, enemy));
  // Over the wall's head (1.8) the eye line (1.5 up) is free again.
  wall->SetPosition(VisVector_cl(5, 0, -0.5f));
  EXPECT_TRUE(ai->CheckEnemyVisible(soldier, enemy));

  // The player's character on land, in the open, hidden by artifact 33 only.
  RtsManager::GlobalManager().OneTimeInit();
  GameManager::GetInstance()->SetLocation(1);
  auto* playerUnit = new UnitEntity();
  playerUnit->SetEntityKey("PlayerCharacter");
  playerUnit->SetNation(RtsManager::GlobalManager().GetPlayerNation());
  playerUnit->SetPosition(VisVector_cl(0, 10, 0));
  BaseEntityDataObject created(&GameManager::Callbacks.OnUnitCreated, playerUnit);
  GameManager::Callbacks.OnUnitCreated.TriggerCallbacks(&created);
  ASSERT_EQ(GameManager::GetInstance()->GetPlayerEntity(), playerUnit);
  EXPECT_TRUE(ai->CheckEnemyVisible(soldier, playerUnit));
  ArtifactManager::GetInstance()->ActivateArtifact(AIUnitComponent::ARTIFACT_UNSEEN, 0.0f, 1.0f, "", 0.0f);
  EXPECT_FALSE(ai->CheckEnemyVisible(soldier, playerUnit));
  EXPECT_TRUE(ai->CheckEnemyVisible(soldier, enemy));
  Vision::Game.RemoveAllEntities();
  RtsManager::GlobalManager().OneTimeDeInit();
}

TEST_F(UnitAIComponentsTest, BothComponentsBelongOnUnitsOnly) {
  SoldierEntity* soldier = MakeSoldier();
  for (IVObjectComponent* c : {(IVObjectComponent*)new AIUnitComponent(), (IVObjectComponent*)new NPCUnitComponent()}) {
    VString reason;
    EXPECT_FALSE(c->CanAttachToObject(soldier, reason));
    EXPECT_STREQ(reason.AsChar(), "Component can only be added to instances of UnitEntity or derived classes.");
    c->DisposeObject();
  }
}

}  // namespace
