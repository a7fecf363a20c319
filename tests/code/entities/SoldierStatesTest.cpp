// The soldier states: their allowed transitions, the animations they start, orders
// arriving through the global state, follow-up states and time limits (standing still
// while the game is paused), the script-driven family and its animation events.
#include "SoldierFixture.h"

#include "components/AttackComponent.h"
#include "components/InfantryMovementComponent.h"
#include "components/RagdollComponent.h"
#include "core/ComponentMessages.h"
#include "entities/FSM/AttackState.h"
#include "entities/FSM/DieState.h"
#include "entities/FSM/DizzyState.h"
#include "entities/FSM/GlobalStateSoldier.h"
#include "entities/FSM/IdleState.h"
#include "entities/FSM/State_Attack.h"
#include "entities/FSM/State_Idle.h"
#include "entities/FSM/State_Walk.h"
#include "entities/FSM/StrafeState.h"
#include "entities/FSM/WalkState.h"
#include "entities/FSM/WalkToAttackState.h"
#include "entities/FSM/WalkToCollectState.h"
#include "entities/UnitEntity.h"

#include "engine/physics/vPhysXCharacterController.h"

#include <gtest/gtest.h>

namespace {

typedef State<SoldierEntity> S;

class SoldierStatesTest : public SoldierFixture {
 protected:
  // A soldier of the built-in family, able to walk and to fight within range.
  SoldierEntity* MakeFighter(float range = 5.0f) {
    SoldierEntity* soldier = MakeSoldier();
    m_movement = new InfantryMovementComponent();
    EXPECT_TRUE(soldier->AddComponent(m_movement));
    m_attack = new AttackComponent();
    m_attack->SetRange(range);
    EXPECT_TRUE(soldier->AddComponent(m_attack));
    soldier->CreateStateMachine(STATE_IDLE);
    return soldier;
  }
  InfantryMovementComponent* m_movement = nullptr;
  AttackComponent* m_attack = nullptr;
};

TEST_F(SoldierStatesTest, TransitionListsInTheirOrder) {
  S* idle = IdleState::GetInstance();
  S* walk = WalkState::GetInstance();
  S* strafe = StrafeState::GetInstance();
  S* toAttack = WalkToAttackState::GetInstance();
  S* toCollect = WalkToCollectState::GetInstance();
  S* attack = AttackState::GetInstance();
  S* die = DieState::GetInstance();
  S* dizzy = DizzyState::GetInstance();
  S* sIdle = State_Idle::GetInstance();
  S* sWalk = State_Walk::GetInstance();
  S* sAttack = State_Attack::GetInstance();
  const std::vector<S*> walkList = {idle, attack, die, toAttack, toCollect, walk, strafe, dizzy};
  std::vector<S*> toAttackList = walkList;
  for (S* s : {idle, walk, attack, die, toAttack, toCollect, dizzy}) toAttackList.push_back(s);
  struct Case {
    const char* name;
    S* state;
    std::vector<S*> allowed;
  };
  const Case cases[] = {
      {"IdleState", idle, {walk, toAttack, toCollect, attack, die, strafe, dizzy}},
      {"WalkState", walk, walkList},
      {"StrafeState", strafe, {idle, attack, die, toAttack, toCollect, walk, dizzy}},
      {"WalkToAttackState", toAttack, toAttackList},
      {"WalkToCollectState", toCollect, toAttackList},
      {"AttackState", attack, {walk, toAttack, toCollect, idle, die, dizzy}},
      {"DizzyState", dizzy, {idle, die, sIdle}},
      {"State_Idle", sIdle, {sWalk, sAttack, die, dizzy}},
      {"State_Walk", sWalk, {sIdle, sAttack, die, dizzy}},
      {"State_Attack", sAttack, {sWalk, sIdle, die, dizzy}},
      {"DieState", die, {}},
      {"GlobalStateSoldier", GlobalStateSoldier::GetInstance(), {}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.state->GetTransitions(), c.allowed) << c.name;
}

TEST_F(SoldierStatesTest, CreateStateMachinePicksTheFamily) {
  SoldierEntity* builtIn = MakeSoldier();
  builtIn->CreateStateMachine(STATE_IDLE);
  StateMachine<SoldierEntity>* machine = builtIn->GetStateMachine();
  ASSERT_NE(machine, nullptr);
  EXPECT_EQ(machine->GetCurrentState(), IdleState::GetInstance());
  EXPECT_EQ(machine->GetPreviousState(), IdleState::GetInstance());
  EXPECT_EQ(machine->GetFollowUpState(), IdleState::GetInstance());
  EXPECT_EQ(machine->GetGlobalState(), GlobalStateSoldier::GetInstance());
  EXPECT_EQ(builtIn->GetStateType(), STATE_IDLE);
  EXPECT_EQ(builtIn->GetCurrentStateName(), "DEPRECATED Idle");
  EXPECT_EQ(Playing(builtIn), "Idle");

  SoldierEntity* scripted = MakeSoldier();
  scripted->CreateStateMachine(STATE_WALK);
  EXPECT_EQ(Current(scripted), State_Idle::GetInstance());
  EXPECT_EQ(scripted->GetStateMachine()->GetFollowUpState(), State_Idle::GetInstance());
  EXPECT_EQ(scripted->GetCurrentStateName(), "Idle");
  EXPECT_EQ(scripted->GetStateType(), STATE_IDLE);
  EXPECT_EQ(Playing(scripted), "Idle");

  // The names of the other states.
  scripted->GetStateMachine()->SetCurrentState(StrafeState::GetInstance());
  EXPECT_EQ(scripted->GetCurrentStateName(), "[unknown state]");
  scripted->GetStateMachine()->SetCurrentState(AttackState::GetInstance());
  EXPECT_EQ(scripted->GetCurrentStateName(), "Fight");
  EXPECT_EQ(MakeSoldier()->GetCurrentStateName(), "[no state machine]");
}

TEST_F(SoldierStatesTest, WithoutAStateMachineOrdersAreIgnored) {
  SoldierEntity* soldier = MakeSoldier();
  soldier->AddComponent(new InfantryMovementComponent());
  VisVector_cl target(10, 0, 0);
  for (int id : {VIS_MSG_USER_UNIT_MOVE, VIS_MSG_USER_UNIT_ATTACK_ORDER, VIS_MSG_USER_UNIT_ATTACKED, VIS_MSG_USER_UNIT_DIE})
    soldier->SendMsg(id, (INT_PTR)&target, 0);
  EXPECT_EQ(soldier->GetStateType(), STATE_NONE);
  EXPECT_EQ(Playing(soldier), "");
  EXPECT_FALSE(soldier->GetMovementComponent()->IsMoving());
}

TEST_F(SoldierStatesTest, MoveOrdersWalkAndArrivalIdles) {
  SoldierEntity* soldier = MakeFighter();
  VisVector_cl target(0, 10, 0);
  soldier->SendMsg(VIS_MSG_USER_UNIT_MOVE, (INT_PTR)&target, 0);
  EXPECT_EQ(Current(soldier), WalkState::GetInstance());
  EXPECT_EQ(soldier->GetStateType(), STATE_WALK);
  EXPECT_EQ(Playing(soldier), "Run");
  EXPECT_TRUE(m_movement->GetTarget() == target);
  EXPECT_TRUE(m_movement->IsMoving());
  EXPECT_TRUE((-soldier->GetRotationMatrix().GetColumn(1)).IsEqual(VisVector_cl(0, 1, 0), 1e-4f)) << "faces it";

  // A second order re-enters the walk without restarting the run.
  VisSkeletalAnimControl_cl* run = soldier->GetAnimConfig()->GetSkeletalAnimControl();
  VisVector_cl other(5, 5, 0);
  soldier->SendMsg(VIS_MSG_USER_UNIT_MOVE, (INT_PTR)&other, 0);
  EXPECT_EQ(Current(soldier), WalkState::GetInstance());
  EXPECT_EQ(soldier->GetAnimConfig()->GetSkeletalAnimControl(), run);
  EXPECT_TRUE(m_movement->GetTarget() == other);

  soldier->SendMsg(VIS_MSG_USER_UNIT_DESTINATION_REACHED, 0, 0);
  EXPECT_EQ(Current(soldier), IdleState::GetInstance());
  EXPECT_EQ(Playing(soldier), "Idle");

  // Walking is not allowed from the die and dizzy states.
  for (S* stuck : {(S*)DieState::GetInstance(), (S*)DizzyState::GetInstance()}) {
    soldier->GetStateMachine()->SetCurrentState(stuck);
    soldier->SendMsg(VIS_MSG_USER_UNIT_MOVE, (INT_PTR)&target, 0);
    EXPECT_EQ(Current(soldier), stuck);
  }
}

TEST_F(SoldierStatesTest, AttackOrdersFightWithinRangeAndWalkOutsideIt) {
  SoldierEntity* near = MakeFighter(5.0f);
  SoldierEntity* enemy = MakeSoldier(VisVector_cl(3, 0, 0));
  VisVector_cl at = enemy->GetPosition();
  near->SendMsg(VIS_MSG_USER_UNIT_ATTACK_ORDER, (INT_PTR)&at, (INT_PTR)enemy);
  EXPECT_EQ(Current(near), AttackState::GetInstance());
  EXPECT_EQ(near->GetStateType(), STATE_ATTACK);
  EXPECT_EQ(Playing(near), "Attack");
  EXPECT_EQ(m_attack->GetAttackTarget(), enemy);

  SoldierEntity* far = MakeFighter(2.0f);
  far->SendMsg(VIS_MSG_USER_UNIT_ATTACK_ORDER, (INT_PTR)&at, (INT_PTR)enemy);
  EXPECT_EQ(Current(far), WalkToAttackState::GetInstance());
  EXPECT_EQ(Playing(far), "Run");
  far->SendMsg(VIS_MSG_USER_UNIT_TARGET_IN_RANGE, 0, 0);
  EXPECT_EQ(Current(far), AttackState::GetInstance());
  // Stopping ends the fight and the attack component is ready again.
  far->SendMsg(VIS_MSG_USER_UNIT_STOP, 0, 0);
  EXPECT_EQ(Current(far), IdleState::GetInstance());
  EXPECT_TRUE(m_attack->IsReadyForTarget());
  EXPECT_EQ(m_attack->GetAttackTarget(), nullptr);
}

// A fighter whose target is out of reach walks after it: leaving the fight must not
// make him forget the target or the enemy unit (which picks his next soldier later).
TEST_F(SoldierStatesTest, OutOfRangeTheFighterWalksOnKeepingTargetAndUnit) {
  struct Case {
    const char* what;
    int message;
  };
  for (const Case c : {Case{"new target", VIS_MSG_USER_UNIT_NEW_TARGET}, Case{"move closer", VIS_MSG_USER_UNIT_MOVE_CLOSER}}) {
    SCOPED_TRACE(c.what);
    SoldierEntity* soldier = MakeFighter(2.0f);
    auto* enemies = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(8, 0, 0)));
    enemies->SetNation(2);
    SoldierEntity* near = MakeSoldier(VisVector_cl(1, 0, 0));
    SoldierEntity* far = MakeSoldier(VisVector_cl(8, 0, 0));
    enemies->AddSoldier(far);
    VisVector_cl at = near->GetPosition();
    soldier->SendMsg(VIS_MSG_USER_UNIT_ATTACK_ORDER, (INT_PTR)&at, (INT_PTR)enemies);
    m_attack->SetReadyForTarget(true);
    m_attack->SetAttackTarget(near);
    ASSERT_EQ(m_attack->GetAttackTarget(), near);
    ASSERT_EQ(Current(soldier), AttackState::GetInstance());
    ASSERT_EQ(m_attack->GetAttackTargetUnit(), enemies);

    if (c.message == VIS_MSG_USER_UNIT_NEW_TARGET) {
      m_attack->SetReadyForTarget(true);  // as after the last target fell
      soldier->SendMsg(c.message, (INT_PTR)(VisBaseEntity_cl*)enemies, 0);
    } else {
      near->SetPosition(VisVector_cl(6, 0, 0));
      soldier->SendMsg(c.message, (INT_PTR)&near->GetPosition(), 0);
    }
    EXPECT_EQ(Current(soldier), WalkToAttackState::GetInstance());
    EXPECT_EQ(m_attack->GetAttackTarget(), c.message == VIS_MSG_USER_UNIT_NEW_TARGET ? far : near);
    EXPECT_EQ(m_attack->GetAttackTargetUnit(), enemies);
  }
}

