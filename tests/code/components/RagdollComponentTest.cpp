// Ragdolls: the bodies and joints built from a biped's bones, pushes, the poses copied
// back onto the skeleton, the end by sleep or lifetime, and the die state's use.
#include "code/entities/SoldierFixture.h"

#include "components/RagdollComponent.h"
#include "core/ComponentMessages.h"
#include "entities/FSM/DieState.h"

#include "engine/core/VisAnimConfig.h"
#include "engine/physics/NxJoint.h"
#include "engine/physics/NxMat33.h"
#include "engine/physics/vPhysXModule.h"
#include "engine/physics/vPhysXRigidBody.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kFrame = 1.0f / 60.0f;

// The biped of the game's soldier: x is the body's side axis, z up.
std::string BipedModel(bool withHead = true) {
  std::string xml =
      "<model><bbox min=\"-0.4/-0.4/0\" max=\"0.4/0.4/1.8\"/>"
      "<bone name=\"Bip01\" position=\"0/0/0.95\"/>"
      "<bone name=\"Bip01 Pelvis\" parent=\"Bip01\" position=\"0/0/0.95\"/>"
      "<bone name=\"Bip01 Spine\" parent=\"Bip01 Pelvis\" position=\"0/0/1.05\"/>"
      "<bone name=\"Bip01 Spine1\" parent=\"Bip01 Spine\" position=\"0/0/1.25\"/>"
      "<bone name=\"Bip01 Neck\" parent=\"Bip01 Spine1\" position=\"0/0/1.5\"/>";
  if (withHead) xml += "<bone name=\"Bip01 Head\" parent=\"Bip01 Neck\" position=\"0/0/1.62\"/>";
  xml +=
      "<bone name=\"Bip01 L UpperArm\" parent=\"Bip01 Spine1\" position=\"0.2/0/1.45\"/>"
      "<bone name=\"Bip01 L Forearm\" parent=\"Bip01 L UpperArm\" position=\"0.2/0/1.17\"/>"
      "<bone name=\"Bip01 L Hand\" parent=\"Bip01 L Forearm\" position=\"0.2/0/0.92\"/>"
      "<bone name=\"Bip01 R UpperArm\" parent=\"Bip01 Spine1\" position=\"-0.2/0/1.45\"/>"
      "<bone name=\"Bip01 R Forearm\" parent=\"Bip01 R UpperArm\" position=\"-0.2/0/1.17\"/>"
      "<bone name=\"Bip01 R Hand\" parent=\"Bip01 R Forearm\" position=\"-0.2/0/0.92\"/>"
      "<bone name=\"Bip01 L Thigh\" parent=\"Bip01 Pelvis\" position=\"0.1/0/0.9\"/>"
      "<bone name=\"Bip01 L Calf\" parent=\"Bip01 L Thigh\" position=\"0.1/0/0.5\"/>"
      "<bone name=\"Bip01 L Foot\" parent=\"Bip01 L Calf\" position=\"0.1/0/0.08\"/>"
      "<bone name=\"Bip01 R Thigh\" parent=\"Bip01 Pelvis\" position=\"-0.1/0/0.9\"/>"
      "<bone name=\"Bip01 R Calf\" parent=\"Bip01 R Thigh\" position=\"-0.1/0/0.5\"/>"
      "<bone name=\"Bip01 R Foot\" parent=\"Bip01 R Calf\" position=\"-0.1/0/0.08\"/>"
      "<sequence name=\"Idle\" length=\"2.0\"><key bone=\"Bip01 Spine1\" time=\"0\" rotation=\"0/10/0\"/></sequence>"
      "<sequence name=\"Die\" length=\"1.5\"/>"
      "</model>";
  return xml;
}

