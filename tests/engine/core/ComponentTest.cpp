// Components on engine objects: attaching and detaching, look-ups, message delivery
// (also while components leave), variable-change messages and disposal.
#include "engine/core/IVObjectComponent.h"
#include "engine/core/VisGame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Received {
  std::string who;
  int id;
  std::string p1, p2;
};
std::vector<Received> g_received;
int g_deleted = 0;

class CmpRecorder : public IVObjectComponent {
  V_DECLARE_DYNCREATE(CmpRecorder)
 public:
  explicit CmpRecorder(const char* name = "") { m_name = VString(name); }
  ~CmpRecorder() override { ++g_deleted; }
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override {
    Received r{GetComponentName(), id, "", ""};
    if (id == VIS_MSG_EDITOR_PROPERTYCHANGED) {
      r.p1 = reinterpret_cast<const char*>(p1);
      r.p2 = reinterpret_cast<const char*>(p2);
    }
    g_received.push_back(r);
    if (onMessage) onMessage(this);
  }
  void (*onMessage)(CmpRecorder*) = nullptr;
  IVObjectComponent* victim = nullptr;
  int m_iLevel = 0;
};
void CmpRecorder_BuildVarList(VARTABLE& t) { VAR_INT(t, CmpRecorder, m_iLevel, "Level", "0"); }
V_IMPLEMENT_DYNCREATE_VARS(CmpRecorder, IVObjectComponent, CmpRecorder_BuildVarList)

class CmpDerived : public CmpRecorder {
  V_DECLARE_DYNCREATE(CmpDerived)
 public:
  using CmpRecorder::CmpRecorder;
};
V_IMPLEMENT_DYNCREATE(CmpDerived, CmpRecorder)

// Accepts only entities.
class CmpPicky : public IVObjectComponent {
  V_DECLARE_DYNCREATE(CmpPicky)
 public:
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override {
    if (!IVObjectComponent::CanAttachToObject(object, reason)) return 0;
    if (!object->IsOfType(VisBaseEntity_cl::GetClassTypeId())) {
      reason = "entities only";
      return 0;
    }
    return 1;
  }
};
V_IMPLEMENT_DYNCREATE(CmpPicky, IVObjectComponent)

class CmpVarObject : public VisTypedEngineObject_cl {
  V_DECLARE_DYNCREATE(CmpVarObject)
 public:
  VString m_sLabel;
};
void CmpVarObject_BuildVarList(VARTABLE& t) { VAR_STRING(t, CmpVarObject, m_sLabel, "Label", ""); }
V_IMPLEMENT_DYNCREATE_VARS(CmpVarObject, VisTypedEngineObject_cl, CmpVarObject_BuildVarList)

class ComponentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_received.clear();
    g_deleted = 0;
  }
  void TearDown() override { Vision::Game.RemoveAllEntities(); }
};

TEST_F(ComponentTest, AttachIsRefusedWhereTheBaseTestOrTheComponentSaysSo) {
  VisTypedEngineObject_cl a, b;
  auto* c = new CmpRecorder("c");
  EXPECT_FALSE(a.AddComponent(nullptr));
  ASSERT_TRUE(a.AddComponent(c));
  EXPECT_EQ(c->GetOwner(), &a);
  EXPECT_FALSE(a.AddComponent(c)) << "not twice";
  EXPECT_EQ(a.GetComponentCount(), 1);

  VString reason;
  EXPECT_EQ(c->CanAttachToObject(&b, reason), 0);
  EXPECT_FALSE(reason.IsEmpty());
  EXPECT_FALSE(b.AddComponent(c));
  EXPECT_EQ(c->GetOwner(), &a);
  EXPECT_EQ(b.GetComponentCount(), 0);

  auto* picky = new CmpPicky();
  EXPECT_FALSE(a.AddComponent(picky));
  EXPECT_EQ(picky->GetOwner(), nullptr);
  auto* entity = new VisBaseEntity_cl();
  EXPECT_TRUE(entity->AddComponent(picky));
}

TEST_F(ComponentTest, RemoveDetachesAndLeavesTheComponentToTheCaller) {
  VisTypedEngineObject_cl owner;
  auto* c = new CmpRecorder("c");
  owner.AddComponent(c);
  EXPECT_TRUE(owner.RemoveComponent(c));
  EXPECT_EQ(c->GetOwner(), nullptr);
  EXPECT_EQ(g_deleted, 0);
  EXPECT_FALSE(owner.RemoveComponent(c));
  VisTypedEngineObject_cl other;
  EXPECT_TRUE(other.AddComponent(c)) << "a detached component can move on";
  c->DisposeObject();
  EXPECT_EQ(other.GetComponentCount(), 0);
  EXPECT_EQ(g_deleted, 1);
}