TEST_F(SoldierStatesTest, AnOrderAgainstAUnitOfNationZeroBecomesAWalk) {
  SoldierEntity* soldier = MakeFighter(2.0f);
  auto* civilians = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(20, 0, 0)));
  VisVector_cl at(20, 0, 0);
  soldier->SendMsg(VIS_MSG_USER_UNIT_ATTACK_ORDER, (INT_PTR)&at, (INT_PTR)civilians);
  EXPECT_EQ(Current(soldier), WalkState::GetInstance());
  EXPECT_EQ(m_attack->GetAttackTargetUnit(), nullptr);

  auto* pirates = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(20, 0, 0)));
  pirates->SetNation(2);
  soldier->SendMsg(VIS_MSG_USER_UNIT_ATTACK_ORDER, (INT_PTR)&at, (INT_PTR)pirates);
  EXPECT_EQ(Current(soldier), WalkToAttackState::GetInstance());
  EXPECT_EQ(m_attack->GetAttackTargetUnit(), pirates);
}

// A stun of 2.0 s: the follow-up state after the fifth frame of 0.5 s, the clock
// standing still while the game is paused, and no second stun on top.
TEST_F(SoldierStatesTest, DizzinessLastsItsTimeUnlessPaused) {
  struct Case {
    StateType family;
    S* followUp;
  };
  for (const Case& c : {Case{STATE_IDLE, IdleState::GetInstance()}, Case{STATE_WALK, State_Idle::GetInstance()}}) {
    SoldierEntity* soldier = MakeSoldier();
    soldier->InitCharacterController();
    ASSERT_NE(soldier->Components<vPhysXCharacterController>(), nullptr);
    soldier->CreateStateMachine(c.family);
    StateMachine<SoldierEntity>* machine = soldier->GetStateMachine();
    machine->ChangeState(DizzyState::GetInstance(), 2.0f);
    ASSERT_EQ(Current(soldier), DizzyState::GetInstance());
    EXPECT_EQ(soldier->GetStateType(), STATE_DIZZY);
    EXPECT_NE(soldier->Components<RagdollComponent>(), nullptr) << "limp";
    EXPECT_EQ(soldier->Components<vPhysXCharacterController>(), nullptr);

    Step(soldier, 0.5f);
    machine->ChangeState(DizzyState::GetInstance(), 10.0f);
    EXPECT_FLOAT_EQ(machine->GetRemainingTime(), 1.5f) << "a second stun is refused";

    PauseManager::GetInstance()->SetGamePause(true);
    for (int i = 0; i < 20; ++i) Step(soldier, 0.5f);
    EXPECT_FLOAT_EQ(machine->GetRemainingTime(), 1.5f);
    PauseManager::GetInstance()->SetGamePause(false);

    for (int i = 0; i < 3; ++i) Step(soldier, 0.5f);
    EXPECT_EQ(Current(soldier), DizzyState::GetInstance()) << "at 0.0 the time is not yet out";
    Step(soldier, 0.5f);
    EXPECT_EQ(Current(soldier), c.followUp);
    EXPECT_EQ(soldier->Components<RagdollComponent>(), nullptr);
    EXPECT_NE(soldier->Components<vPhysXCharacterController>(), nullptr) << "back on its feet";
    EXPECT_EQ(machine->GetRemainingTime(), StateMachine<SoldierEntity>::NO_TIME_LIMIT);
  }
}