class RagdollTest : public SoldierFixture {
 protected:
  void SetUp() override {
    SoldierFixture::SetUp();
    Vision::World.UnloadWorld();
    module = std::make_unique<vPhysXModule>();
    vPhysXModule::SetInstance(module.get());
    module->SetPhysicsTickCount(60, 8);
    Vision::Timer.SetFixedTimeStep(kFrame);
    Vision::Timer.Update();
    biped = MakeMesh(BipedModel());
  }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    biped = nullptr;
    module.reset();
    vPhysXModule::SetInstance(nullptr);
    Vision::World.UnloadWorld();
    SoldierFixture::TearDown();
  }

  static VDynamicMesh* MakeMesh(const std::string& xml) {
    auto* mesh = new VDynamicMesh("biped.model");
    EXPECT_TRUE(mesh->LoadFromXml(xml.c_str()));
    return mesh;
  }

  // A game entity with the model, its "Idle" pose on.
  BaseEntity* MakeBiped(VDynamicMesh* mesh, const VisVector_cl& pos = VisVector_cl(3, 4, 0), float yaw = 30.0f,
                        float scale = 1.0f) {
    auto* e = static_cast<BaseEntity*>(Vision::Game.CreateEntity("BaseEntity", pos));
    e->SetMesh(mesh);
    e->SetScaling(scale);
    VisMatrix3x3_cl r;
    r.SetEulerAngles(yaw, 0, 0);
    e->SetRotationMatrix(r);
    if (mesh) {
      EXPECT_NE(VisAnimConfig_cl::StartSkeletalAnimation(e, "Idle"), nullptr);
    }
    return e;
  }

  static RagdollComponent* AddRagdoll(VisTypedEngineObject_cl* owner) {
    auto* ragdoll = new RagdollComponent();
    EXPECT_TRUE(owner->AddComponent(ragdoll));
    return ragdoll;
  }

  static VisVector_cl BoneWorld(VisBaseEntity_cl* e, const char* name) {
    VisVector_cl p;
    VisQuaternion_cl q;
    EXPECT_TRUE(e->GetBoneCurrentWorldSpaceTransformation(e->GetMesh()->GetSkeleton()->GetBoneIndexByName(name), p, q));
    return p;
  }

  // An engine frame: scene update, physics, physics finished.
  void Frame(int n = 1) {
    for (int i = 0; i < n; ++i) {
      Vision::Timer.Update();
      Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
      module->OnRunPhysics(kFrame);
      module->FetchPhysicsResults();
      Vision::Callbacks.OnPhysicsSimulationFinished.TriggerCallbacks();
    }
  }

  std::unique_ptr<vPhysXModule> module;
  VSmartPtr<VDynamicMesh> biped;
};

// Shapes, sizes and masses of the eleven bodies on an owner scaled by 2: the sphere
// head, the two boxes, and capsules along their local y that start at their bones.
TEST_F(RagdollTest, BuildsElevenBodiesAtTheBones) {
  const float s = 2.0f;
  BaseEntity* owner = MakeBiped(biped, VisVector_cl(3, 4, 0), 30.0f, s);
  RagdollComponent* ragdoll = AddRagdoll(owner);
  ASSERT_TRUE(ragdoll->IsActive());
  ASSERT_EQ(ragdoll->GetActorCount(), 11);
  EXPECT_EQ(ragdoll->GetJointCount(), 10);
  EXPECT_EQ(module->GetJointCount(), 10);
  EXPECT_EQ(owner->GetPhysicsObject(), nullptr) << "the ragdoll is no physics object of its owner";

  struct Body {
    const char* bone;       // the bone the body sits at
    const char* toward;     // its far end (capsules)
    NxShapeType type;
    float radius;           // sphere and capsules, times s
    float density;          // times 1 / s
    float lengthFactor;     // capsule length as a part of the bone distance
  };
  // Creation order.
  const Body bodies[] = {
      {"Bip01 Head", nullptr, NX_SHAPE_SPHERE, 0.15f, 10, 0},
      {"Bip01 L Forearm", "Bip01 L Hand", NX_SHAPE_CAPSULE_Y, 0.075f, 10, 1.0f},
      {"Bip01 L UpperArm", "Bip01 L Forearm", NX_SHAPE_CAPSULE_Y, 0.1f, 10, 0.5f},
      {"Bip01 R Forearm", "Bip01 R Hand", NX_SHAPE_CAPSULE_Y, 0.075f, 10, 1.0f},
      {"Bip01 R UpperArm", "Bip01 R Forearm", NX_SHAPE_CAPSULE_Y, 0.12f, 10, 0.5f},
      {"Bip01 L Calf", "Bip01 L Foot", NX_SHAPE_CAPSULE_Y, 0.1f, 20, 1.0f},
      {"Bip01 L Thigh", "Bip01 L Calf", NX_SHAPE_CAPSULE_Y, 0.15f, 10, 1.0f},
      {"Bip01 R Calf", "Bip01 R Foot", NX_SHAPE_CAPSULE_Y, 0.1f, 20, 1.0f},
      {"Bip01 R Thigh", "Bip01 R Calf", NX_SHAPE_CAPSULE_Y, 0.15f, 10, 1.0f},
      {"Bip01 Spine1", "Bip01 Head", NX_SHAPE_BOX, 0, 10, 0},
      {"Bip01 Pelvis", "Bip01 Spine1", NX_SHAPE_BOX, 0, 10, 0},
  };
  for (int i = 0; i < 11; ++i) {
    const Body& b = bodies[i];
    SCOPED_TRACE(b.bone);
    NxActor* actor = ragdoll->GetActor(i);
    EXPECT_EQ(actor->userData, ragdoll);
    EXPECT_TRUE(actor->isDynamic());
    const VisVector_cl at = BoneWorld(owner, b.bone);
    EXPECT_LT(actor->getGlobalPosition().GetDistance(at), 1e-4f);
    ASSERT_EQ(actor->getNbShapes(), 1);
    NxShape* shape = actor->getShape(0);
    EXPECT_EQ(shape->getType(), b.type);
    float volume = 0.0f;
    if (b.type == NX_SHAPE_BOX) {
      const float along = 0.4f * at.GetDistance(BoneWorld(owner, b.toward));
      EXPECT_NEAR(shape->getDimensions().x, along, 1e-4f);
      EXPECT_NEAR(shape->getDimensions().y, 0.15f * s, 1e-5f);
      EXPECT_NEAR(shape->getDimensions().z, 0.2f * s, 1e-5f);
      volume = 8.0f * along * 0.15f * s * 0.2f * s;
      EXPECT_LT(actor->getCMassGlobalPosition().GetDistance(at), 1e-4f) << "boxes sit on their bone";
    } else {
      EXPECT_NEAR(shape->getRadius(), b.radius * s, 1e-5f);
      const float r = b.radius * s;
      volume = 4.0f / 3.0f * kPi * r * r * r;
      if (b.type == NX_SHAPE_CAPSULE_Y) {
        const VisVector_cl end = BoneWorld(owner, b.toward);
        const float length = b.lengthFactor * at.GetDistance(end);
        EXPECT_NEAR(shape->getHeight(), length, 1e-4f);
        volume += kPi * r * r * length;
        // Its middle lies half its length plus its radius from the bone, towards the end.
        VisVector_cl dir = end - at;
        dir.Normalize();
        EXPECT_LT(actor->getCMassGlobalPosition().GetDistance(at + dir * (length * 0.5f + r)), 1e-4f);
        // The local y axis runs along the limb.
        const VisVector_cl axis = actor->getGlobalOrientation() * (shape->getLocalOrientation() * VisVector_cl(0, 1, 0));
        EXPECT_NEAR(axis.Dot(dir), 1.0f, 1e-4f);
      }
    }
    EXPECT_NEAR(actor->getMass(), b.density / s * volume, 1e-3f * actor->getMass());
    EXPECT_EQ(actor->getSolverIterationCount(), 10u);
    EXPECT_EQ(actor->getMaxAngularVelocity(), i == 9 ? 130.0f : 0.0f) << "only the chest";
  }
  EXPECT_NEAR(ragdoll->GetActor(4)->getShape(0)->getRadius() / ragdoll->GetActor(2)->getShape(0)->getRadius(), 1.2f,
              1e-5f)
      << "the right upper arm is the thicker one";
}

