// The bone-attached entity: attaching by bone name, following the bone with its
// offset and rotation, the two switches, and re-attaching.
#include "entities/BoneAttachedEntity.h"

#include "core/BaseEntity.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

namespace {

::testing::AssertionResult Near(const VisVector_cl& a, const VisVector_cl& b) {
  if (a.IsEqual(b, 1e-4f)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") is not (" << b.x << ", "
                                       << b.y << ", " << b.z << ")";
}

class BoneAttachedEntityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_skeleton = new VDynamicMesh("pirate.model");
    ASSERT_TRUE(m_skeleton->LoadFromXml(
        "<model><bone name=\"Bip01\" position=\"0/0/1\"/>"
        "<bone name=\"weapon01\" parent=\"Bip01\" position=\"1/0/1.5\"/></model>"));
    m_plain = new VDynamicMesh("rock.model");
    ASSERT_TRUE(m_plain->LoadFromXml("<model><bbox min=\"0/0/0\" max=\"1/1/1\"/></model>"));
    pirate = new VisBaseEntity_cl();
    pirate->SetMesh(m_skeleton);
    pirate->SetPosition(VisVector_cl(10, 20, 0));
    sword = static_cast<BoneAttachedEntity*>(Vision::Game.CreateEntity("BoneAttachedEntity", VisVector_cl(5, 5, 5)));
  }
  void TearDown() override { Vision::Game.RemoveAllEntities(); }

  // Held here too: a mesh no entity takes would otherwise never be freed.
  VSmartPtr<VDynamicMesh> m_skeleton;
  VSmartPtr<VDynamicMesh> m_plain;
  VisBaseEntity_cl* pirate = nullptr;
  BoneAttachedEntity* sword = nullptr;
};

TEST_F(BoneAttachedEntityTest, RefusedAttachmentsLeaveTheEntityWhereItIs) {
  ASSERT_NE(sword, nullptr);
  VisBaseEntity_cl rock;
  rock.SetMesh(m_plain);
  VisBaseEntity_cl bare;
  EXPECT_FALSE(sword->Attach(&rock, "Bip01", VisQuaternion_cl(), VisVector_cl(0, 0, 0)));
  EXPECT_FALSE(sword->Attach(&bare, "Bip01", VisQuaternion_cl(), VisVector_cl(0, 0, 0)));
  EXPECT_FALSE(sword->Attach(pirate, nullptr, VisQuaternion_cl(), VisVector_cl(0, 0, 0)));
  EXPECT_FALSE(sword->Attach(nullptr, "Bip01", VisQuaternion_cl(), VisVector_cl(0, 0, 0)));
  EXPECT_FALSE(sword->Attach(pirate, "Bip01 Head", VisQuaternion_cl(), VisVector_cl(0, 0, 0)));
  EXPECT_EQ(sword->GetBoneIndex(), -1);
  EXPECT_FALSE(sword->IsAttached());
  EXPECT_FALSE(sword->Detach());
  EXPECT_TRUE(sword->GetPosition() == VisVector_cl(5, 5, 5));
}

TEST_F(BoneAttachedEntityTest, FollowsTheBoneWithItsOffsetAndRotation) {
  ASSERT_TRUE(sword->Attach(pirate, "WEAPON01", VisQuaternion_cl(), VisVector_cl(0.5f, 0, 0)));
  EXPECT_EQ(sword->GetBoneIndex(), 1);
  EXPECT_TRUE(Near(sword->GetPosition(), VisVector_cl(11.5f, 20, 1.5f))) << "placed at once";

  // The target turns a quarter to the left: bone and offset turn with it.
  pirate->SetOrientation(90, 0, 0);
  Vision::Game.RunThinkFunctions();
  EXPECT_TRUE(Near(sword->GetPosition(), VisVector_cl(10, 21.5f, 1.5f)));
  EXPECT_TRUE(Near(sword->GetRotationMatrix().GetColumn(0), pirate->GetRotationMatrix().GetColumn(0)))
      << "facing the way the target faces";

  // A local rotation turns on top of the bone's.
  const VisQuaternion_cl quarter = VisQuaternion_cl::FromAxisAngle(VisVector_cl(0, 0, 1), 90);
  ASSERT_TRUE(sword->Attach(pirate, "weapon01", quarter, VisVector_cl(0, 0, 0)));
  EXPECT_TRUE(Near(sword->GetRotationMatrix().GetColumn(0), VisVector_cl(-1, 0, 0)));
}

