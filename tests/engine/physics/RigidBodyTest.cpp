// Rigid bodies: gravity and terrain, velocity changes, damping, body flags, kinematic
// moves, the owner's pose, fixed ticks and the saved form.
#include "PhysicsFixture.h"

#include "support/ArchiveRoundTrip.h"
#include "support/LogCapture.h"

#include <cmath>

namespace {

struct TerrainCase {
  const char* name;
  bool heightField;
};

class RestingTest : public PhysicsTest, public ::testing::WithParamInterface<TerrainCase> {};

}  // namespace

TEST_P(RestingTest, BoxFallsUnderGravityAndComesToRestOnTheTerrain) {
  if (GetParam().heightField) {
    // A slope rising 1 unit per 10 along x, with a bump in the middle row.
    std::vector<float> h;
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 3; ++x) h.push_back(x * 1.0f + (x == 1 && y == 1 ? 0.5f : 0.0f));
    ASSERT_TRUE(Vision::World.SetHeightFieldTerrain(VisVector_cl(-10, -10, 2), 20, 20, 3, 3, h));
  } else {
    Vision::World.SetFlatTerrain(2.0f);
  }
  VisBaseEntity_cl* e = MakeEntity(VisVector_cl(3, 3, 12));
  vPhysXRigidBody* body = AddBox(e, VisVector_cl(1, 1, 1));
  body->GetActor()->setAngularDamping(10.0f);  // keep it from rolling down the slope

  Step(30);  // 0.5 s of free fall: z = 12 - 9.8 / 2 x 0.25
  EXPECT_NEAR(e->GetPosition().z, 12.0f - 1.225f, 0.05f);
  EXPECT_NEAR(body->GetVelocity().z, -4.9f, 0.05f);

  Step(300);
  const float ground = Vision::World.GetHeightAtWorldPos(e->GetPosition().x, e->GetPosition().y);
  EXPECT_GT(e->GetPosition().z, ground);
  EXPECT_LT(e->GetPosition().z, ground + 0.9f);  // resting on it, not sunk in, not floating
  EXPECT_LT(body->GetVelocity().GetLength(), 0.2f);
  // At rest it falls asleep; a push wakes it.
  EXPECT_TRUE(body->GetActor()->isSleeping());
  body->GetActor()->addForce(VisVector_cl(0, 0, 3), NX_VELOCITY_CHANGE);
  EXPECT_FALSE(body->GetActor()->isSleeping());
}