// The ten joints: bodies, limits (and what is locked or free), hard limits, and the
// pair of each kept from colliding; the neck turns about the world's up.
TEST_F(RagdollTest, JointsLinkTheBodiesWithTheirLimits) {
  RagdollComponent* ragdoll = AddRagdoll(MakeBiped(biped));
  ASSERT_TRUE(ragdoll->IsActive());
  const NxD6JointMotion L = NX_D6JOINT_MOTION_LIMITED, F = NX_D6JOINT_MOTION_FREE, K = NX_D6JOINT_MOTION_LOCKED;
  struct Joint {
    const char* name;
    int a, b;  // actor indices in creation order
    NxD6JointMotion s1;
    float s1Deg;
    NxD6JointMotion s2;
    float s2Deg;
    NxD6JointMotion twist;
    float lo, hi;
  };
  // Actors: 0 head, 1 L forearm, 2 L upper arm, 3 R forearm, 4 R upper arm, 5 L calf,
  // 6 L thigh, 7 R calf, 8 R thigh, 9 chest, 10 pelvis.
  const Joint joints[] = {
      {"neck", 0, 9, L, 40, L, 40, L, -90, 90},       {"spine", 9, 10, L, 10, L, 10, L, -10, 10},
      {"left shoulder", 2, 9, F, 0, L, 20, K, 0, 0},  {"left elbow", 1, 2, L, 40, K, 0, K, 0, 0},
      {"right shoulder", 4, 9, F, 0, L, 20, K, 0, 0}, {"right elbow", 3, 4, L, 40, K, 0, K, 0, 0},
      {"left hip", 6, 10, L, 90, L, 10, K, 0, 0},     {"left knee", 5, 6, L, 45, L, 5, K, 0, 0},
      {"right hip", 8, 10, L, 90, L, 10, K, 0, 0},    {"right knee", 7, 8, L, 45, L, 5, K, 0, 0},
  };
  const float rad = kPi / 180.0f;
  for (int j = 0; j < 10; ++j) {
    const Joint& e = joints[j];
    SCOPED_TRACE(e.name);
    NxD6Joint* joint = ragdoll->GetJoint(j);
    ASSERT_NE(joint, nullptr);
    NxD6JointDesc d;
    joint->saveToDesc(d);
    EXPECT_EQ(d.actor[0], ragdoll->GetActor(e.a));
    EXPECT_EQ(d.actor[1], ragdoll->GetActor(e.b));
    EXPECT_EQ(module->GetActorPairFlags(d.actor[0], d.actor[1]), (unsigned)NX_IGNORE_PAIR);
    EXPECT_EQ(d.xMotion, K);
    EXPECT_EQ(d.yMotion, K);
    EXPECT_EQ(d.zMotion, K);
    EXPECT_EQ(d.swing1Motion, e.s1);
    EXPECT_EQ(d.swing2Motion, e.s2);
    EXPECT_EQ(d.twistMotion, e.twist);
    EXPECT_NEAR(d.swing1Limit.value, e.s1 == L ? e.s1Deg * rad : 0.0f, 1e-5f);
    EXPECT_NEAR(d.swing2Limit.value, e.s2 == L ? e.s2Deg * rad : 0.0f, 1e-5f);
    if (e.twist == L) {
      EXPECT_NEAR(d.twistLimit.low.value, e.lo * rad, 1e-5f);
      EXPECT_NEAR(d.twistLimit.high.value, e.hi * rad, 1e-5f);
    }
    for (const NxJointLimitSoftDesc* limit : {&d.swing1Limit, &d.swing2Limit, &d.twistLimit.low, &d.twistLimit.high}) {
      EXPECT_EQ(limit->restitution, 0.0f);
      EXPECT_EQ(limit->spring, 0.0f);
      EXPECT_EQ(limit->damping, 0.0f);
    }
    // Anchored at the first body's bone; nothing is turned yet.
    EXPECT_LT((d.actor[0]->getGlobalOrientation() * d.localAnchor[0] + d.actor[0]->getGlobalPosition())
                  .GetDistance(d.actor[1]->getGlobalOrientation() * d.localAnchor[1] + d.actor[1]->getGlobalPosition()),
              1e-4f);
    EXPECT_LT(d.localAnchor[0].GetLength(), 1e-4f);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(joint->getAngle(k), 0.0f, 1e-4f);
  }
  NxD6JointDesc neck;
  ragdoll->GetJoint(0)->saveToDesc(neck);
  const VisVector_cl up = neck.actor[0]->getGlobalOrientation() * neck.localAxis[0];
  EXPECT_NEAR(up.z, 1.0f, 1e-5f);
  // Bodies without a joint between them still collide.
  EXPECT_EQ(module->GetActorPairFlags(ragdoll->GetActor(6), ragdoll->GetActor(8)), 0u);
  EXPECT_EQ(module->GetActorPairFlags(ragdoll->GetActor(0), ragdoll->GetActor(10)), 0u);
  for (int j = 10; j < RagdollComponent::MAX_JOINTS; ++j) EXPECT_EQ(ragdoll->GetJoint(j), nullptr);
}