TEST_F(SoldierStatesTest, TheDieStateTakesEverythingAndHasNoWayOut) {
  auto* unit = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0)));
  SoldierEntity* soldier = MakeFighter();
  unit->AddSoldier(soldier);
  soldier->SetParentUnit(unit);
  soldier->SetTraceAccuracy(VIS_TRACEACC_AABOX);
  soldier->SendMsg(VIS_MSG_USER_UNIT_DIE, 0, 0);
  EXPECT_EQ(Current(soldier), DieState::GetInstance());
  EXPECT_EQ(soldier->GetStateType(), STATE_DEAD);
  EXPECT_EQ(unit->GetNumSoldiers(), 0);
  EXPECT_EQ(soldier->GetParentUnit(), nullptr);
  EXPECT_EQ(soldier->GetComponentCount(), 1);
  RagdollComponent* ragdoll = soldier->Components<RagdollComponent>();
  ASSERT_NE(ragdoll, nullptr);
  EXPECT_EQ(ragdoll->GetLifeTime(), 10.0f);
  EXPECT_EQ(Playing(soldier), "Die");
  VisSkeletalAnimControl_cl* die = soldier->GetAnimConfig()->GetSkeletalAnimControl();
  EXPECT_FALSE(die->IsLooped());
  EXPECT_GE(die->GetSpeed(), 1.0f);
  EXPECT_LE(die->GetSpeed(), 2.0f);
  EXPECT_EQ(soldier->GetTraceAccuracy(), VIS_TRACEACC_NOCOLLISION);

  VisVector_cl target(5, 5, 0);
  for (int id : {VIS_MSG_USER_UNIT_MOVE, VIS_MSG_USER_UNIT_ATTACKED}) soldier->SendMsg(id, (INT_PTR)&target, 0);
  soldier->GetStateMachine()->ChangeState(DizzyState::GetInstance(), 1.0f);
  EXPECT_EQ(Current(soldier), DieState::GetInstance());
}

