// Projectiles: shooter and target, the trail, removal, the saved block and following
// a parent through the physics object.
#include "entities/ProjectileEntity.h"
#include "core/ComponentMessages.h"
#include "support/ArchiveRoundTrip.h"
#include "support/MessageRecorder.h"

#include "engine/Vision.h"
#include "engine/core/IVisPhysicsObject.h"
#include "engine/core/VisParticleGroupManager.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Records what the projectile asks of its physics object.
class FakePhysics : public IVisPhysicsObject_cl {
 public:
  void SetPosition(const VisVector_cl& p) override { positions.push_back(p); }
  VisVector_cl GetPosition() const override { return VisVector_cl(); }
  void SetRotation(const VisVector_cl&) override {}
  VisVector_cl GetRotation() const override { return VisVector_cl(); }
  void SetRotationMatrix(const VisMatrix3x3_cl& m) override { rotations.push_back(m); }
  VisMatrix3x3_cl GetRotationMatrix() const override { return VisMatrix3x3_cl(); }
  void SetVelocity(const VisVector_cl&) override {}
  VisVector_cl GetVelocity() const override { return VisVector_cl(); }
  void IncMotionDelta(const VisVector_cl& d) override { deltas.push_back(d); }
  std::vector<VisVector_cl> deltas;
  std::vector<VisVector_cl> positions;
  std::vector<VisMatrix3x3_cl> rotations;
};

class ProjectileEntityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data");
    projectile = static_cast<ProjectileEntity*>(Vision::Game.CreateEntity("ProjectileEntity", VisVector_cl(1, 2, 3)));
    ASSERT_NE(projectile, nullptr);
  }
  void TearDown() override {
    if (projectile) projectile->SetPhysicsObject(nullptr);
    Vision::Game.RemoveAllEntities();
    VisParticleGroupManager_cl::GlobalManager().RemoveAllEffects();
    Vision::File.RemoveAllDataDirectories();
  }
  ProjectileEntity* projectile = nullptr;
};

TEST_F(ProjectileEntityTest, ADyingShipIsForgottenAsShooterAndTargetAndOtherMessagesReachTheComponents) {
  VisBaseEntity_cl* ship = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
  VisBaseEntity_cl* other = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
  auto* recorder = new MessageRecorder();
  projectile->AddComponent(recorder);
  projectile->SetShooter(ship);
  projectile->SetTarget(other);

  projectile->MessageFunction(VIS_MSG_USER_SHIP_DIES, reinterpret_cast<INT_PTR>(other), 0);
  EXPECT_EQ(projectile->GetShooter(), ship);
  EXPECT_EQ(projectile->GetTarget(), nullptr);
  projectile->SetTarget(ship);
  projectile->MessageFunction(VIS_MSG_USER_SHIP_DIES, reinterpret_cast<INT_PTR>(ship), 0);
  EXPECT_EQ(projectile->GetShooter(), nullptr);
  EXPECT_EQ(projectile->GetTarget(), nullptr);
  EXPECT_TRUE(recorder->ids.empty());
  projectile->MessageFunction(VIS_MSG_USR_SHIP_HIT_HULL, 0, 0);
  EXPECT_EQ(recorder->ids, (std::vector<int>{VIS_MSG_USR_SHIP_HIT_HULL}));

  // A game entity that leaves the world without a message is forgotten as well.
  VisBaseEntity_cl* gunner = Vision::Game.CreateEntity("BaseEntity", VisVector_cl(0, 0, 0));
  projectile->SetShooter(gunner);
  projectile->SetTarget(gunner);
  gunner->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(projectile->GetShooter(), nullptr);
  EXPECT_EQ(projectile->GetTarget(), nullptr);
}

TEST_F(ProjectileEntityTest, TheTrailFollowsUntilRemovalLetsItFadeOut) {
  projectile->SetTrail("particles\\cannon_trail.xml", VisVector_cl(-1.5f, 0, 0));
  VSmartPtr<VisParticleEffect_cl> trail = projectile->GetTrail();
  ASSERT_NE(trail.GetPtr(), nullptr);
  EXPECT_EQ(trail->GetParent(), projectile);
  EXPECT_EQ(trail->GetLocalPosition(), VisVector_cl(-1.5f, 0, 0));
  EXPECT_TRUE(trail->GetRemoveWhenFinished());
  projectile->SetPosition(VisVector_cl(10, 2, 3));
  EXPECT_EQ(trail->GetPosition(), VisVector_cl(8.5f, 2, 3));

  // An empty name or a file that does not load keeps the trail.
  projectile->SetTrail("");
  projectile->SetTrail("particles\\no_such_effect.xml");
  EXPECT_EQ(projectile->GetTrail(), trail.GetPtr());

  projectile->RemoveAll();
  EXPECT_TRUE(projectile->IsMarkedRemoved());
  EXPECT_EQ(projectile->GetTrail(), nullptr);
  EXPECT_TRUE(trail->IsFinished());
  EXPECT_EQ(trail->GetParent(), nullptr);
  projectile->RemoveAll();  // harmless the second time
  Vision::Game.FreeRemovedEntities();
  projectile = nullptr;
}