// No ragdoll without a skeleton with "Bip01 Head" or without physics; the component
// stays inactive and a push does nothing. Only game entities take it.
TEST_F(RagdollTest, StaysInactiveWithoutHeadSkeletonOrPhysics) {
  VSmartPtr<VDynamicMesh> headless = MakeMesh(BipedModel(false));
  struct Case {
    const char* name;
    VDynamicMesh* mesh;
    bool physics;
  };
  const Case cases[] = {{"no head bone", headless, true}, {"no model", nullptr, true}, {"no physics", biped, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.physics) vPhysXModule::SetInstance(nullptr);
    BaseEntity* owner = MakeBiped(c.mesh);
    RagdollComponent* ragdoll = AddRagdoll(owner);
    EXPECT_FALSE(ragdoll->IsActive());
    EXPECT_EQ(ragdoll->GetActorCount(), 0);
    ragdoll->AddForce(owner->GetPosition(), VisVector_cl(0, 0, 10), RagdollComponent::NX_VELOCITY_CHANGE);
    ragdoll->SetVelocity(VisVector_cl(1, 0, 0));
    ragdoll->SetBoneVelocity(RagdollComponent::BONE_HEAD, VisVector_cl(1, 0, 0));
    EXPECT_EQ(module->GetJointCount(), 0);
    Frame();
    EXPECT_EQ(owner->GetPendingRemovalCount(), 0) << "an inactive ragdoll has no lifetime running";
    vPhysXModule::SetInstance(module.get());
  }
  auto* plain = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
  auto* refused = new RagdollComponent();
  VString reason;
  EXPECT_FALSE(refused->CanAttachToObject(plain, reason));
  EXPECT_STREQ(reason.AsChar(), "Component can only be added to instances of BaseEntity or derived classes.");
  EXPECT_FALSE(plain->AddComponent(refused));
  refused->DisposeObject();
}

