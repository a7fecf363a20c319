// Infantry movement: steering to the target and stopping there, planning anew when
// the target lies far away, the three probe rays around obstacles, soldiers of the
// same unit in the way, the hero's direct control, and the saved block.
#include "components/CarryComponent.h"
#include "components/InfantryMovementComponent.h"
#include "components/InfantryPathComponent.h"
#include "entities/CollectableEntity.h"
#include "entities/FSM/IdleState.h"
#include "entities/FSM/StrafeState.h"
#include "entities/FSM/WalkState.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "Managers/GameSessionManager.h"
#include "Managers/SaveGameManager.h"
#include "util/MathTools.h"

#include "support/ArchiveRoundTrip.h"
#include "support/ScratchDataFolder.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

using archive_test::ByteWriter;

const float kDt = 1.0f / 60.0f;

class InfantryMovementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Vision::World.UnloadWorld();
    Vision::World.SetFlatTerrain(0.0f);
    m_physics = std::make_unique<vPhysXModule>();
    vPhysXModule::SetInstance(m_physics.get());
    m_physics->SetPhysicsTickCount(60, 8);
    Vision::Timer.SetFixedTimeStep(kDt);
    Vision::Timer.Update();
    MathTools::SetGaussianRandomState(12345);
    soldier = MakeSoldier(VisVector_cl(0, 0, 0));
    movement = MovementOf(soldier);
  }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    Vision::World.UnloadWorld();
    Vision::World.ClearTerrain();
    m_physics.reset();
    vPhysXModule::SetInstance(nullptr);
    Vision::Timer.SetFixedTimeStep(0.0f);
    MathTools::SetGaussianRandomState(0);
    GameSessionManager::CleanInstance();
    SaveGameManagerProto::CleanInstance();
  }

  // A soldier with a character controller and a movement component of speed 3,
  // facing -y (its yaw 0).
  static SoldierEntity* MakeSoldier(const VisVector_cl& at) {
    auto* s = static_cast<SoldierEntity*>(Vision::Game.CreateEntity("SoldierEntity", at));
    s->InitCharacterController();
    auto* m = new InfantryMovementComponent();
    m->SetBaseSpeed(3.0f);
    EXPECT_TRUE(s->AddComponent(m));
    return s;
  }
  static InfantryMovementComponent* MovementOf(SoldierEntity* s) {
    return static_cast<InfantryMovementComponent*>(s->GetComponentOfType(InfantryMovementComponent::GetClassTypeId()));
  }
  static void AddBox(const VisVector_cl& centre, const VisVector_cl& size) {
    VisMatrix3x3_cl identity;
    identity.SetIdentity();
    Vision::World.AddStaticGeometryInstance(new VisStaticGeometryInstance_cl(centre, size, identity));
  }
  // One engine frame: the soldier's walk update, then the physics.
  void Frame() {
    Vision::Timer.Update();
    movement->Update();
    m_physics->OnRunPhysics(kDt);
    m_physics->FetchPhysicsResults();
  }
  // The direction the soldier faces (its local -y), in the plane.
  static VisVector_cl Facing(SoldierEntity* s) {
    VisVector_cl f = -s->GetRotationMatrix().GetColumn(1);
    f.z = 0;
    f.Normalize();
    return f;
  }

  std::unique_ptr<vPhysXModule> m_physics;
  SoldierEntity* soldier = nullptr;
  InfantryMovementComponent* movement = nullptr;
};

TEST_F(InfantryMovementTest, SoldierSteersToItsTargetAndStopsThere) {
  const VisVector_cl target(4, 3, 0);
  movement->SetTarget(target);
  int frames = 0;
  while (movement->IsMoving() && frames < 600) {
    Frame();
    ++frames;
  }
  EXPECT_FALSE(movement->IsMoving());
  EXPECT_GT(frames, 60);  // five units at three a second, turning first
  EXPECT_LE(soldier->GetPosition().GetDistance2D(target), InfantryMovementComponent::DEFAULT_REACH + 0.06f);
  // It came facing its target.
  VisVector_cl toTarget = target - soldier->GetPosition();
  toTarget.z = 0;
  toTarget.Normalize();
  EXPECT_GT(Facing(soldier).Dot(toTarget), 0.9f);
}

