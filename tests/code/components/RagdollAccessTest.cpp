// The ragdoll calls of the projectiles reach a ragdoll that has those operations,
// whatever its bone type, and do nothing on one that lacks them.
#include "components/RagdollAccess.h"

#include <gtest/gtest.h>

namespace {

struct FullRagdoll {
  enum Bones { HEAD = 0, CHEST = 3 };
  NxActor* GetBoneActor(Bones bone) const {
    asked = bone;
    return bone == CHEST ? reinterpret_cast<NxActor*>(0x10) : nullptr;
  }
  void SetVelocity(const VisVector_cl& v) { velocity = v; }
  void SetCollisionMask(unsigned m) { mask = m; }
  void SetCollisionGroup(unsigned g) { group = g; }
  void SetSleepTime(float s) { sleep = s; }
  mutable int asked = -1;
  VisVector_cl velocity{0, 0, 0};
  unsigned mask = 99, group = 99;
  float sleep = -1.0f;
};

struct BareRagdoll {};

TEST(RagdollAccessTest, CallsReachARagdollThatHasThem) {
  FullRagdoll ragdoll;
  EXPECT_EQ(RagdollAccess::MainActor(&ragdoll), reinterpret_cast<NxActor*>(0x10));
  EXPECT_EQ(ragdoll.asked, FullRagdoll::CHEST);
  EXPECT_EQ(RagdollAccess::BoneActor(&ragdoll, 0), nullptr);
  RagdollAccess::SetVelocity(&ragdoll, VisVector_cl(1, 2, 3));
  RagdollAccess::SetCollision(&ragdoll, 8, 2);
  RagdollAccess::SetSleepTime(&ragdoll, 10.0f);
  EXPECT_EQ(ragdoll.velocity, VisVector_cl(1, 2, 3));
  EXPECT_EQ(ragdoll.mask, 8u);
  EXPECT_EQ(ragdoll.group, 2u);
  EXPECT_FLOAT_EQ(ragdoll.sleep, 10.0f);

  BareRagdoll bare;
  EXPECT_EQ(RagdollAccess::MainActor(&bare), nullptr);
  RagdollAccess::SetVelocity(&bare, VisVector_cl(1, 2, 3));
  RagdollAccess::SetCollision(&bare, 8, 2);
  RagdollAccess::SetSleepTime(&bare, 10.0f);
  EXPECT_EQ(RagdollAccess::MainActor<FullRagdoll>(nullptr), nullptr);
}

}  // namespace