INSTANTIATE_TEST_SUITE_P(Terrains, RestingTest,
                         ::testing::Values(TerrainCase{"Flat", false}, TerrainCase{"HeightField", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PhysicsTest, VelocityChangeIgnoresMassWhileImpulsesDoNot) {
  module->SetGlobalGravity(VisVector_cl(0, 0, 0));
  VisBaseEntity_cl* light = MakeEntity(VisVector_cl(0, 0, 0));
  VisBaseEntity_cl* heavy = MakeEntity(VisVector_cl(0, 10, 0));
  NxActor* a = AddBox(light, VisVector_cl(1, 1, 1), 1.0f)->GetActor();
  NxActor* b = AddBox(heavy, VisVector_cl(1, 1, 1), 50.0f)->GetActor();

  a->addForce(VisVector_cl(0, 0, -10), NX_VELOCITY_CHANGE);
  b->addForce(VisVector_cl(0, 0, -10), NX_VELOCITY_CHANGE);
  EXPECT_TRUE(a->getLinearVelocity().IsEqual(VisVector_cl(0, 0, -10), 1e-4f));
  EXPECT_TRUE(b->getLinearVelocity().IsEqual(VisVector_cl(0, 0, -10), 1e-4f));

  b->addForce(VisVector_cl(100, 0, 0), NX_IMPULSE);
  EXPECT_NEAR(b->getLinearVelocity().x, 2.0f, 1e-4f);

  Step(60);
  EXPECT_NEAR(light->GetPosition().z, -10.0f, 0.01f);
  EXPECT_NEAR(heavy->GetPosition().x, 2.0f, 0.01f);
}

TEST_F(PhysicsTest, DampingKeepsEToTheMinusDampingOfTheVelocityPerSecond) {
  module->SetGlobalGravity(VisVector_cl(0, 0, 0));
  VisBaseEntity_cl* e = MakeEntity(VisVector_cl(0, 0, 0));
  NxActor* actor = AddBox(e, VisVector_cl(1, 1, 1))->GetActor();
  actor->setLinearDamping(1.0f);
  actor->setLinearVelocity(VisVector_cl(10, 0, 0));
  Step(60);
  EXPECT_NEAR(actor->getLinearVelocity().x, 10.0f * std::exp(-1.0f), 0.01f);
  EXPECT_FLOAT_EQ(actor->getLinearDamping(), 1.0f);
}

TEST_F(PhysicsTest, BodyFlagsNoGravityFrozenZAndKinematic) {
  VisBaseEntity_cl* floating = MakeEntity(VisVector_cl(0, 0, 5));
  VisBaseEntity_cl* frozen = MakeEntity(VisVector_cl(10, 0, 5));
  NxActor* noGravity = AddBox(floating, VisVector_cl(1, 1, 1))->GetActor();
  NxActor* frozenZ = AddBox(frozen, VisVector_cl(1, 1, 1))->GetActor();
  noGravity->raiseBodyFlag(NX_BF_DISABLE_GRAVITY);
  frozenZ->raiseBodyFlag(NX_BF_FROZEN_POS_Z);
  frozenZ->setLinearVelocity(VisVector_cl(3, 0, 0));
  Step(60);
  EXPECT_NEAR(floating->GetPosition().z, 5.0f, 1e-4f);
  EXPECT_NEAR(frozen->GetPosition().z, 5.0f, 1e-4f);
  EXPECT_NEAR(frozen->GetPosition().x, 13.0f, 0.01f);
  EXPECT_TRUE(frozenZ->readBodyFlag(NX_BF_FROZEN_POS_Z));

  // A vertical velocity set directly still moves a frozen body, at a steady speed
  // (a sinking hull): gravity adds nothing.
  frozenZ->setLinearVelocity(VisVector_cl(0, 0, -2));
  Step(60);
  EXPECT_NEAR(frozen->GetPosition().z, 3.0f, 0.01f);

  // Clearing the flags gives gravity back.
  noGravity->clearBodyFlag(NX_BF_DISABLE_GRAVITY);
  Step(30);
  EXPECT_LT(floating->GetPosition().z, 4.0f);

  // Kinematic: no gravity, velocities ignored, stays put.
  noGravity->raiseBodyFlag(NX_BF_KINEMATIC);
  const VisVector_cl held = floating->GetPosition();
  noGravity->setLinearVelocity(VisVector_cl(5, 0, 0));
  Step(30);
  EXPECT_TRUE(floating->GetPosition().IsEqual(held, 1e-4f));
  EXPECT_FALSE(noGravity->isDynamic());
}

TEST_F(PhysicsTest, KinematicBodyFollowsMotionDeltasAndMovesAtTheirSpeed) {
  VisBaseEntity_cl* e = MakeEntity(VisVector_cl(0, 0, 1));
  vPhysXRigidBody* body = AddBox(e, VisVector_cl(1, 1, 1));
  body->SetPhysicsMode(VPHYSX_MODE_KINEMATIC);
  for (int i = 0; i < 30; ++i) {
    body->IncMotionDelta(VisVector_cl(0.1f, 0, 0));
    Step();
  }
  EXPECT_TRUE(e->GetPosition().IsEqual(VisVector_cl(3, 0, 1), 1e-4f));
  EXPECT_NEAR(body->GetVelocity().x, 6.0f, 0.01f);  // 0.1 per 1/60 s

  // The owner's own motion delta goes to the body as well.
  e->IncMotionDelta(VisVector_cl(0, 1, 0));
  Step();
  EXPECT_TRUE(e->GetPosition().IsEqual(VisVector_cl(3, 1, 1), 1e-4f));
  EXPECT_TRUE(e->GetMotionDelta().IsZero());

  // A move to a global pose spread over a frame of four ticks.
  VisMatrix3x3_cl turned;
  turned.SetEulerAngles(90, 0, 0);
  body->GetActor()->moveGlobalPose(VisVector_cl(7, 1, 1), turned);
  Step(1, 4.0f / 60.0f);
  EXPECT_EQ(module->GetLastTickCount(), 4);
  EXPECT_TRUE(e->GetPosition().IsEqual(VisVector_cl(7, 1, 1), 1e-4f));
  EXPECT_NEAR(e->GetRotationMatrix().GetEulerAngles().x, 90.0f, 0.01f);
  EXPECT_NEAR(body->GetVelocity().x, 60.0f, 0.05f);  // 1 unit per tick of 1/60 s

  // Back to dynamic: it falls again.
  body->SetPhysicsMode(VPHYSX_MODE_DYNAMIC);
  Step(30);
  EXPECT_LT(e->GetPosition().z, 0.0f);
}

TEST_F(PhysicsTest, PoseCallsMoveOwnerAtOnceAndTheBoxSitsAtItsOffset) {
  VisBaseEntity_cl* ship = MakeEntity(VisVector_cl(5, 5, 0));
  ship->SetOrientation(90, 0, 0);
  auto* body = new vPhysXRigidBody();  // the default ship box: (50, 10, 11) at (0, 0, 1)
  ASSERT_TRUE(ship->AddComponent(body));
  EXPECT_EQ(ship->GetPhysicsObject(), body);
  EXPECT_TRUE(body->GetActor()->getGlobalPosition().IsEqual(VisVector_cl(5, 5, 1), 1e-4f));
  EXPECT_EQ(body->GetActor()->getShape(0)->getType(), NX_SHAPE_BOX);
  EXPECT_TRUE(body->GetActor()->getShape(0)->getDimensions().IsEqual(VisVector_cl(25, 5, 5.5f), 1e-5f));

  body->SetPosition(VisVector_cl(1, 2, 3));
  EXPECT_TRUE(ship->GetPosition().IsEqual(VisVector_cl(1, 2, 3), 1e-5f));
  body->SetRotation(VisVector_cl(0, 0, 90));  // rolled: the offset turns with it
  EXPECT_TRUE(body->GetActor()->getGlobalPosition().IsEqual(VisVector_cl(1, 1, 3), 1e-4f));
  EXPECT_NEAR(ship->GetRotationMatrix().GetEulerAngles().z, 90.0f, 1e-3f);
  EXPECT_TRUE(body->GetPosition().IsEqual(VisVector_cl(1, 2, 3), 1e-4f));

  // A pose given before the body has an owner is handed to the owner on attach.
  VisBaseEntity_cl* later = MakeEntity(VisVector_cl(0, 0, 0));
  auto* pending = new vPhysXRigidBody();
  pending->SetPosition(VisVector_cl(9, 8, 7));
  ASSERT_TRUE(later->AddComponent(pending));
  EXPECT_TRUE(later->GetPosition().IsEqual(VisVector_cl(9, 8, 7), 1e-5f));

  // DeletePhysicsObject takes the body away.
  ship->DeletePhysicsObject();
  EXPECT_EQ(ship->GetPhysicsObject(), nullptr);
  EXPECT_EQ(ship->GetComponentCount(), 0);
  EXPECT_EQ(module->GetObjectCount(), 1);
}

TEST_F(PhysicsTest, ModelShapeUsesTheScaledModelBoxAroundItsCentre) {
  VisBaseEntity_cl* e = MakeEntity(VisVector_cl(0, 0, 0.2f));
  GiveModelBox(e, "-1/-1/0", "1/1/4");
  e->SetScaling(0.5f);
  auto* body = new vPhysXRigidBody();
  body->SetShapeType(VPHYSX_SHAPETYPE_CONVEX);
  ASSERT_TRUE(e->AddComponent(body));
  NxShape* shape = body->GetActor()->getShape(0);
  EXPECT_EQ(shape->getType(), NX_SHAPE_BOX);
  EXPECT_TRUE(shape->getDimensions().IsEqual(VisVector_cl(0.5f, 0.5f, 1.0f), 1e-5f));
  EXPECT_TRUE(body->GetActor()->getGlobalPosition().IsEqual(VisVector_cl(0, 0, 1.2f), 1e-5f));

  // Resting on flat ground, the model's bottom touches it.
  Vision::World.SetFlatTerrain(0.0f);
  Step(120);
  EXPECT_NEAR(e->GetPosition().z, 0.0f, 0.05f);
}

TEST_F(PhysicsTest, SettingsAreCheckedAndShapeCopiesJoinTheActor) {
  LogCapture log;
  VisBaseEntity_cl* e = MakeEntity(VisVector_cl(0, 0, 0));
  vPhysXRigidBody* body = AddBox(e, VisVector_cl(2, 2, 2), 3.0f);
  body->SetMass(-1.0f);
  body->SetShapeType(7);
  body->SetBoxSize(VisVector_cl(1, 0, 1));
  body->SetPhysicsMode(1);
  body->SetCollisionGroup(32);
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{
                            "Warning: vPhysXRigidBody: mass -1.000000 is not positive",
                            "Warning: vPhysXRigidBody: shape type 7 is not supported",
                            "Warning: vPhysXRigidBody: box size 1.000000/0.000000/1.000000 is not positive",
                            "Warning: vPhysXRigidBody: physics mode 1 is not supported",
                            "Warning: vPhysXRigidBody: collision group 32 is not in 0..31",
                        }));
  EXPECT_FLOAT_EQ(body->GetMass(), 3.0f);
  EXPECT_EQ(body->GetShapeType(), VPHYSX_SHAPETYPE_BOX);
  EXPECT_EQ(body->GetPhysicsMode(), VPHYSX_MODE_DYNAMIC);
  EXPECT_EQ(body->GetCollisionGroup(), 0);

  // Shapes copied from another actor, scaled, as a ship takes its collision shapes.
  VisBaseEntity_cl* part = MakeEntity(VisVector_cl(0, 0, 0));
  NxActor* source = AddBox(part, VisVector_cl(1, 2, 3))->GetActor();
  NxShapeDesc desc;
  source->getShape(0)->saveToDesc(desc);
  desc.dimensions = VisVector_cl(desc.dimensions.x * 2, desc.dimensions.y * 2, desc.dimensions.z * 2);
  desc.localPosition = VisVector_cl(0, 0, 5);
  NxShape* copy = body->GetActor()->createShape(desc);
  copy->setName("ShapeBox");
  EXPECT_EQ(body->GetActor()->getNbShapes(), 2);
  EXPECT_TRUE(copy->getDimensions().IsEqual(VisVector_cl(1, 2, 3), 1e-5f));
  EXPECT_FLOAT_EQ(body->GetActor()->getMass(), 3.0f);
  copy->setGroupsMask(NxGroupsMask{6});
  EXPECT_EQ(body->GetCollisionBitmask(), 6u);
}