TEST_F(InfantryMovementTest, TargetBeyondTenUnitsIsPlannedAnewWithoutMoving) {
  auto* path = new InfantryPathComponent();
  ASSERT_TRUE(soldier->AddComponent(path));
  path->AddWaypoint(soldier->GetPosition(), false);
  path->AddWaypoint(VisVector_cl(0, -20, 0), false);

  movement->SetTarget(VisVector_cl(0, -10.5f, 0));
  const VisVector_cl before = soldier->GetPosition();
  Frame();
  EXPECT_LT(soldier->GetPosition().GetDistance2D(before), 1e-4f);
  // The path runs again from the soldier to its old end; its next node is the target now.
  EXPECT_EQ(path->GetEndPosition(), VisVector_cl(0, -20, 0));
  EXPECT_TRUE(movement->GetTarget().IsEqual(VisVector_cl(0, -5, 0), 1e-3f));

  // Ten units away the soldier steers as usual.
  soldier->RemoveComponent(path);
  path->DisposeObject();
  movement->SetTarget(VisVector_cl(0, -10, 0));
  Frame();
  Frame();
  EXPECT_LT(soldier->GetPosition().y, before.y - 0.01f);
  EXPECT_EQ(movement->GetTarget(), VisVector_cl(0, -10, 0));
}

TEST_F(InfantryMovementTest, ASoldierSentFarWithoutAPathGetsOneAndWalksThere) {
  ASSERT_EQ(soldier->GetPathComponent(), nullptr);
  const VisVector_cl goal(0, -20, 0);
  movement->SetTarget(goal);
  Frame();
  InfantryPathComponent* path = soldier->GetPathComponent();
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(path->GetEndPosition(), goal);
  EXPECT_LE(movement->GetTarget().GetDistance2D(soldier->GetPosition()), InfantryMovementComponent::REPLAN_DISTANCE);
  // It sets off along the path's first stretch (the walk state hands on the next).
  const VisVector_cl stretch = movement->GetTarget();
  for (int frames = 0; frames < 300 && movement->IsMoving(); ++frames) Frame();
  EXPECT_LT(soldier->GetPosition().GetDistance2D(stretch), 1.5f);  // the path's own reach
  EXPECT_LT(soldier->GetPosition().y, -3.0f);
}

TEST_F(InfantryMovementTest, SoldierGoesRoundAPostInItsWay) {
  // A post of 1 x 1 between the soldier and its target, five units ahead.
  AddBox(VisVector_cl(0, -3, 1), VisVector_cl(1, 1, 2));
  movement->SetTarget(VisVector_cl(0, -6, 0));
  float turned = 0.0f;
  for (int frame = 0; frame < 900 && movement->IsMoving(); ++frame) {
    Frame();
    const VisVector_cl p = soldier->GetPosition();
    // Never into the post: the capsule (radius 0.3) keeps its distance to the box.
    const float dx = std::max(0.0f, std::fabs(p.x) - 0.5f), dy = std::max(0.0f, std::fabs(p.y + 3.0f) - 0.5f);
    EXPECT_GE(std::sqrt(dx * dx + dy * dy), 0.25f) << frame << ": " << p.x << ", " << p.y;
    turned = std::max(turned, std::fabs(soldier->GetOrientation().x));
  }
  // The probes turned it aside, and it came out beyond the post (the avoidance drew
  // its target aside too, so it stops near, not at, the first target).
  EXPECT_GT(turned, 10.0f);
  EXPECT_FALSE(movement->IsMoving());
  EXPECT_LT(soldier->GetPosition().y, -3.5f);
  EXPECT_LT(soldier->GetPosition().GetDistance2D(VisVector_cl(0, -6, 0)), 2.5f);
}

TEST_F(InfantryMovementTest, ClosedInTheTargetIsMirroredThroughTheSoldier) {
  AddBox(VisVector_cl(0, -0.95f, 1), VisVector_cl(2.5f, 1.1f, 2));  // in reach of all three rays
  const VisVector_cl at = soldier->GetPosition();
  movement->SetTarget(VisVector_cl(1, -5, at.z));
  Frame();
  EXPECT_TRUE(movement->GetTarget().IsEqual(VisVector_cl(2 * at.x - 1, 2 * at.y + 5, at.z), 1e-4f));
  EXPECT_TRUE(movement->IsMoving());
}

TEST_F(InfantryMovementTest, BothSidesBlockedAndTheFrontClearWalksStraightOn) {
  AddBox(VisVector_cl(0.7f, -0.525f, 1), VisVector_cl(0.64f, 0.15f, 2));
  AddBox(VisVector_cl(-0.7f, -0.525f, 1), VisVector_cl(0.64f, 0.15f, 2));
  const VisVector_cl target(0, -5, 0);
  movement->SetTarget(target);
  const float yaw = soldier->GetOrientation().x;
  Frame();
  EXPECT_EQ(movement->GetTarget(), target);
  EXPECT_NEAR(soldier->GetOrientation().x, yaw, 0.01f);
  EXPECT_LT(soldier->GetPosition().y, -0.01f);
}

