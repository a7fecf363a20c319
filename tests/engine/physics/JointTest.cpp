// Free actors, six-degree-of-freedom joints and actor-pair flags: what ragdolls are
// made of.
#include "PhysicsFixture.h"

#include "engine/physics/NxJoint.h"

#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;

class JointTest : public PhysicsTest {
 protected:
  NxActor* Box(const VisVector_cl& pos, const VisVector_cl& half = VisVector_cl(0.1f, 0.1f, 0.1f),
               float density = 10.0f) {
    NxShapeDesc shape;
    shape.type = NX_SHAPE_BOX;
    shape.dimensions = half;
    return module->CreateDynamicActor(nullptr, shape, pos, VisMatrix3x3_cl(), density);
  }
  // A joint between a and b at the anchor, turning about the axis.
  NxD6Joint* Join(NxActor* a, NxActor* b, const VisVector_cl& anchor, const VisVector_cl& axis,
                  NxD6JointMotion swing1, float s1, NxD6JointMotion swing2, float s2, NxD6JointMotion twist,
                  float lo, float hi) {
    NxD6JointDesc d;
    d.actor[0] = a;
    d.actor[1] = b;
    d.swing1Motion = swing1;
    d.swing1Limit.value = s1;
    d.swing2Motion = swing2;
    d.swing2Limit.value = s2;
    d.twistMotion = twist;
    d.twistLimit.low.value = lo;
    d.twistLimit.high.value = hi;
    d.setGlobalAnchor(anchor);
    d.setGlobalAxis(axis);
    return module->CreateD6Joint(d);
  }
};