TEST_F(PhysicsTest, FixedTicksCarryTheRestAndStopAtTheMaximum) {
  struct Case {
    int ticksPerSecond, maxTicks;
    float dt;
    std::vector<int> ticks;
  };
  const Case cases[] = {
      {60, 8, 1.0f / 60.0f, {1, 1, 1}},
      {60, 8, 1.0f / 120.0f, {0, 1, 0, 1}},
      {60, 8, 0.25f, {8, 8}},  // the rest beyond 8 ticks is dropped
      {60, 8, 0.025f, {1, 2, 1, 2}},
      {0, 8, 0.3f, {1, 1}},
  };
  for (const Case& c : cases) {
    vPhysXModule m;
    m.SetPhysicsTickCount(c.ticksPerSecond, c.maxTicks);
    std::vector<int> got;
    for (size_t i = 0; i < c.ticks.size(); ++i) {
      m.OnRunPhysics(c.dt);
      got.push_back(m.GetLastTickCount());
    }
    EXPECT_EQ(got, c.ticks) << c.ticksPerSecond << " ticks/s, dt " << c.dt;
  }
}

TEST_F(PhysicsTest, WithoutAModuleTheObjectMovesItsOwnerDirectly) {
  vPhysXModule::SetInstance(nullptr);
  VisBaseEntity_cl* e = MakeEntity(VisVector_cl(0, 0, 0));
  auto* body = new vPhysXRigidBody();
  ASSERT_TRUE(e->AddComponent(body));
  EXPECT_FALSE(body->IsSimulated());
  EXPECT_EQ(body->GetActor(), nullptr);
  body->SetPosition(VisVector_cl(1, 2, 3));
  EXPECT_TRUE(e->GetPosition().IsEqual(VisVector_cl(1, 2, 3), 0));
  body->SetVelocity(VisVector_cl(4, 0, 0));
  EXPECT_TRUE(body->GetVelocity().IsEqual(VisVector_cl(4, 0, 0), 0));

  // A body whose module goes away keeps its settings and stops being simulated.
  vPhysXModule::SetInstance(module.get());
  auto* simulated = new vPhysXRigidBody();
  ASSERT_TRUE(MakeEntity(VisVector_cl(0, 0, 0))->AddComponent(simulated));
  simulated->SetVelocity(VisVector_cl(0, 2, 0));
  module.reset();
  EXPECT_FALSE(simulated->IsSimulated());
  EXPECT_EQ(simulated->GetActor(), nullptr);
  EXPECT_TRUE(simulated->GetVelocity().IsEqual(VisVector_cl(0, 2, 0), 1e-5f));
}