// A push goes to the body whose centre of mass is nearest, the first in creation
// order on a tie, a random one when none is within reach; calls by bone pick their
// body and nothing for other values.
TEST_F(RagdollTest, PushesAndVelocitiesReachTheRightBodies) {
  module->SetGlobalGravity(VisVector_cl(0, 0, 0));
  RagdollComponent* ragdoll = AddRagdoll(MakeBiped(biped));
  ASSERT_TRUE(ragdoll->IsActive());
  const int n = ragdoll->GetActorCount();
  auto still = [&]() {
    for (int i = 0; i < n; ++i) ragdoll->GetActor(i)->setLinearVelocity(VisVector_cl(0, 0, 0));
  };
  auto pushed = [&]() {
    int which = -1;
    for (int i = 0; i < n; ++i)
      if (ragdoll->GetActor(i)->getLinearVelocity().GetLength() > 1e-3f) {
        EXPECT_EQ(which, -1) << "one body only";
        which = i;
      }
    return which;
  };
  // Next to the right calf's centre.
  const VisVector_cl calf = ragdoll->GetActor(7)->getCMassGlobalPosition();
  still();
  ragdoll->AddForce(calf + VisVector_cl(0.01f, 0, 0), VisVector_cl(0, 0, 3), RagdollComponent::NX_VELOCITY_CHANGE);
  EXPECT_EQ(pushed(), 7);
  EXPECT_NEAR(ragdoll->GetActor(7)->getLinearVelocity().z, 3.0f, 1e-4f) << "a velocity change ignores the mass";

  // Exactly between two bodies that have no other body nearer.
  bool tested = false;
  for (int i = 0; i < n && !tested; ++i)
    for (int j = i + 1; j < n && !tested; ++j) {
      const VisVector_cl a = ragdoll->GetActor(i)->getCMassGlobalPosition();
      const VisVector_cl b = ragdoll->GetActor(j)->getCMassGlobalPosition();
      const VisVector_cl mid = (a + b) * 0.5f;
      if (mid.GetDistanceSqr(a) != mid.GetDistanceSqr(b)) continue;
      bool nearer = false;
      for (int k = 0; k < n; ++k)
        if (k != i && k != j && ragdoll->GetActor(k)->getCMassGlobalPosition().GetDistanceSqr(mid) <= mid.GetDistanceSqr(a))
          nearer = true;
      if (nearer) continue;
      still();
      ragdoll->AddForce(mid, VisVector_cl(1, 0, 0), RagdollComponent::NX_VELOCITY_CHANGE);
      EXPECT_EQ(pushed(), i) << "the first of " << i << " and " << j;
      tested = true;
    }
  EXPECT_TRUE(tested) << "no pair exactly halfway";

  // Out of reach (farther than 1e11 squared): the random pick.
  for (bool max : {false, true}) {
    MathTools::SetUseFixedRandom(true);
    MathTools::SetTestRandReturnMax(max);
    still();
    ragdoll->AddForce(VisVector_cl(1e6f, 0, 0), VisVector_cl(1, 0, 0), RagdollComponent::NX_VELOCITY_CHANGE);
    EXPECT_EQ(pushed(), max ? n - 1 : 0);
  }

  still();
  ragdoll->SetBoneVelocity(RagdollComponent::BONE_LEFT_CALF, VisVector_cl(0, 2, 0));
  EXPECT_EQ(pushed(), 5);
  for (int bone : {-1, 6, 100}) {
    EXPECT_EQ(ragdoll->GetBoneActor((RagdollComponent::Bones)bone), nullptr);
    ragdoll->SetBoneVelocity((RagdollComponent::Bones)bone, VisVector_cl(5, 5, 5));
  }
  EXPECT_EQ(pushed(), 5);
  const int bodies[] = {0, 1, 3, 9, 5, 7};
  for (int bone = 0; bone < 6; ++bone)
    EXPECT_EQ(ragdoll->GetBoneActor((RagdollComponent::Bones)bone), ragdoll->GetActor(bodies[bone]));
  ragdoll->SetVelocity(VisVector_cl(0, 0, -1));
  for (int i = 0; i < n; ++i) EXPECT_NEAR(ragdoll->GetActor(i)->getLinearVelocity().z, -1.0f, 1e-5f);

  ragdoll->SetCollisionGroup(7);
  ragdoll->SetCollisionMask(0x30u);
  for (int i = 0; i < n; ++i) {
    NxShape* shape = ragdoll->GetActor(i)->getShape(0);
    EXPECT_EQ(shape->getGroup(), 7);
    EXPECT_EQ(shape->getGroupsMask().bits0, 0x30u);
    EXPECT_EQ(shape->getGroupsMask().bits1, 0u);
  }
}

