// The generic state machine: changes only along declared transitions, the global
// state, timed states with their follow-up, and the pause.
#include "core/State.h"
#include "core/StateMachine.h"

#include "Managers/PauseManager.h"
#include "engine/base/VisTimer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Sailor {
  std::vector<std::string> log;
};

// Logs every call with its name.
class LoggingState : public State<Sailor> {
 public:
  explicit LoggingState(const char* name) : m_name(name) {}
  void Enter(Sailor* s) override { s->log.push_back(m_name + ":enter"); }
  void Execute(Sailor* s, float) override { s->log.push_back(m_name + ":execute"); }
  void Exit(Sailor* s) override { s->log.push_back(m_name + ":exit"); }

 private:
  std::string m_name;
};

class StateMachineTest : public ::testing::Test {
 protected:
  StateMachineTest() : idle("idle"), walk("walk"), dizzy("dizzy"), global("global"), fsm(&sailor) {
    idle.AddTransition(&walk);
    idle.AddTransition(&dizzy);
    walk.AddTransition(&idle);
    dizzy.AddTransition(&idle);
    fsm.SetCurrentState(&idle);
  }
  void TearDown() override { PauseManager::CleanInstance(); }

  LoggingState idle, walk, dizzy, global;
  Sailor sailor;
  StateMachine<Sailor> fsm;
};

TEST_F(StateMachineTest, ChangesFollowDeclaredTransitionsOnly) {
  EXPECT_TRUE(idle.HasTransition(&walk));
  EXPECT_FALSE(walk.HasTransition(&dizzy));
  EXPECT_FALSE(global.HasTransition(&idle)) << "an empty list allows nothing";

  Vision::Timer.SetTime(12.5f);
  fsm.ChangeState(&walk);
  EXPECT_EQ(fsm.GetCurrentState(), &walk);
  EXPECT_EQ(fsm.GetPreviousState(), &idle);
  EXPECT_FLOAT_EQ(fsm.GetEntryTime(), 12.5f);
  EXPECT_EQ(fsm.GetRemainingTime(), -999.0f);
  EXPECT_EQ(sailor.log, (std::vector<std::string>{"idle:exit", "walk:enter"}));

  // walk -> dizzy is not declared: nothing at all changes.
  sailor.log.clear();
  Vision::Timer.SetTime(20.0f);
  fsm.ChangeState(&dizzy, 3.0f);
  EXPECT_EQ(fsm.GetCurrentState(), &walk);
  EXPECT_EQ(fsm.GetPreviousState(), &idle);
  EXPECT_FLOAT_EQ(fsm.GetEntryTime(), 12.5f);
  EXPECT_EQ(fsm.GetRemainingTime(), -999.0f);
  EXPECT_TRUE(sailor.log.empty());
  Vision::Timer.SetTime(0.0f);
}

TEST_F(StateMachineTest, TheGlobalStateRunsBeforeTheCurrentOne) {
  fsm.SetGlobalState(&global);
  fsm.Update(0.1f);
  EXPECT_EQ(sailor.log, (std::vector<std::string>{"global:execute", "idle:execute"}));

  StateMachine<Sailor> ownerless(nullptr);
  ownerless.SetCurrentState(&idle);
  ownerless.SetGlobalState(&global);
  sailor.log.clear();
  ownerless.Update(0.1f);
  EXPECT_TRUE(sailor.log.empty());
}

TEST_F(StateMachineTest, TimedStateEndsInTheFollowUpOnTheFifthUpdate) {
  fsm.SetFollowUpState(&idle);
  fsm.ChangeState(&dizzy, 2.0f);
  EXPECT_EQ(fsm.GetRemainingTime(), 2.0f);
  for (int update = 1; update <= 4; ++update) {
    fsm.Update(0.5f);
    EXPECT_EQ(fsm.GetCurrentState(), &dizzy) << "update " << update;
  }
  EXPECT_EQ(fsm.GetRemainingTime(), 0.0f);
  fsm.Update(0.5f);
  EXPECT_EQ(fsm.GetCurrentState(), &idle);
  EXPECT_EQ(fsm.GetRemainingTime(), -999.0f) << "the follow-up has no limit";
}

TEST_F(StateMachineTest, PauseStopsTheClockButNotTheStates) {
  fsm.SetFollowUpState(&idle);
  fsm.ChangeState(&dizzy, 1.0f);
  PauseManager::GetInstance()->SetGamePause(true);
  sailor.log.clear();
  for (int i = 0; i < 10; ++i) fsm.Update(0.5f);
  EXPECT_EQ(fsm.GetRemainingTime(), 1.0f);
  EXPECT_EQ(fsm.GetCurrentState(), &dizzy);
  EXPECT_EQ(sailor.log.size(), 10u);

  PauseManager::GetInstance()->SetGamePause(false);
  PauseManager::GetInstance()->SetFullPause(true);
  fsm.Update(0.5f);
  EXPECT_EQ(fsm.GetRemainingTime(), 1.0f) << "the full pause stops it as well";
  PauseManager::GetInstance()->SetFullPause(false);
  fsm.Update(0.5f);
  EXPECT_EQ(fsm.GetRemainingTime(), 0.5f);
}

TEST_F(StateMachineTest, WithoutAFollowUpTheTimeRunsDownToTheNoLimitMark) {
  fsm.ChangeState(&dizzy, 2.0f);
  for (int i = 0; i < 2001; ++i) fsm.Update(0.5f);
  EXPECT_EQ(fsm.GetCurrentState(), &dizzy);
  EXPECT_EQ(fsm.GetRemainingTime(), -998.5f);
  fsm.Update(0.5f);
  EXPECT_EQ(fsm.GetRemainingTime(), -999.0f);
  fsm.Update(0.5f);
  EXPECT_EQ(fsm.GetRemainingTime(), -999.0f) << "no longer above the mark: it stops";
}

TEST_F(StateMachineTest, AnUndeclaredFollowUpIsTriedAgainButNeverEntered) {
  fsm.ChangeState(&walk, 1.0f);
  fsm.SetFollowUpState(&dizzy);  // walk does not lead to dizzy
  for (int i = 0; i < 10; ++i) fsm.Update(0.5f);
  EXPECT_EQ(fsm.GetCurrentState(), &walk);
  EXPECT_EQ(fsm.GetRemainingTime(), -4.0f);
  // Once it may, the next update takes it.
  walk.AddTransition(&dizzy);
  fsm.Update(0.5f);
  EXPECT_EQ(fsm.GetCurrentState(), &dizzy);
}

}  // namespace
