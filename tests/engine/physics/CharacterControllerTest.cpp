// Character controllers: walking by motion deltas, steps, walls, slopes and falling.
#include "PhysicsFixture.h"

#include <cmath>

namespace {

class ControllerTest : public PhysicsTest {
 protected:
  void SetUp() override {
    PhysicsTest::SetUp();
    Vision::World.SetFlatTerrain(0.0f);
  }
  void AddBlock(float x0, float x1, float height) {
    Vision::World.AddStaticGeometryInstance(new VisStaticGeometryInstance_cl(
        VisVector_cl((x0 + x1) * 0.5f, 0, height * 0.5f), VisVector_cl(x1 - x0, 10, height), VisMatrix3x3_cl()));
  }
  // A soldier-sized controller at the origin, settled on the ground.
  vPhysXCharacterController* MakeWalker(VisBaseEntity_cl*& owner) {
    owner = MakeEntity(VisVector_cl(0, 0, 0));
    auto* cc = new vPhysXCharacterController();
    cc->m_fCapsuleHeight = 0.9f;
    cc->m_fCapsuleRadius = 0.3f;
    cc->m_fStepHeight = 0.15f;
    cc->m_fSlopeLimit = 50.0f;
    cc->m_fSkinWidth = 0.02f;
    cc->SetCollisionGroup(22);
    cc->SetCollisionBitmask(0xFFFFFFE9);
    EXPECT_TRUE(owner->AddComponent(cc));
    Step(10);
    return cc;
  }
  // Walks along +x at 2 units per second for the given frames (through the owner's
  // motion delta on odd frames, the controller's on even ones).
  void Walk(VisBaseEntity_cl* owner, vPhysXCharacterController* cc, int frames) {
    for (int i = 0; i < frames; ++i) {
      const VisVector_cl step(2.0f / 60.0f, 0, 0);
      if (i % 2)
        owner->IncMotionDelta(step);
      else
        cc->IncMotionDelta(step);
      Step();
    }
  }
};

}  // namespace

TEST_F(ControllerTest, WalksOnFlatGroundWithItsFootOnTheOwnersPosition) {
  VisBaseEntity_cl* owner = nullptr;
  vPhysXCharacterController* cc = MakeWalker(owner);
  EXPECT_NEAR(owner->GetPosition().z, 0.0f, 0.05f);
  EXPECT_TRUE(cc->IsOnGround());
  Walk(owner, cc, 60);
  EXPECT_NEAR(owner->GetPosition().x, 2.0f, 0.05f);
  EXPECT_NEAR(owner->GetPosition().y, 0.0f, 1e-3f);
  EXPECT_NEAR(owner->GetPosition().z, 0.0f, 0.05f);
  EXPECT_TRUE(owner->GetMotionDelta().IsZero());
}

TEST_F(ControllerTest, ClimbsALowStepAndIsStoppedByAWallOrAHighStep) {
  struct Case {
    const char* name;
    float height;
    bool climbs;
  };
  for (const Case& c : {Case{"low step", 0.1f, true}, Case{"high step", 0.4f, false}, Case{"wall", 3.0f, false}}) {
    TearDown();
    SetUp();
    AddBlock(1.0f, 6.0f, c.height);
    VisBaseEntity_cl* owner = nullptr;
    vPhysXCharacterController* cc = MakeWalker(owner);
    Walk(owner, cc, 120);  // would reach x = 4 on open ground
    if (c.climbs) {
      EXPECT_NEAR(owner->GetPosition().x, 4.0f, 0.1f) << c.name;
      EXPECT_NEAR(owner->GetPosition().z, c.height, 0.05f) << c.name;
    } else {
      EXPECT_LT(owner->GetPosition().x, 1.0f - 0.2f) << c.name;
      EXPECT_GT(owner->GetPosition().x, 1.0f - 0.4f) << c.name;
      EXPECT_NEAR(owner->GetPosition().z, 0.0f, 0.05f) << c.name;
    }
  }
}