TEST_F(ComponentTest, DeletingOrDisposingDetachesAndRemoveAllDisposes) {
  VisTypedEngineObject_cl owner;
  auto* a = new CmpRecorder("a");
  auto* b = new CmpRecorder("b");
  owner.AddComponent(a);
  owner.AddComponent(b);
  delete a;
  EXPECT_EQ(owner.GetComponentCount(), 1);
  owner.AddComponent(new CmpRecorder("c"));
  owner.RemoveAllComponents();
  EXPECT_EQ(owner.GetComponentCount(), 0);
  EXPECT_EQ(g_deleted, 3);
}

TEST_F(ComponentTest, LookUps) {
  VisTypedEngineObject_cl owner;
  auto* derived = new CmpDerived("first");
  auto* exact = new CmpRecorder("second");
  owner.AddComponent(derived);
  owner.AddComponent(exact);

  EXPECT_EQ(owner.GetComponentOfType(CmpRecorder::GetClassTypeId()), exact) << "an exact match comes first";
  EXPECT_EQ(owner.GetComponentOfType(CmpDerived::GetClassTypeId()), derived);
  EXPECT_EQ(owner.GetComponentOfType(IVObjectComponent::GetClassTypeId(), true), nullptr);
  EXPECT_EQ(owner.GetComponentOfBaseType(IVObjectComponent::GetClassTypeId()), derived);
  EXPECT_EQ(owner.Components<CmpRecorder>(), exact);
  EXPECT_EQ(owner.GetComponentOfType("cmpderived"), derived);
  EXPECT_EQ(owner.GetComponentOfType("NoSuchComponent"), nullptr);
  EXPECT_EQ(owner.GetComponentOfType((const char*)nullptr), nullptr);
  EXPECT_EQ(owner.GetComponentByName("second"), exact);
  EXPECT_EQ(owner.GetComponentByName("Second"), nullptr);

  owner.RemoveComponent(exact);
  EXPECT_EQ(owner.GetComponentOfType(CmpRecorder::GetClassTypeId()), derived) << "then a derived one";
  delete exact;
}

TEST_F(ComponentTest, MessagesReachEveryComponentInOrder) {
  auto* e = new VisBaseEntity_cl();
  e->AddComponent(new CmpRecorder("a"));
  e->AddComponent(new CmpRecorder("b"));
  Vision::Game.SendMsg(e, 42, 1, 2);
  Vision::Game.SendMsg(nullptr, 42);  // ignored
  ASSERT_EQ(g_received.size(), 2u);
  EXPECT_EQ(g_received[0].who, "a");
  EXPECT_EQ(g_received[1].who, "b");
  EXPECT_EQ(g_received[1].id, 42);
}

TEST_F(ComponentTest, DeliveryIsSafeWhenComponentsLeaveDuringIt) {
  // Few components, and more than fit the delivery's own small list.
  for (int extra : {0, 20}) {
    g_received.clear();
    g_deleted = 0;
    VisTypedEngineObject_cl owner;
    auto* selfRemover = new CmpRecorder("self");
    auto* killer = new CmpRecorder("killer");
    auto* victim = new CmpRecorder("victim");
    auto* last = new CmpRecorder("last");
    selfRemover->onMessage = [](CmpRecorder* c) { c->DisposeObject(); };
    killer->victim = victim;
    killer->onMessage = [](CmpRecorder* c) {
      if (c->victim) c->victim->DisposeObject();
      c->victim = nullptr;
    };
    for (CmpRecorder* c : {selfRemover, killer, victim, last}) owner.AddComponent(c);
    for (int i = 0; i < extra; ++i) owner.AddComponent(new CmpRecorder("extra"));

    owner.SendMsg(7);
    ASSERT_EQ(g_received.size(), 3u + extra) << extra;
    EXPECT_EQ(g_received[0].who, "self");
    EXPECT_EQ(g_received[1].who, "killer");
    EXPECT_EQ(g_received[2].who, "last");
    EXPECT_EQ(owner.GetComponentCount(), 2 + extra);
    EXPECT_EQ(g_deleted, 2);
  }
}

TEST_F(ComponentTest, SetVariableRaisesThePropertyChangedMessage) {
  CmpVarObject obj;
  auto* c = new CmpRecorder("watcher");
  obj.AddComponent(c);
  ASSERT_TRUE(obj.SetVariable("m_sLabel", "north gate"));
  EXPECT_EQ(obj.m_sLabel, "north gate");
  ASSERT_EQ(g_received.size(), 1u);
  EXPECT_EQ(g_received[0].id, VIS_MSG_EDITOR_PROPERTYCHANGED);
  EXPECT_EQ(g_received[0].p1, "m_sLabel");
  EXPECT_EQ(g_received[0].p2, "north gate");

  // A component's own variable raises the message on the component.
  g_received.clear();
  ASSERT_TRUE(c->SetVariable("m_iLevel", "3"));
  EXPECT_EQ(c->m_iLevel, 3);
  ASSERT_EQ(g_received.size(), 1u);
  EXPECT_EQ(g_received[0].p1, "m_iLevel");
  EXPECT_EQ(g_received[0].p2, "3");
}

}  // namespace