// Every frame the bodies' poses become the bones' poses: at first nothing moves (the
// owner steps between the calves, the bones stay), then the skeleton follows the
// falling bodies and the owner's box holds its bones.
TEST_F(RagdollTest, TheSkeletonFollowsTheBodies) {
  BaseEntity* owner = MakeBiped(biped, VisVector_cl(3, 4, 0), 30.0f, 1.5f);
  const char* bones[] = {"Bip01 Head", "Bip01 Spine1", "Bip01 Pelvis", "Bip01 L UpperArm", "Bip01 R Forearm",
                         "Bip01 L Thigh", "Bip01 R Calf", "Bip01 R Hand", "Bip01 L Foot"};
  VisVector_cl before[9];
  for (int i = 0; i < 9; ++i) before[i] = BoneWorld(owner, bones[i]);
  RagdollComponent* ragdoll = AddRagdoll(owner);
  ASSERT_TRUE(ragdoll->IsActive());
  Vision::Timer.Update();
  Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
  for (int i = 0; i < 9; ++i) EXPECT_LT(BoneWorld(owner, bones[i]).GetDistance(before[i]), 1e-4f) << bones[i];
  const VisVector_cl legs = (ragdoll->GetActor(5)->getGlobalPosition() + ragdoll->GetActor(7)->getGlobalPosition()) * 0.5f;
  EXPECT_LT(owner->GetPosition().GetDistance(legs), 1e-5f);

  // Falling for a second with a spin.
  ragdoll->GetActor(9)->setAngularVelocity(VisVector_cl(0, 3, 0));
  Frame(60);
  struct Check {
    const char* bone;
    int actor;
  };
  for (const Check& c : {Check{"Bip01 Head", 0}, Check{"Bip01 Spine1", 9}, Check{"Bip01 L Calf", 5},
                         Check{"Bip01 R Forearm", 3}}) {
    SCOPED_TRACE(c.bone);
    NxActor* actor = ragdoll->GetActor(c.actor);
    EXPECT_LT(BoneWorld(owner, c.bone).GetDistance(actor->getGlobalPosition()), 1e-3f);
    VisVector_cl p;
    VisQuaternion_cl q;
    owner->GetBoneCurrentWorldSpaceTransformation(owner->GetMesh()->GetSkeleton()->GetBoneIndexByName(c.bone), p, q);
    const VisMatrix3x3_cl m = q.ToMatrix(), a = actor->getGlobalOrientation();
    for (int r = 0; r < 3; ++r)
      for (int k = 0; k < 3; ++k) EXPECT_NEAR(m(r, k), a(r, k), 1e-3f);
  }
  EXPECT_LT(BoneWorld(owner, "Bip01 Head").z, before[0].z - 3.0f) << "it fell";
  const VisVector_cl legsNow = (ragdoll->GetActor(5)->getGlobalPosition() + ragdoll->GetActor(7)->getGlobalPosition()) * 0.5f;
  EXPECT_LT(owner->GetPosition().GetDistance(legsNow), 1e-4f);
  VisBoundingBox_cl box;
  owner->GetCurrentVisBoundingBox(box);
  for (const char* bone : bones) {
    VisVector_cl p = BoneWorld(owner, bone);
    if (std::string(bone).find("Hand") != std::string::npos || std::string(bone).find("Foot") != std::string::npos)
      continue;  // no body of their own
    EXPECT_LE(box.GetDistance(p), 1e-3f) << bone;
  }

  ragdoll->SetFollowLegs(false);
  const VisVector_cl stays = owner->GetPosition();
  Frame(5);
  EXPECT_EQ(owner->GetPosition(), stays);
}