TEST_F(InfantryMovementTest, AnotherSoldierAheadIsAvoidedWithHalfTheTurn) {
  // The same obstacle in front, once a post and once a soldier: the turn away from
  // the soldier is the smaller.
  auto firstTurn = [&](bool soldierInTheWay) {
    SoldierEntity* walker = MakeSoldier(VisVector_cl(50, 0, 0));
    InfantryMovementComponent* m = MovementOf(walker);
    if (soldierInTheWay) {
      MakeSoldier(VisVector_cl(50.2f, -1.0f, 0));
    } else {
      AddBox(VisVector_cl(50.2f, -1.0f, 1), VisVector_cl(0.6f, 0.6f, 2));
    }
    m_physics->OnRunPhysics(kDt);
    m_physics->FetchPhysicsResults();
    MathTools::SetGaussianRandomState(777);
    const float yaw = walker->GetOrientation().x;
    m->SetTarget(walker->GetPosition() + VisVector_cl(0, -5, 0));
    Vision::Timer.Update();
    m->Update();
    const float turn = std::fabs(MathTools::WrapAngle(walker->GetOrientation().x - yaw));
    Vision::Game.RemoveAllEntities();
    Vision::World.RemoveAllStaticGeometry();
    return turn;
  };
  const float fromPost = firstTurn(false);
  const float fromSoldier = firstTurn(true);
  EXPECT_GT(fromPost, 0.1f);
  EXPECT_GT(fromSoldier, 0.0f);
  EXPECT_LT(fromSoldier, fromPost);
}

TEST_F(InfantryMovementTest, LootCarriersWalkAtSevenTenthsOfTheirSpeed) {
  SoldierEntity* carrier = MakeSoldier(VisVector_cl(20, 0, 0));
  InfantryMovementComponent* carrierMovement = MovementOf(carrier);
  auto* carry = new CarryComponent();
  ASSERT_TRUE(carrier->AddComponent(carry));
  carry->SetCarryItem(static_cast<CollectableEntity*>(Vision::Game.CreateEntity("CollectableEntity", VisVector_cl(40, 0, 0))));
  ASSERT_TRUE(carry->IsCarrying());
  movement->SetTarget(VisVector_cl(0, -8, 0));
  carrierMovement->SetTarget(VisVector_cl(20, -8, 0));
  for (int frame = 0; frame < 60; ++frame) {
    Vision::Timer.Update();
    movement->Update();
    carrierMovement->Update();
    m_physics->OnRunPhysics(kDt);
    m_physics->FetchPhysicsResults();
  }
  const float free = -soldier->GetPosition().y, laden = -carrier->GetPosition().y;
  EXPECT_NEAR(free, 3.0f, 0.1f);  // a second at 3 units a second
  EXPECT_NEAR(laden / free, 0.7f, 0.02f);
}

TEST_F(InfantryMovementTest, CloseToTheTargetTheSoldierStops) {
  // 0.4 from the target, without a path: within the reach of 0.5.
  movement->SetTarget(soldier->GetPosition() + VisVector_cl(0, -0.4f, 0));
  Frame();
  EXPECT_FALSE(movement->IsMoving());
  // A step longer than what is left is not taken, and ends the move.
  movement->SetBaseSpeed(60.0f);
  const VisVector_cl before = soldier->GetPosition();
  movement->SetTarget(before + VisVector_cl(0, -0.4f, 0));
  Frame();
  EXPECT_FALSE(movement->IsMoving());
  EXPECT_TRUE(soldier->GetPosition().IsEqual(before, 0.02f));
}

TEST_F(InfantryMovementTest, HeroIsSteeredByHandWithoutTheArrivalTest) {
  soldier->CreateStateMachine(STATE_IDLE);
  StateMachine<SoldierEntity>* machine = soldier->GetStateMachine();
  ASSERT_NE(machine, nullptr);
  const float yaw = soldier->GetOrientation().x;

  soldier->SendMsg(403, 0, 0);
  EXPECT_TRUE(movement->IsDirectControl());
  EXPECT_NEAR(soldier->GetOrientation().x, yaw + kDt * 200.0f, 1e-3f);
  soldier->SendMsg(404, 0, 0);
  EXPECT_NEAR(soldier->GetOrientation().x, yaw, 1e-3f);

  soldier->ResetMotionDelta();
  soldier->SendMsg(405, 0, 0);
  EXPECT_EQ(machine->GetCurrentState(), StrafeState::GetInstance());
  const VisVector_cl sideways = soldier->GetRotationMatrix() * VisVector_cl(3.0f * 0.5f * kDt, 0, 0);
  EXPECT_TRUE(soldier->GetMotionDelta().IsEqual(sideways, 1e-5f));
  soldier->ResetMotionDelta();
  soldier->SendMsg(406, 0, 0);
  EXPECT_TRUE(soldier->GetMotionDelta().IsEqual(-sideways, 1e-5f));

  soldier->SendMsg(401, 0, 0);
  EXPECT_EQ(machine->GetCurrentState(), WalkState::GetInstance());

  // 408 and foreign ids change nothing.
  soldier->ResetMotionDelta();
  for (int id : {408, 400, 410}) soldier->SendMsg(id, 0, 0);
  EXPECT_EQ(machine->GetCurrentState(), WalkState::GetInstance());
  EXPECT_TRUE(movement->IsDirectControl());
  EXPECT_EQ(soldier->GetMotionDelta(), VisVector_cl(0, 0, 0));

  // Under direct control a target within reach does not end the move; the step is
  // taken only while the target lies farther than one step.
  movement->SetTarget(soldier->GetPosition() + VisVector_cl(0, -0.3f, 0));
  Frame();
  EXPECT_TRUE(movement->IsMoving());

  soldier->SendMsg(409, 0, 0);
  EXPECT_FALSE(movement->IsDirectControl());
  EXPECT_EQ(machine->GetCurrentState(), IdleState::GetInstance());
}