TEST_F(ProjectileEntityTest, FollowsItsParentThroughThePhysicsObjectOnly) {
  VisBaseEntity_cl* parent = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(1, 0, 3));
  projectile->AttachToParent(parent);
  projectile->SetParentOffset(VisVector_cl(0, 2, 0));

  // Without a physics object the projectile stays where it is.
  parent->SetPosition(VisVector_cl(5, 0, 3));
  EXPECT_EQ(projectile->GetPosition(), VisVector_cl(1, 2, 3));

  FakePhysics physics;
  projectile->SetPhysicsObject(&physics);
  parent->SetPosition(VisVector_cl(1, 0, 3));
  // The world position from the offset is where the projectile is: nothing to move.
  EXPECT_TRUE(physics.positions.empty());

  // Turning in place moves it round: the offset (0, 2, 0) becomes (-2, 0, 0).
  parent->SetOrientation(90.0f, 0.0f, 0.0f);
  ASSERT_EQ(physics.positions.size(), 1u);
  EXPECT_TRUE(physics.positions[0].IsEqual(VisVector_cl(-1, 0, 3), 1e-4f));
  ASSERT_EQ(physics.rotations.size(), 1u);
  EXPECT_TRUE(physics.rotations[0].GetColumn(0).IsEqual(VisVector_cl(0, 1, 0), 1e-5f));

  // Several moves are each a place from the parent's pose, never steps that add up
  // (the fake body does not move the projectile, so relative steps would repeat).
  parent->SetPosition(VisVector_cl(11, 0, 3));
  parent->SetPosition(VisVector_cl(11, 0, 3));
  parent->SetPosition(VisVector_cl(21, 5, 3));
  ASSERT_EQ(physics.positions.size(), 4u);
  EXPECT_TRUE(physics.positions[1].IsEqual(VisVector_cl(9, 0, 3), 1e-4f));
  EXPECT_TRUE(physics.positions[2].IsEqual(VisVector_cl(9, 0, 3), 1e-4f));
  EXPECT_TRUE(physics.positions[3].IsEqual(VisVector_cl(19, 5, 3), 1e-4f));
  EXPECT_TRUE(physics.deltas.empty());
  EXPECT_EQ(physics.rotations.size(), 1u) << "a parent that only moves turns nothing";
}

TEST_F(ProjectileEntityTest, SavedBlockKeepsTheParentOffsetAndVersionOneLeavesItZero) {
  projectile->SetParentOffset(VisVector_cl(1, -2, 3, 0.5f));
  projectile->SetNation(2);
  auto* fresh = static_cast<ProjectileEntity*>(Vision::Game.CreateEntity("ProjectileEntity", VisVector_cl(0, 0, 0)));
  ASSERT_TRUE(archive_test::RoundTrip(
      *projectile, *fresh, [](ProjectileEntity& p, VArchive& ar) { p.Serialize(ar); },
      [](ProjectileEntity& p, VArchive& ar) { p.Serialize(ar); }));
  EXPECT_EQ(fresh->GetParentOffset(), VisVector_cl(1, -2, 3));
  EXPECT_FLOAT_EQ(fresh->GetParentOffset().w, 0.5f);
  EXPECT_EQ(fresh->GetNation(), 2);

  // Version 1: the base block is read, the offset stays (0, 0, 0).
  archive_test::Bytes old = archive_test::SaveBytes([&](VArchive& ar) {
    projectile->BaseEntity::Serialize(ar);
    ar << "ARCH" << (char)1 << "EOA";
  });
  auto* older = static_cast<ProjectileEntity*>(Vision::Game.CreateEntity("ProjectileEntity", VisVector_cl(0, 0, 0)));
  EXPECT_TRUE(archive_test::LoadBytes(old, [&](VArchive& ar) { older->Serialize(ar); }));
  EXPECT_EQ(older->GetNation(), 2);
  EXPECT_EQ(older->GetParentOffset(), VisVector_cl(0, 0, 0));
}

}  // namespace