// The end: all bodies asleep in the first update queue the removal at once; otherwise
// the lifetime runs out; one set to 0 or less sets no limit; removal releases joints and bodies.
TEST_F(RagdollTest, EndsWhenAsleepOrWhenItsLifetimeRunsOut) {
  {
    BaseEntity* owner = MakeBiped(biped);
    RagdollComponent* ragdoll = AddRagdoll(owner);
    for (int i = 0; i < ragdoll->GetActorCount(); ++i) ragdoll->GetActor(i)->putToSleep();
    Frame();
    EXPECT_EQ(owner->GetPendingRemovalCount(), 1);
    EXPECT_GT(ragdoll->GetLifeTime(), 9.9f);
    Frame();
    EXPECT_EQ(owner->Components<RagdollComponent>(), nullptr);
    EXPECT_EQ(module->GetJointCount(), 0);
    EXPECT_EQ(module->GetObjectCount(), 0);
  }
  // No ground below: the bodies fall and never sleep. 29.5 frames of lifetime last
  // 30 frames.
  for (float lifetime : {0.0f, -1.0f}) {
    SCOPED_TRACE(lifetime);
    BaseEntity* owner = MakeBiped(biped);
    RagdollComponent* ragdoll = AddRagdoll(owner);
    ragdoll->SetSleepTime(lifetime);
    Frame(120);
    EXPECT_EQ(owner->GetPendingRemovalCount(), 0) << "no time limit";
    ragdoll->DisposeObject();
  }
  {
    const float lifetime = 29.5f * kFrame;
    BaseEntity* owner = MakeBiped(biped);
    RagdollComponent* ragdoll = AddRagdoll(owner);
    ragdoll->SetLifeTime(lifetime);
    Frame(29);
    EXPECT_EQ(owner->GetPendingRemovalCount(), 0);
    EXPECT_GT(ragdoll->GetLifeTime(), 0.0f);
    Frame();
    EXPECT_EQ(ragdoll->GetLifeTime(), 0.0f);
    EXPECT_EQ(owner->GetPendingRemovalCount(), 1);
    Frame();
    EXPECT_EQ(owner->Components<RagdollComponent>(), nullptr);
  }
  EXPECT_EQ(module->GetJointCount(), 0);
}

// Removal undoes the build: the owner's own physics object collides again, the bodies
// and joints are gone, the settings are back to their defaults.
TEST_F(RagdollTest, RemovalReleasesEverythingAndRestoresTheOwner) {
  BaseEntity* owner = MakeBiped(biped);
  auto* body = new vPhysXRigidBody();
  ASSERT_TRUE(owner->AddComponent(body));
  body->SetCollisionBitmask(0x5u);
  RagdollComponent* ragdoll = AddRagdoll(owner);
  ASSERT_TRUE(ragdoll->IsActive());
  EXPECT_EQ(owner->GetPhysicsObject(), body);
  EXPECT_EQ(body->GetCollisionBitmask(), 0u) << "switched off while the ragdoll lives";
  ragdoll->SetLifeTime(3.0f);
  ragdoll->SetFollowLegs(false);
  EXPECT_TRUE(owner->RemoveComponent(ragdoll));
  EXPECT_FALSE(ragdoll->IsActive());
  EXPECT_EQ(ragdoll->GetActorCount(), 0);
  EXPECT_EQ(ragdoll->GetLifeTime(), 10.0f);
  EXPECT_TRUE(ragdoll->GetFollowLegs());
  EXPECT_EQ(module->GetJointCount(), 0);
  EXPECT_EQ(body->GetCollisionBitmask(), 0x5u);
  EXPECT_EQ(module->GetObjectCount(), 1) << "the owner's own body only";
  ragdoll->DisposeObject();

  // A module that goes first takes the bodies down cleanly.
  RagdollComponent* second = AddRagdoll(owner);
  ASSERT_TRUE(second->IsActive());
  module.reset();
  vPhysXModule::SetInstance(nullptr);
  EXPECT_FALSE(second->IsActive());
  EXPECT_EQ(second->GetActorCount(), 0);
}

// Dropped on the ground, the ragdoll falls within its joints' limits and comes to
// rest before its lifetime is out.
TEST_F(RagdollTest, FallsWithinItsLimitsAndEndsAsleep) {
  Vision::World.SetFlatTerrain(0.0f);
  BaseEntity* owner = MakeBiped(biped);
  RagdollComponent* ragdoll = AddRagdoll(owner);
  ragdoll->AddForce(owner->GetPosition() + VisVector_cl(0, 0, 1.3f), VisVector_cl(2, 1, 1),
                    RagdollComponent::NX_VELOCITY_CHANGE);
  float worstOver = 0.0f, worstGap = 0.0f;
  int frames = 0;
  while (owner->Components<RagdollComponent>() && frames < 700) {
    Frame();
    ++frames;
    if (!owner->Components<RagdollComponent>() || !ragdoll->IsActive()) break;
    for (int j = 0; j < 10; ++j) {
      NxD6Joint* joint = ragdoll->GetJoint(j);
      NxD6JointDesc d;
      joint->saveToDesc(d);
      worstGap = std::max(worstGap, joint->getAnchorSeparation());
      const NxD6JointMotion motions[3] = {d.twistMotion, d.swing1Motion, d.swing2Motion};
      const float highs[3] = {d.twistLimit.high.value, d.swing1Limit.value, d.swing2Limit.value};
      const float lows[3] = {d.twistLimit.low.value, -d.swing1Limit.value, -d.swing2Limit.value};
      for (int k = 0; k < 3; ++k) {
        if (motions[k] == NX_D6JOINT_MOTION_FREE) continue;
        const float angle = joint->getAngle(k);
        const float hi = motions[k] == NX_D6JOINT_MOTION_LOCKED ? 0.0f : highs[k];
        const float lo = motions[k] == NX_D6JOINT_MOTION_LOCKED ? 0.0f : lows[k];
        worstOver = std::max(worstOver, std::max(angle - hi, lo - angle));
      }
    }
  }
  EXPECT_LT(frames, 600) << "asleep before 10 s";
  EXPECT_EQ(owner->Components<RagdollComponent>(), nullptr);
  EXPECT_LT(worstOver, 0.15f) << "radians beyond a limit";
  EXPECT_LT(worstGap, 0.05f);
}