TEST_F(InfantryMovementTest, OnlyASoldierOfTheSameUnitCountsAsOwnUnitInTheWay) {
  ScratchDataFolder data;
  data.Write("soldier.model", "<model><bbox min=\"-0.3/-0.3/0\" max=\"0.3/0.3/1.8\"/></model>");
  UnitEntity* unit = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0)));
  UnitEntity* other = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0)));
  SoldierEntity* ahead = MakeSoldier(VisVector_cl(0, -1.5f, 0));
  for (SoldierEntity* s : {soldier, ahead}) {
    s->SetMesh("soldier.model");
    s->SetTraceAccuracy(VIS_TRACEACC_AABOX);
  }
  soldier->SetParentUnit(unit);
  ahead->SetParentUnit(unit);
  EXPECT_TRUE(movement->IsOwnUnitBlockingProto(soldier, 3.0f));
  EXPECT_FALSE(movement->IsOwnUnitBlockingProto(soldier, 1.0f));  // the trace starts at 0.3 and ends short
  ahead->SetParentUnit(other);
  EXPECT_FALSE(movement->IsOwnUnitBlockingProto(soldier, 3.0f));
  // Two soldiers of no unit match each other.
  ahead->SetParentUnit(nullptr);
  soldier->SetParentUnit(nullptr);
  EXPECT_TRUE(movement->IsOwnUnitBlockingProto(soldier, 3.0f));
}

TEST_F(InfantryMovementTest, SavedBlockRoundTripsAndOlderBlocksKeepTheAvoidanceValues) {
  movement->SetTarget(VisVector_cl(1, 2, 3, 0.5f));
  movement->SetTurnImpulse(4.5f);
  movement->SetSpeedFactor(1.25f);
  movement->SetVariable("m_fFrontHitTurnSpeed", "2.5");
  InfantryMovementComponent fresh;
  EXPECT_TRUE(archive_test::RoundTripSerialize(*movement, fresh));
  EXPECT_EQ(fresh.GetTarget().w, 0.5f);
  EXPECT_FLOAT_EQ(fresh.GetTurnImpulse(), 4.5f);
  EXPECT_TRUE(fresh.IsMoving());

  // A version 2 block: the six first values only.
  InfantryMovementComponent base;
  archive_test::Bytes prefix = archive_test::SaveBytes([&](VArchive& ar) { base.BaseComponent::Serialize(ar); });
  ByteWriter w;
  w.Raw(std::string(prefix.begin(), prefix.end()));
  w.Str("ARCH").U8(2).F32(5.0f).F32(1.5f).F32(1).F32(2).F32(3).F32(1).F32(7.0f).U8(1).U8(0).Str("EOA");
  InfantryMovementComponent old;
  old.SetVariable("m_fSideHitTurnSpeed", "9");
  EXPECT_TRUE(archive_test::LoadBytes(w.Get(), [&](VArchive& ar) { old.Serialize(ar); }));
  EXPECT_FLOAT_EQ(old.GetSpeed(), 7.5f);
  EXPECT_FLOAT_EQ(old.GetTurnImpulse(), 7.0f);
  VString value;
  old.GetVariableValue("m_fSideHitTurnSpeed", value);
  EXPECT_STREQ(value.AsChar(), "9");

  // A block that does not start with ARCH is not read at all.
  ByteWriter bad;
  bad.Raw(std::string(prefix.begin(), prefix.end()));
  bad.Str("XXXX").U8(3).F32(99.0f);
  InfantryMovementComponent untouched;
  archive_test::ReadArchive ar(bad.Get());
  untouched.Serialize(*ar);
  EXPECT_FLOAT_EQ(untouched.GetSpeed(), 0.0f);
}

}  // namespace