TEST_F(BoneAttachedEntityTest, SwitchesChooseWhatFollows) {
  ASSERT_TRUE(sword->Attach(pirate, "Bip01", VisQuaternion_cl(), VisVector_cl(0, 0, 0)));
  const VisVector_cl placed = sword->GetPosition();
  sword->SetUpdatePosition(false);
  sword->SetUpdateOrientation(false);
  pirate->SetPosition(VisVector_cl(0, 0, 0));
  pirate->SetOrientation(45, 0, 0);
  Vision::Game.RunThinkFunctions();
  EXPECT_TRUE(sword->GetPosition() == placed) << "both switches off: it stays";
  EXPECT_TRUE(Near(sword->GetRotationMatrix().GetColumn(0), VisVector_cl(1, 0, 0)));

  sword->SetUpdateOrientation(true);
  Vision::Game.RunThinkFunctions();
  EXPECT_TRUE(sword->GetPosition() == placed);
  EXPECT_TRUE(Near(sword->GetRotationMatrix().GetColumn(0), pirate->GetRotationMatrix().GetColumn(0)));
  sword->SetUpdatePosition(true);
  Vision::Game.RunThinkFunctions();
  EXPECT_TRUE(Near(sword->GetPosition(), VisVector_cl(0, 0, 1)));
}

TEST_F(BoneAttachedEntityTest, ASecondAttachLeavesTheFirstTarget) {
  VisBaseEntity_cl* parrot = new VisBaseEntity_cl();
  parrot->SetMesh(m_skeleton);
  parrot->SetPosition(VisVector_cl(-50, 0, 0));
  ASSERT_TRUE(sword->Attach(pirate, "Bip01", VisQuaternion_cl(), VisVector_cl(0, 0, 0)));
  ASSERT_TRUE(sword->Attach(parrot, "Bip01", VisQuaternion_cl(), VisVector_cl(0, 0, 0)));
  EXPECT_EQ(sword->GetTarget(), parrot);
  pirate->SetPosition(VisVector_cl(100, 100, 100));
  Vision::Game.RunThinkFunctions();
  EXPECT_TRUE(Near(sword->GetPosition(), VisVector_cl(-50, 0, 1)));

  // After a failed attempt the entity is detached.
  EXPECT_FALSE(sword->Attach(parrot, "tail", VisQuaternion_cl(), VisVector_cl(0, 0, 0)));
  EXPECT_FALSE(sword->IsAttached());
  EXPECT_EQ(sword->GetTarget(), nullptr);
}

// The target goes (an engine entity freed by the world, a game entity deleted
// directly): the entity lets go and keeps its last place on the next think.
TEST_F(BoneAttachedEntityTest, DestroyedTargetIsLetGo) {
  for (const char* kind : {"VisBaseEntity_cl", "BaseEntity"}) {
    SCOPED_TRACE(kind);
    VisBaseEntity_cl* target = Vision::Game.CreateEntity(kind, VisVector_cl(3, 4, 0));
    ASSERT_NE(target, nullptr);
    target->SetMesh(m_skeleton);
    ASSERT_TRUE(sword->Attach(target, "Bip01", VisQuaternion_cl(), VisVector_cl(0, 0, 0)));
    const VisVector_cl placed = sword->GetPosition();
    if (target->IsOfType(BaseEntity::GetClassTypeId())) {
      delete target;
    } else {
      target->Remove();
      Vision::Game.FreeRemovedEntities();
    }
    EXPECT_FALSE(sword->IsAttached());
    EXPECT_EQ(sword->GetTarget(), nullptr);
    Vision::Game.RunThinkFunctions();
    EXPECT_TRUE(sword->GetPosition() == placed);
  }
}

}  // namespace