// The game's bipeds (the land soldier, the human cannonball's pirate) carry every bone
// a ragdoll needs.
TEST_F(RagdollTest, TheBundledBipedsMakeWholeRagdolls) {
  ASSERT_TRUE(Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data"));
  for (const char* file : {"models\\characters\\soldier.model", "models\\Characters\\Pirate\\pirate_melee.MODEL"}) {
    SCOPED_TRACE(file);
    VDynamicMesh* mesh = Vision::Game.LoadDynamicMesh(file);
    ASSERT_NE(mesh, nullptr);
    BaseEntity* owner = MakeBiped(mesh);
    RagdollComponent* ragdoll = AddRagdoll(owner);
    ASSERT_TRUE(ragdoll->IsActive());
    EXPECT_EQ(ragdoll->GetActorCount(), 11);
    EXPECT_EQ(ragdoll->GetJointCount(), 10);
    // Every bone record found its bone: each body sits at a different place.
    for (int i = 0; i < 11; ++i)
      for (int j = i + 1; j < 11; ++j)
        EXPECT_GT(ragdoll->GetActor(i)->getGlobalPosition().GetDistance(ragdoll->GetActor(j)->getGlobalPosition()), 0.01f);
    owner->RemoveComponent(ragdoll);
    ragdoll->DisposeObject();
  }
}

// A dying soldier becomes a ragdoll pushed off its feet; on a model without
// "Bip01 Head" it stays inactive and the soldier plays "Die".
TEST_F(RagdollTest, TheDieStateUsesTheRagdoll) {
  VSmartPtr<VDynamicMesh> headless = MakeMesh(BipedModel(false));
  for (bool withHead : {true, false}) {
    SCOPED_TRACE(withHead ? "biped" : "no head");
    SoldierEntity* soldier = MakeSoldier(VisVector_cl(0, 0, 0), false);
    soldier->SetMesh(withHead ? biped.GetPtr() : headless.GetPtr());
    soldier->CreateStateMachine(STATE_IDLE);
    ASSERT_EQ(Playing(soldier), "Idle");
    soldier->SendMsg(VIS_MSG_USER_UNIT_DIE, 0, 0);
    ASSERT_EQ(Current(soldier), DieState::GetInstance());
    RagdollComponent* ragdoll = soldier->Components<RagdollComponent>();
    ASSERT_NE(ragdoll, nullptr);
    EXPECT_EQ(ragdoll->IsActive(), withHead);
    EXPECT_EQ(ragdoll->GetLifeTime(), 10.0f);
    if (withHead) {
      EXPECT_EQ(ragdoll->GetActorCount(), 11);
      EXPECT_EQ(ragdoll->GetJointCount(), 10);
      EXPECT_EQ(Playing(soldier), "Idle");
      float fastest = 0.0f;
      for (int i = 0; i < 11; ++i) fastest = std::max(fastest, ragdoll->GetActor(i)->getLinearVelocity().GetLength());
      EXPECT_GE(fastest, 5.0f) << "pushed";
    } else {
      EXPECT_EQ(Playing(soldier), "Die");
    }
  }
}

// The matrix copies keep the element order both ways (a turn and its transpose differ).
TEST(RagdollMatrices, CopiesKeepTheElementOrder) {
  VisMatrix3x3_cl turn;
  turn.SetEulerAngles(30, 20, 10);
  const NxMat33 physics = MathTools::VisionMatrixToPhysXMatrix(turn);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(physics.m[r][c], turn(r, c));
  NxMat33 other;
  const float rows[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  other.setRowMajor(rows);
  const VisMatrix3x3_cl back = MathTools::PhysXMatrixToVisionMatrix(other);
  EXPECT_EQ(back(0, 1), 2.0f);
  EXPECT_EQ(back(1, 0), 4.0f);
  EXPECT_EQ(back(2, 2), 9.0f);
}

}  // namespace
