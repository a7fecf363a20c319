// 3-D object poses and hierarchy, and the life of entities in Vision::Game:
// slots, removal, unique ids and motion deltas.
#include "engine/core/IVObjectComponent.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisGame.h"
#include "support/ArchiveRoundTrip.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr float kEps = 1e-4f;

::testing::AssertionResult Near(const VisVector_cl& a, const VisVector_cl& b) {
  if (a.IsEqual(b, kEps)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") is not (" << b.x << ", "
                                       << b.y << ", " << b.z << ")";
}

std::vector<std::string> g_events;

// Records its parent notifications and its end.
class EntTrackedEntity : public VisBaseEntity_cl {
  V_DECLARE_DYNCREATE(EntTrackedEntity)
 public:
  explicit EntTrackedEntity(const char* name = "e") : m_name(name) {}
  ~EntTrackedEntity() override { g_events.push_back(m_name + ":deleted"); }
  void DeInitFunction() override { g_events.push_back(m_name + ":deinit"); }
  void ModSysNotifyFunctionParentAltered(int flags) override {
    m_flags.push_back(flags);
    VisBaseEntity_cl::ModSysNotifyFunctionParentAltered(flags);
    if (m_bLeaveWhenMoved) DetachFromParent();
  }
  std::string m_name;
  std::vector<int> m_flags;
  bool m_bLeaveWhenMoved = false;
};
V_IMPLEMENT_DYNCREATE(EntTrackedEntity, VisBaseEntity_cl)

class EntTrackedComponent : public IVObjectComponent {
  V_DECLARE_DYNCREATE(EntTrackedComponent)
 public:
  ~EntTrackedComponent() override { g_events.push_back("component:deleted"); }
  void SetOwner(VisTypedEngineObject_cl* owner) override {
    if (!owner) g_events.push_back("component:detached");
    IVObjectComponent::SetOwner(owner);
  }
};
V_IMPLEMENT_DYNCREATE(EntTrackedComponent, IVObjectComponent)

class DestroyedListener : public IVisCallbackHandler_cl {
 public:
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override {
    auto* obj = static_cast<VisObjectDataObject_cl*>(data);
    auto* e = static_cast<EntTrackedEntity*>(obj->m_pObject);
    g_events.push_back(e->m_name + ":destroyed-callback");
  }
};

class EntityTest : public ::testing::Test {
 protected:
  void SetUp() override { g_events.clear(); }
  void TearDown() override {
    Vision::Callbacks.OnObjectDestroyed.DeregisterCallback(&m_listener);
    Vision::Game.RemoveAllEntities();
    g_events.clear();
  }
  DestroyedListener m_listener;
};

// ---- pose -------------------------------------------------------------------

TEST_F(EntityTest, EulerAnglesAndMatrixStayInStep) {
  VisObject3D_cl obj;
  obj.SetOrientation(90, 0, 0);
  EXPECT_TRUE(Near(obj.GetDirection(), VisVector_cl(0, 1, 0)));

  VisMatrix3x3_cl m;
  m.SetEulerAngles(30, 20, 10);
  obj.SetRotationMatrix(m);
  EXPECT_TRUE(Near(obj.GetOrientation(), VisVector_cl(30, 20, 10)));

  obj.IncOrientation(VisVector_cl(15, 0, 0));
  EXPECT_TRUE(Near(obj.GetOrientation(), VisVector_cl(45, 20, 10)));
  m.SetEulerAngles(45, 20, 10);
  for (int c = 0; c < 3; ++c) EXPECT_TRUE(Near(obj.GetRotationMatrix().GetColumn(c), m.GetColumn(c)));
}

TEST_F(EntityTest, MatrixIsKeptAsSetOnlyWithoutEulerAngles) {
  VisMatrix3x3_cl scaled;
  scaled.SetColumn(0, VisVector_cl(2, 0, 0));  // not a pure rotation

  VisObject3D_cl euler;
  euler.SetRotationMatrix(scaled);
  EXPECT_TRUE(Near(euler.GetRotationMatrix().GetColumn(0), VisVector_cl(1, 0, 0)));

  VisObject3D_cl raw;
  raw.SetUseEulerAngles(false);
  raw.SetRotationMatrix(scaled);
  EXPECT_TRUE(Near(raw.GetRotationMatrix().GetColumn(0), VisVector_cl(2, 0, 0)));
  EXPECT_TRUE(Near(raw.GetOrientation(), VisVector_cl(0, 0, 0)));
}

// ---- hierarchy --------------------------------------------------------------

TEST_F(EntityTest, ChildKeepsWorldPoseOnAttachAndLocalPoseAfterwards) {
  VisObject3D_cl parent, child, grandchild;
  parent.SetPosition(10, 0, 0);
  parent.SetOrientation(90, 0, 0);
  child.SetPosition(10, 5, 0);
  child.SetOrientation(90, 0, 0);
  grandchild.SetPosition(10, 5, 1);

  child.AttachToParent(&parent);
  grandchild.AttachToParent(&child);
  EXPECT_TRUE(Near(child.GetPosition(), VisVector_cl(10, 5, 0)));
  EXPECT_TRUE(Near(child.GetLocalPosition(), VisVector_cl(5, 0, 0)));
  EXPECT_TRUE(Near(child.GetOrientation(), VisVector_cl(90, 0, 0)));
  EXPECT_TRUE(Near(grandchild.GetLocalPosition(), VisVector_cl(0, 0, 1)));

  parent.SetPosition(0, 0, 0);
  EXPECT_TRUE(Near(child.GetPosition(), VisVector_cl(0, 5, 0)));
  EXPECT_TRUE(Near(grandchild.GetPosition(), VisVector_cl(0, 5, 1)));

  parent.SetOrientation(180, 0, 0);
  EXPECT_TRUE(Near(child.GetPosition(), VisVector_cl(-5, 0, 0)));
  EXPECT_TRUE(Near(child.GetDirection(), VisVector_cl(-1, 0, 0)));
  EXPECT_TRUE(Near(grandchild.GetPosition(), VisVector_cl(-5, 0, 1)));

  child.SetLocalPosition(VisVector_cl(2, 0, 0));
  EXPECT_TRUE(Near(child.GetPosition(), VisVector_cl(-2, 0, 0)));
  EXPECT_TRUE(Near(grandchild.GetPosition(), VisVector_cl(-2, 0, 1)));

  child.DetachFromParent();
  EXPECT_EQ(parent.GetNumChildren(), 0);
  parent.SetPosition(100, 0, 0);
  EXPECT_TRUE(Near(child.GetPosition(), VisVector_cl(-2, 0, 0)));
  EXPECT_TRUE(Near(child.GetLocalPosition(), VisVector_cl(-2, 0, 0)));
}

TEST_F(EntityTest, ChildrenHearWhatOfTheParentChanged) {
  auto* parent = new EntTrackedEntity("parent");
  auto* child = new EntTrackedEntity("child");
  auto* grandchild = new EntTrackedEntity("grandchild");
  child->AttachToParent(parent);
  grandchild->AttachToParent(child);

  parent->SetPosition(1, 2, 3);
  EXPECT_EQ(child->m_flags, std::vector<int>{1});
  EXPECT_EQ(grandchild->m_flags, std::vector<int>{1});
  parent->SetOrientation(45, 0, 0);
  EXPECT_EQ(child->m_flags, (std::vector<int>{1, 2}));
  // A turning parent moves the grandchild as well as turning it.
  EXPECT_EQ(grandchild->m_flags, (std::vector<int>{1, 3}));
}

TEST_F(EntityTest, ChildrenFollowWhileOneOfThemLeavesOnTheWay) {
  for (int count : {3, 20}) {
    auto* parent = new EntTrackedEntity("parent");
    std::vector<EntTrackedEntity*> children;
    for (int i = 0; i < count; ++i) {
      children.push_back(new EntTrackedEntity("child"));
      children.back()->AttachToParent(parent);
    }
    children[1]->m_bLeaveWhenMoved = true;
    parent->SetPosition(1, 0, 0);
    parent->SetPosition(2, 0, 0);
    EXPECT_EQ(parent->GetNumChildren(), count - 1) << count;
    EXPECT_EQ(children[1]->m_flags, std::vector<int>{1}) << count;
    for (int i = 0; i < count; ++i) {
      if (i == 1) continue;
      EXPECT_EQ(children[i]->m_flags, (std::vector<int>{1, 1})) << count << " child " << i;
      EXPECT_TRUE(Near(children[i]->GetPosition(), VisVector_cl(2, 0, 0))) << count << " child " << i;
    }
    Vision::Game.RemoveAllEntities();
  }
}

TEST_F(EntityTest, AChildsAnglesFollowItsTurnedParentWhenReadOrSaved) {
  VisObject3D_cl parent, child;
  child.SetOrientation(10, 0, 0);
  child.AttachToParent(&parent);
  parent.SetOrientation(30, 0, 0);
  EXPECT_TRUE(Near(child.GetOrientation(), VisVector_cl(40, 0, 0)));

  parent.SetOrientation(30, 20, 0);
  parent.SetPosition(5, 0, 0);
  const VisVector_cl angles = child.GetRotationMatrix().GetEulerAngles();
  const archive_test::Bytes saved = archive_test::SaveBytes([&](VArchive& ar) { child.Serialize(ar); });
  VisObject3D_cl loaded;
  ASSERT_TRUE(archive_test::LoadBytes(saved, [&](VArchive& ar) { loaded.Serialize(ar); }));
  EXPECT_EQ(loaded.GetOrientation(), angles);
  EXPECT_EQ(child.GetOrientation(), angles);
}

TEST_F(EntityTest, AttachingToItselfOrADescendantIsRefused) {
  VisObject3D_cl a, b;
  b.AttachToParent(&a);
  a.AttachToParent(&b);
  a.AttachToParent(&a);
  EXPECT_EQ(a.GetParent(), nullptr);
  EXPECT_EQ(b.GetParent(), &a);
  a.SetPosition(1, 0, 0);  // would recurse forever with a loop
  EXPECT_TRUE(Near(b.GetPosition(), VisVector_cl(1, 0, 0)));
}

// ---- life in the world ------------------------------------------------------

TEST_F(EntityTest, EntitiesTakeTheLowestFreeSlot) {
  auto* a = new EntTrackedEntity("a");
  auto* b = new EntTrackedEntity("b");
  auto* c = new EntTrackedEntity("c");
  const int base = a->GetNumber();
  EXPECT_EQ(b->GetNumber(), base + 1);
  EXPECT_EQ(Vision::Game.GetEntity(c->GetNumber()), c);

  b->Remove();
  EXPECT_EQ(Vision::Game.GetEntity(b->GetNumber()), b) << "removed entities stay listed until freed";
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(Vision::Game.GetEntity(base + 1), nullptr);
  auto* d = new EntTrackedEntity("d");
  EXPECT_EQ(d->GetNumber(), base + 1);
}

TEST_F(EntityTest, FreeingARemovedEntityTearsItDownInOrder) {
  Vision::Callbacks.OnObjectDestroyed.RegisterCallback(&m_listener);
  auto* parent = new EntTrackedEntity("parent");
  auto* child = new EntTrackedEntity("child");
  child->SetPosition(3, 0, 0);
  child->AttachToParent(parent);
  parent->AddComponent(new EntTrackedComponent());

  parent->Remove();
  parent->Remove();  // harmless
  EXPECT_TRUE(parent->IsMarkedRemoved());
  EXPECT_TRUE(g_events.empty()) << "nothing happens before the frame end";

  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(g_events, (std::vector<std::string>{"parent:deinit", "component:detached", "component:deleted",
                                                "parent:destroyed-callback", "parent:deleted"}));
  EXPECT_EQ(child->GetParent(), nullptr);
  EXPECT_TRUE(Near(child->GetPosition(), VisVector_cl(3, 0, 0)));

  g_events.clear();
  Vision::Game.FreeRemovedEntities();
  EXPECT_TRUE(g_events.empty()) << "an entity is freed once";
}

TEST_F(EntityTest, DeInitMayRemoveFurtherEntities) {
  struct Chain : EntTrackedEntity {
    using EntTrackedEntity::EntTrackedEntity;
    VisBaseEntity_cl* next = nullptr;
    void DeInitFunction() override {
      EntTrackedEntity::DeInitFunction();
      if (next) next->Remove();
    }
  };
  auto* first = new Chain("first");
  auto* second = new Chain("second");
  first->next = second;
  first->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(g_events, (std::vector<std::string>{"first:deinit", "first:deleted", "second:deinit", "second:deleted"}));
}

TEST_F(EntityTest, DeletingAnEntityDirectlyLeavesNoDanglingSlot) {
  auto* e = new EntTrackedEntity("direct");
  e->SetUniqueID(77);
  const int slot = e->GetNumber();
  delete e;
  EXPECT_TRUE(slot >= Vision::Game.GetEntityCount() || Vision::Game.GetEntity(slot) == nullptr);
  EXPECT_EQ(Vision::Game.FindEntityByUniqueID(77), nullptr);
  Vision::Game.RunThinkFunctions();
  Vision::Game.FreeRemovedEntities();
}

TEST_F(EntityTest, UniqueIdsAreIndexed) {
  auto* a = new EntTrackedEntity("a");
  auto* b = new EntTrackedEntity("b");
  const int64_t big = (int64_t(5) << 32) | 7;
  a->SetUniqueID(big);
  b->SetUniqueID(12);
  EXPECT_EQ(Vision::Game.FindEntityByUniqueID(big), a);
  EXPECT_EQ(Vision::Game.FindEntityByUniqueID(7u, 5u), a);
  EXPECT_EQ(Vision::Game.FindEntityByUniqueID(12), b);
  EXPECT_EQ(Vision::Game.FindEntityByUniqueID(0), nullptr) << "0 means no id";

  a->SetUniqueID(13);
  EXPECT_EQ(Vision::Game.FindEntityByUniqueID(big), nullptr);
  EXPECT_EQ(Vision::Game.FindEntityByUniqueID(13), a);

  b->Remove();
  EXPECT_EQ(Vision::Game.FindEntityByUniqueID(12), nullptr) << "a removed entity is not found";
}

TEST_F(EntityTest, DuplicateIdsResolveToTheLowestSlotAndHandOver) {
  auto* first = new EntTrackedEntity("first");
  auto* second = new EntTrackedEntity("second");
  auto* third = new EntTrackedEntity("third");
  third->SetUniqueID(40);
  first->SetUniqueID(40);
  second->SetUniqueID(40);
  EXPECT_EQ(Vision::Game.FindEntityByUniqueID(40), first);
  first->Remove();
  EXPECT_EQ(Vision::Game.FindEntityByUniqueID(40), second);
  Vision::Game.FreeRemovedEntities();
  second->SetUniqueID(41);
  EXPECT_EQ(Vision::Game.FindEntityByUniqueID(40), third);
  third->Remove();
  EXPECT_EQ(Vision::Game.FindEntityByUniqueID(40), nullptr);
  EXPECT_EQ(Vision::Game.FindEntityByUniqueID(41), second);
}

TEST_F(EntityTest, MotionDeltaMovesTheEntityAtTheNextThink) {
  auto* e = new EntTrackedEntity("mover");
  auto* child = new EntTrackedEntity("rider");
  child->AttachToParent(e);
  e->IncMotionDelta(VisVector_cl(1, 0, 0));
  e->IncMotionDelta(VisVector_cl(0, 2, 0));
  EXPECT_TRUE(Near(e->GetPosition(), VisVector_cl(0, 0, 0)));
  Vision::Game.RunThinkFunctions();
  EXPECT_TRUE(Near(e->GetPosition(), VisVector_cl(1, 2, 0)));
  EXPECT_TRUE(Near(child->GetPosition(), VisVector_cl(1, 2, 0)));
  EXPECT_TRUE(e->GetMotionDelta().IsZero());
  Vision::Game.RunThinkFunctions();
  EXPECT_TRUE(Near(e->GetPosition(), VisVector_cl(1, 2, 0)));
}

TEST_F(EntityTest, WorldBoxFollowsPoseAndScalingAndTheCustomBox) {
  auto* e = new EntTrackedEntity("boxed");
  VisBoundingBox_cl box;
  e->GetCurrentVisBoundingBox(box);
  EXPECT_FALSE(box.IsValid()) << "no model, no box";

  e->SetCustomVisibilityBox(VisBoundingBox_cl(VisVector_cl(0, -1, 0), VisVector_cl(2, 1, 1)));
  e->SetScaling(VisVector_cl(2, 1, 1));
  e->SetOrientation(90, 0, 0);
  e->SetPosition(10, 0, 0);
  e->GetCurrentVisBoundingBox(box);
  EXPECT_TRUE(Near(box.m_vMin, VisVector_cl(9, 0, 0)));
  EXPECT_TRUE(Near(box.m_vMax, VisVector_cl(11, 4, 1)));
}

}  // namespace