TEST_F(PhysicsTest, RigidBodyRoundTripsAsAnObjectReference) {
  auto* body = new vPhysXRigidBody();
  body->SetMass(100.0f);
  body->SetShapeType(VPHYSX_SHAPETYPE_CONVEX);
  body->SetPhysicsMode(VPHYSX_MODE_KINEMATIC);
  body->SetContactReport(0);
  body->SetCollisionGroup(5);
  body->SetCollisionBitmask(12);
  body->SetBoxSize(VisVector_cl(4, 5, 6));
  body->SetLocalOffset(VisVector_cl(0, 0, 2));
  const archive_test::Bytes bytes = archive_test::SaveBytes([&](VArchive& ar) { ar << body; });

  vPhysXRigidBody* read = nullptr;
  ASSERT_TRUE(archive_test::LoadBytes(bytes, [&](VArchive& ar) { ar >> read; }));
  ASSERT_NE(read, nullptr);
  EXPECT_FLOAT_EQ(read->GetMass(), 100.0f);
  EXPECT_EQ(read->GetShapeType(), VPHYSX_SHAPETYPE_CONVEX);
  EXPECT_EQ(read->GetPhysicsMode(), VPHYSX_MODE_KINEMATIC);
  EXPECT_EQ(read->GetContactReport(), 0);
  EXPECT_EQ(read->GetCollisionGroup(), 5);
  EXPECT_EQ(read->GetCollisionBitmask(), 12u);
  EXPECT_TRUE(read->GetBoxSize().IsEqual(VisVector_cl(4, 5, 6), 0));
  EXPECT_TRUE(read->GetLocalOffset().IsEqual(VisVector_cl(0, 0, 2), 0));
  EXPECT_EQ(archive_test::SaveBytes([&](VArchive& ar) { ar << read; }), bytes);
  delete read;
  delete body;

  // A stored body with a box of size 0 is refused and fails the archive.
  LogCapture log;
  archive_test::Bytes bad = bytes;
  const size_t sizeAt = bad.size() - 32;  // box size x: before the offset and the two w's
  for (int i = 0; i < 4; ++i) bad[sizeAt + i] = 0;
  archive_test::ReadArchive ar(bad);
  vPhysXRigidBody* refused = nullptr;
  *ar >> refused;
  EXPECT_FALSE(ar->IsOK());
  EXPECT_TRUE(log.Contains("vPhysXRigidBody: stored settings are invalid"));
  delete refused;
}

TEST_F(PhysicsTest, NewGravityReachesBodiesThatSleptThroughTheChange) {
  Vision::World.SetFlatTerrain(0.0f);
  VisBaseEntity_cl* e = MakeEntity(VisVector_cl(0, 0, 0.5f));
  NxActor* actor = AddBox(e, VisVector_cl(1, 1, 1))->GetActor();
  Step(200);
  ASSERT_TRUE(actor->isSleeping());
  module->SetGlobalGravity(VisVector_cl(0, 0, 9.8f));
  actor->wakeUp();
  Step(30);
  EXPECT_GT(e->GetPosition().z, 1.5f);
}