// A rod hangs from a fixed body and is pushed hard about each of the joint's three
// turning axes in turn: a limited axis stops at its limit, a locked one stays at 0,
// a free one turns past any limit; the anchors stay together.
TEST_F(JointTest, LimitsHoldLockedAxesStayAndFreeAxesTurn) {
  struct Case {
    const char* name;
    NxD6JointMotion s1, s2, tw;
    int angle;            // which angle the push turns (0 twist, 1 swing 1, 2 swing 2)
    VisVector_cl spin;    // world angular velocity given to the rod
    float bound;          // largest angle the joint may reach (radians); < 0: must exceed 1.2
  };
  // The joint axis runs down the rod (twist about world z); an upright axis takes world
  // x as its normal (swing 1 about x), so swing 2 turns about world y.
  const Case cases[] = {
      {"twist limited to 0.3", NX_D6JOINT_MOTION_LOCKED, NX_D6JOINT_MOTION_LOCKED, NX_D6JOINT_MOTION_LIMITED, 0,
       VisVector_cl(0, 0, 20), 0.3f},
      {"twist locked", NX_D6JOINT_MOTION_LOCKED, NX_D6JOINT_MOTION_LOCKED, NX_D6JOINT_MOTION_LOCKED, 0,
       VisVector_cl(0, 0, 20), 0.0f},
      {"twist free", NX_D6JOINT_MOTION_LOCKED, NX_D6JOINT_MOTION_LOCKED, NX_D6JOINT_MOTION_FREE, 0,
       VisVector_cl(0, 0, 20), -1.0f},
      {"swing 1 limited to 0.3", NX_D6JOINT_MOTION_LIMITED, NX_D6JOINT_MOTION_LOCKED, NX_D6JOINT_MOTION_LOCKED, 1,
       VisVector_cl(20, 0, 0), 0.3f},
      {"swing 2 limited to 0.3", NX_D6JOINT_MOTION_LOCKED, NX_D6JOINT_MOTION_LIMITED, NX_D6JOINT_MOTION_LOCKED, 2,
       VisVector_cl(0, 20, 0), 0.3f},
      {"swing 2 locked", NX_D6JOINT_MOTION_LOCKED, NX_D6JOINT_MOTION_LOCKED, NX_D6JOINT_MOTION_LOCKED, 2,
       VisVector_cl(0, 20, 0), 0.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NxActor* top = Box(VisVector_cl(0, 0, 5), VisVector_cl(0.2f, 0.2f, 0.2f), 10000.0f);
    top->raiseBodyFlag(NX_BF_DISABLE_GRAVITY);
    top->raiseBodyFlag(NX_BF_KINEMATIC);
    NxActor* rod = Box(VisVector_cl(0, 0, 4.5f), VisVector_cl(0.05f, 0.05f, 0.5f));
    module->SetActorPairFlags(top, rod, NX_IGNORE_PAIR);
    NxD6Joint* joint = Join(top, rod, VisVector_cl(0, 0, 5), VisVector_cl(0, 0, -1), c.s1, 0.3f, c.s2, 0.3f, c.tw,
                            -0.3f, 0.3f);
    ASSERT_NE(joint, nullptr);
    rod->setAngularVelocity(c.spin);
    float most = 0.0f, otherMost = 0.0f, gap = 0.0f;
    for (int i = 0; i < 60; ++i) {
      Step();
      most = std::max(most, std::fabs(joint->getAngle(c.angle)));
      for (int k = 0; k < 3; ++k)
        if (k != c.angle) otherMost = std::max(otherMost, std::fabs(joint->getAngle(k)));
      gap = std::max(gap, joint->getAnchorSeparation());
    }
    if (c.bound < 0.0f)
      EXPECT_GT(most, 1.2f);
    else
      EXPECT_LT(most, c.bound + 0.05f);
    EXPECT_LT(otherMost, 0.05f) << "the locked axes";
    EXPECT_LT(gap, 0.02f) << "linear motion is locked";
    module->ReleaseActor(rod);
    module->ReleaseActor(top);
  }
}

TEST_F(JointTest, InvalidDescriptionsMakeNoJoint) {
  NxActor* a = Box(VisVector_cl(0, 0, 0));
  NxActor* b = Box(VisVector_cl(1, 0, 0));
  NxD6JointDesc d;
  EXPECT_EQ(module->CreateD6Joint(d), nullptr) << "no actors";
  d.actor[0] = a;
  EXPECT_EQ(module->CreateD6Joint(d), nullptr) << "one actor";
  d.actor[1] = a;
  EXPECT_EQ(module->CreateD6Joint(d), nullptr) << "the same actor twice";
  d.actor[1] = b;
  d.localAxis[1] = VisVector_cl(0, 0, 0);
  EXPECT_EQ(module->CreateD6Joint(d), nullptr) << "no axis";
  d.localAxis[1] = d.localNormal[1];
  EXPECT_EQ(module->CreateD6Joint(d), nullptr) << "axis along the normal";
  EXPECT_EQ(module->GetJointCount(), 0);
}

// Releasing an actor takes its joints (and its pair flags) with it, so the world never
// steps a joint whose body is gone.
TEST_F(JointTest, ReleasingAnActorReleasesItsJointsFirst) {
  NxActor* a = Box(VisVector_cl(0, 0, 2));
  NxActor* b = Box(VisVector_cl(0, 0, 1.7f));
  NxActor* c = Box(VisVector_cl(0, 0, 1.4f));
  module->SetActorPairFlags(a, b, NX_IGNORE_PAIR);
  ASSERT_NE(Join(a, b, VisVector_cl(0, 0, 1.85f), VisVector_cl(0, 0, -1), NX_D6JOINT_MOTION_FREE, 0,
                 NX_D6JOINT_MOTION_LIMITED, 0.2f, NX_D6JOINT_MOTION_LOCKED, 0, 0),
            nullptr);
  NxD6Joint* bc = Join(b, c, VisVector_cl(0, 0, 1.55f), VisVector_cl(0, 0, -1), NX_D6JOINT_MOTION_FREE, 0,
                       NX_D6JOINT_MOTION_LIMITED, 0.2f, NX_D6JOINT_MOTION_LOCKED, 0, 0);
  ASSERT_NE(bc, nullptr);
  EXPECT_EQ(module->GetJointCount(), 2);
  module->ReleaseActor(a);
  EXPECT_EQ(module->GetJointCount(), 1);
  EXPECT_EQ(module->GetActorPairFlags(a, b), 0u);
  Step(10);
  module->ReleaseJoint(bc);
  EXPECT_EQ(module->GetJointCount(), 0);
  module->ReleaseJoint(bc);  // twice is harmless
  Step(10);
  module->ReleaseActor(b);
  module->ReleaseActor(c);
}

// Two boxes made inside each other push apart unless their pair is ignored; the flag
// can be cleared again.
TEST_F(JointTest, AnIgnoredPairDoesNotCollide) {
  module->SetGlobalGravity(VisVector_cl(0, 0, 0));
  for (bool ignore : {true, false}) {
    SCOPED_TRACE(ignore ? "ignored" : "colliding");
    NxActor* a = Box(VisVector_cl(0, 0, 0), VisVector_cl(0.5f, 0.5f, 0.5f));
    NxActor* b = Box(VisVector_cl(0.3f, 0, 0), VisVector_cl(0.5f, 0.5f, 0.5f));
    module->SetActorPairFlags(a, b, NX_IGNORE_PAIR);
    EXPECT_EQ(module->GetActorPairFlags(b, a), (unsigned)NX_IGNORE_PAIR) << "either order";
    if (!ignore) module->SetActorPairFlags(b, a, 0);
    Step(30);
    const float apart = b->getGlobalPosition().x - a->getGlobalPosition().x;
    if (ignore)
      EXPECT_NEAR(apart, 0.3f, 1e-4f);
    else
      EXPECT_GT(apart, 0.5f);
    module->ReleaseActor(a);
    module->ReleaseActor(b);
  }
}

// A free actor's frame stays where it was made while its body sits at the shape's
// centre; mass is density times volume; a capsule along y is long in y.
TEST_F(JointTest, FreeActorsCentreTheirMassOnTheShape) {
  module->SetGlobalGravity(VisVector_cl(0, 0, 0));
  NxShapeDesc shape;
  shape.type = NX_SHAPE_CAPSULE_Y;
  shape.radius = 0.1f;
  shape.height = 1.0f;
  shape.localPosition = VisVector_cl(0, 0.6f, 0);
  VisMatrix3x3_cl turn;
  turn.SetEulerAngles(90, 0, 0);  // local y becomes world -x
  NxActor* actor = module->CreateDynamicActor(nullptr, shape, VisVector_cl(1, 2, 3), turn, 20.0f);
  EXPECT_LT(actor->getGlobalPosition().GetDistance(VisVector_cl(1, 2, 3)), 1e-5f);
  EXPECT_LT(actor->getCMassGlobalPosition().GetDistance(VisVector_cl(0.4f, 2, 3)), 1e-5f);
  const float volume = kPi * 0.01f * 1.0f + 4.0f / 3.0f * kPi * 0.001f;
  EXPECT_NEAR(actor->getMass(), 20.0f * volume, 1e-4f);

  // A ray across world x at the capsule's height meets it 0.7 from the end point
  // (its tip reaches 0.6 + 0.5 + 0.1 = 1.2 from the frame).
  VisPhysicsRaycastClosestResult_cl ray;
  ray.vRayStart = VisVector_cl(-5, 2, 3);
  ray.vRayEnd = VisVector_cl(5, 2, 3);
  ASSERT_TRUE(module->PerformRaycast(&ray));
  EXPECT_NEAR(ray.closestHit.vImpactPoint.x, 1.0f - 1.2f, 1e-3f);

  actor->setGlobalPose(VisVector_cl(0, 0, 0), VisMatrix3x3_cl());
  EXPECT_LT(actor->getCMassGlobalPosition().GetDistance(VisVector_cl(0, 0.6f, 0)), 1e-5f);
  module->ReleaseActor(actor);
}

TEST_F(JointTest, SleepAndSpeedBoundAreReadable) {
  module->SetGlobalGravity(VisVector_cl(0, 0, 0));
  NxActor* a = Box(VisVector_cl(0, 0, 0));
  EXPECT_FALSE(a->isSleeping());
  a->putToSleep();
  EXPECT_TRUE(a->isSleeping());
  Step(5);
  EXPECT_TRUE(a->isSleeping());
  a->addForce(VisVector_cl(0, 0, 1), NX_VELOCITY_CHANGE);
  EXPECT_FALSE(a->isSleeping());
  EXPECT_NEAR(a->getLinearVelocity().z, 1.0f, 1e-5f);

  a->setMaxAngularVelocity(2.0f);
  a->setMaxAngularVelocity(-1.0f);  // refused
  EXPECT_EQ(a->getMaxAngularVelocity(), 2.0f);
  a->setAngularVelocity(VisVector_cl(0, 0, 50));
  Step();
  EXPECT_LE(a->getAngularVelocity().GetLength(), 2.0f + 1e-4f);
  a->setSolverIterationCount(1000);
  EXPECT_EQ(a->getSolverIterationCount(), 255u);
  module->ReleaseActor(a);
}

}  // namespace