// The script-driven family plays the attack of the selected weapon set and hands its
// animation events to the script, with a noise for every blow.
TEST_F(SoldierStatesTest, ScriptedAttacksTellTheScript) {
  struct Case {
    int weapons;
    int select;
    const char* animation;
  };
  const Case cases[] = {{0, -1, "Attack1"}, {2, 1, "Attack2"}, {1, 0, "Attack1"}};
  for (const Case& c : cases) {
    SoldierEntity* soldier = MakeSoldier();
    GiveScript(soldier,
               "begun, second, after = 0, -1, 0\n"
               "function OnAttackBegin(self, s) begun = begun + 1; second = s end\n"
               "function OnAfterAttack(self) after = after + 1 end\n");
    for (int i = 0; i < c.weapons; ++i) soldier->AddWeapon(Weapon());
    MathTools::SetUseFixedRandom(true);
    MathTools::SetTestRandReturnMax(c.select > 0);
    soldier->CreateStateMachine(STATE_WALK);
    soldier->GetStateMachine()->ChangeState(State_Attack::GetInstance());
    ASSERT_EQ(Current(soldier), State_Attack::GetInstance());
    EXPECT_EQ(soldier->GetSelectedWeapon(), c.select);
    EXPECT_EQ(Playing(soldier), c.animation);
    EXPECT_EQ(soldier->GetStateType(), STATE_ATTACK);
    EXPECT_TRUE(soldier->GetAnimConfig()->GetFlags() & VANIMCFG_FLAG_REFRESH) << "message 166";

    int noises = 0;
    struct Counter : public IVisCallbackHandler_cl {
      int* n;
      void OnHandleCallback(IVisCallbackDataObject_cl*) override { ++*n; }
    } counter;
    counter.n = &noises;
    NoiseManagerProto::OnNoiseGenerated.RegisterCallback(&counter);
    // One pass of the sequence: the blow, then its end.
    Vision::Animations.Update(soldier->GetAnimConfig()->GetSkeletalAnimControl()->GetSequenceLength());
    NoiseManagerProto::OnNoiseGenerated.DeregisterCallback(&counter);
    int begun = 0, second = 0, after = 0;
    soldier->GetScriptValue("begun", begun);
    soldier->GetScriptValue("second", second);
    soldier->GetScriptValue("after", after);
    EXPECT_EQ(begun, 1) << c.animation;
    EXPECT_EQ(second, c.select == 1 ? 1 : 0) << c.animation;
    EXPECT_EQ(after, 1) << c.animation;
    EXPECT_EQ(noises, 1) << c.animation;
    Vision::Game.RemoveAllEntities();
  }
}

TEST_F(SoldierStatesTest, ScriptedWalkEndsWithoutATimeLimit) {
  SoldierEntity* soldier = MakeSoldier();
  soldier->CreateStateMachine(STATE_WALK);
  StateMachine<SoldierEntity>* machine = soldier->GetStateMachine();
  machine->ChangeState(State_Walk::GetInstance(), 3.0f);
  EXPECT_EQ(Playing(soldier), "Run");
  EXPECT_EQ(soldier->GetStateType(), STATE_WALK);
  soldier->SendMsg(VIS_MSG_USER_UNIT_DESTINATION_REACHED, 0, 0);
  EXPECT_EQ(Current(soldier), State_Idle::GetInstance());
  EXPECT_EQ(machine->GetRemainingTime(), -9999.0f);
  for (int i = 0; i < 10; ++i) Step(soldier);
  EXPECT_EQ(machine->GetRemainingTime(), -9999.0f);
}

}  // namespace