TEST_F(ControllerTest, FallsToTheGroundAndFollowsItsPlaceWhenSet) {
  VisBaseEntity_cl* owner = MakeEntity(VisVector_cl(0, 0, 5));
  auto* cc = new vPhysXCharacterController();
  cc->m_vOffset = VisVector_cl(0, 0, 0.1f);
  ASSERT_TRUE(owner->AddComponent(cc));
  Step(30);
  EXPECT_FALSE(cc->IsOnGround());
  Step(150);
  EXPECT_TRUE(cc->IsOnGround());
  EXPECT_NEAR(owner->GetPosition().z, -0.1f, 0.05f);  // the capsule rests, the owner sits offset below

  cc->SetPosition(VisVector_cl(3, 4, 0));
  EXPECT_TRUE(owner->GetPosition().IsEqual(VisVector_cl(3, 4, 0), 1e-5f));
  Step();
  EXPECT_NEAR(owner->GetPosition().x, 3.0f, 1e-3f);
  EXPECT_NEAR(owner->GetPosition().y, 4.0f, 1e-3f);

  // Removing the component takes the capsule out of the world.
  owner->RemoveComponent(cc);
  EXPECT_EQ(owner->GetPhysicsObject(), nullptr);
  EXPECT_EQ(module->GetObjectCount(), 0);
  delete cc;
}

TEST_F(ControllerTest, WalksAHeightFieldAsItsSurfaceAllows) {
  // Level ground, then a ramp of the given slope from x = 0 to 10, then a plateau; the
  // walker starts at x = -5 and would reach x = 11 on open ground.
  struct Case {
    const char* name;
    float slope;  // degrees
    bool climbs;
  };
  for (const Case& c : {Case{"level", 0.0f, true}, Case{"gentle ramp", 25.0f, true}, Case{"steep ramp", 65.0f, false}}) {
    TearDown();
    SetUp();
    const float top = std::tan(c.slope * 3.14159265f / 180.0f) * 10.0f;
    ASSERT_TRUE(Vision::World.SetHeightFieldTerrain(VisVector_cl(-10, -10, 0), 30, 20, 4, 2,
                                                    {0, 0, top, top, 0, 0, top, top}));
    VisBaseEntity_cl* owner = nullptr;
    vPhysXCharacterController* cc = MakeWalker(owner);
    cc->SetPosition(VisVector_cl(-5, 0, 0));
    Step(10);
    EXPECT_NEAR(owner->GetPosition().z, 0.0f, 0.05f) << c.name;
    Walk(owner, cc, 480);
    const VisVector_cl at = owner->GetPosition();
    if (c.climbs) {
      EXPECT_GT(at.x, 10.0f) << c.name;
      EXPECT_NEAR(at.z, top, 0.05f) << c.name;
    } else {
      EXPECT_LT(at.x, 1.0f) << c.name;
      EXPECT_LT(at.z, 1.0f) << c.name;
    }
    EXPECT_TRUE(cc->IsOnGround()) << c.name;
  }
}

// A controller that has stood still for a while still walks when moved, and one set
// into the air falls to the ground again.
TEST_F(ControllerTest, AStandingControllerWalksAndFallsAgain) {
  VisBaseEntity_cl* owner = nullptr;
  vPhysXCharacterController* cc = MakeWalker(owner);
  Step(30);
  EXPECT_NEAR(owner->GetPosition().z, 0.0f, 0.05f);
  Walk(owner, cc, 30);
  EXPECT_NEAR(owner->GetPosition().x, 1.0f, 0.05f);

  Step(30);
  cc->SetPosition(VisVector_cl(1, 0, 3));
  Step(120);
  EXPECT_TRUE(cc->IsOnGround());
  EXPECT_NEAR(owner->GetPosition().z, 0.0f, 0.05f);
  EXPECT_NEAR(owner->GetPosition().x, 1.0f, 1e-3f);
}
