// Contacts as message 10000 to the owners and their components, collision filters,
// removal in the middle of a frame, and repeatable runs.
#include "PhysicsFixture.h"

#include "support/ScopedEnv.h"

#include <functional>
#include <string>
#include <vector>

namespace {

struct SeenContact {
  std::string receiver;
  INT_PTR p2;
  vPhysXObject* first;
  vPhysXObject* second;
  bool staticGeometry, terrain;
  VisVector_cl point, normal;
};

// Records the contacts its entity passes on; may act on one.
class ContactProbe : public IVObjectComponent {
 public:
  ContactProbe(std::vector<SeenContact>& log, std::string name) : m_log(log), m_name(std::move(name)) {}
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override {
    if (id != VIS_MSG_PHYSICS_CONTACT) return;
    auto* r = reinterpret_cast<const vPhysXContactRecord*>(p1);
    m_log.push_back({m_name, p2, r->participant[0].pObject, r->participant[1].pObject,
                     r->participant[1].pStaticGeometry != nullptr, r->participant[1].iTerrain != 0, r->vPoint,
                     r->vNormal});
    if (onContact) onContact(*r);
  }
  std::function<void(const vPhysXContactRecord&)> onContact;

 private:
  std::vector<SeenContact>& m_log;
  std::string m_name;
};

// An entity that counts the contact messages reaching it before its components.
class CountingEntity : public VisBaseEntity_cl {
 public:
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override {
    if (id == VIS_MSG_PHYSICS_CONTACT) ++contacts;
    VisBaseEntity_cl::MessageFunction(id, p1, p2);
  }
  int contacts = 0;
};

class ContactTest : public PhysicsTest {
 protected:
  void SetUp() override {
    PhysicsTest::SetUp();
    module->SetGlobalGravity(VisVector_cl(0, 0, 0));
  }
  // Two unit boxes 3 apart on x, the first moving toward the second.
  void MakePair(float speed = 4.0f) {
    a = new CountingEntity();
    b = new CountingEntity();
    a->SetPosition(VisVector_cl(0, 0, 0));
    b->SetPosition(VisVector_cl(3, 0, 0));
    bodyA = AddBox(a, VisVector_cl(1, 1, 1));
    bodyB = AddBox(b, VisVector_cl(1, 1, 1));
    probeA = new ContactProbe(seen, "a");
    probeB = new ContactProbe(seen, "b");
    a->AddComponent(probeA);
    b->AddComponent(probeB);
    bodyA->SetVelocity(VisVector_cl(speed, 0, 0));
  }
  // Frames until the first contact (at most 'limit').
  int StepUntilContact(int limit = 120) {
    for (int i = 0; i < limit; ++i) {
      Step();
      if (!seen.empty()) return i + 1;
    }
    return -1;
  }

  std::vector<SeenContact> seen;
  CountingEntity *a = nullptr, *b = nullptr;
  vPhysXRigidBody *bodyA = nullptr, *bodyB = nullptr;
  ContactProbe *probeA = nullptr, *probeB = nullptr;
};

}  // namespace

TEST_F(ContactTest, TouchingBodiesTellBothOwnersAndTheirComponentsOncePerFrame) {
  MakePair();
  ASSERT_GT(StepUntilContact(), 0);
  // One message to each owner entity, passed on to its component, with the same record.
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].receiver, "a");
  EXPECT_EQ(seen[1].receiver, "b");
  EXPECT_EQ(a->contacts, 1);
  EXPECT_EQ(b->contacts, 1);
  for (const SeenContact& c : seen) {
    EXPECT_EQ(c.p2, 68);
    EXPECT_EQ(c.first, bodyA);  // the older object first
    EXPECT_EQ(c.second, bodyB);
    EXPECT_FALSE(c.staticGeometry || c.terrain);
    EXPECT_NEAR(c.point.x, 2.5f, 0.05f);  // b's face
    EXPECT_NEAR(c.normal.x, -1.0f, 0.01f);  // on b, toward a
  }

  // A frame of several ticks with the boxes pressed together still reports once.
  seen.clear();
  bodyA->SetVelocity(VisVector_cl(4, 0, 0));
  bodyB->SetVelocity(VisVector_cl(-4, 0, 0));
  Step(1, 4.0f / 60.0f);
  EXPECT_EQ(a->contacts + b->contacts, 4);
}

TEST_F(ContactTest, TerrainAndStaticGeometryAreNamedInTheRecord) {
  module->SetGlobalGravity(VisVector_cl(0, 0, -9.8f));
  Vision::World.SetFlatTerrain(0.0f);
  Vision::World.AddStaticGeometryInstance(
      new VisStaticGeometryInstance_cl(VisVector_cl(10, 0, 1), VisVector_cl(2, 2, 2), VisMatrix3x3_cl()));
  VisBaseEntity_cl* onGround = MakeEntity(VisVector_cl(0, 0, 2));
  VisBaseEntity_cl* onBox = MakeEntity(VisVector_cl(10, 0, 4));
  AddBox(onGround, VisVector_cl(1, 1, 1));
  AddBox(onBox, VisVector_cl(1, 1, 1));
  onGround->AddComponent(new ContactProbe(seen, "ground"));
  onBox->AddComponent(new ContactProbe(seen, "box"));
  Step(90);
  seen.clear();
  Step();
  ASSERT_EQ(seen.size(), 2u);
  for (const SeenContact& c : seen) {
    EXPECT_EQ(c.second, nullptr);
    EXPECT_EQ(c.terrain, c.receiver == "ground");
    EXPECT_EQ(c.staticGeometry, c.receiver == "box");
    EXPECT_NEAR(c.normal.z, 1.0f, 0.01f);
  }
}

TEST_F(ContactTest, FiltersDecideWhoCollidesAndWhoIsTold) {
  struct Case {
    const char* name;
    unsigned maskA, maskB;
    int groupA, groupB;
    bool groupsCollide;
    int reportA;
    bool collide;
    std::vector<std::string> told;
  };
  const Case cases[] = {
      {"shared bit", 3, 5, 0, 0, true, 2, true, {"a", "b"}},
      {"no shared bit", 3, 12, 0, 0, true, 2, false, {}},
      {"bitmask 0", 0, 0xffffffff, 0, 0, true, 2, false, {}},
      {"groups switched off", 1, 1, 3, 3, false, 2, false, {}},
      {"other groups still collide", 1, 1, 3, 4, false, 2, true, {"a", "b"}},
      {"a does not report", 1, 1, 0, 0, true, 0, true, {"b"}},
  };
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    seen.clear();
    module->SetGroupCollisionFlag(3, 3, c.groupsCollide);
    MakePair();
    bodyA->SetCollisionBitmask(c.maskA);
    bodyB->SetCollisionBitmask(c.maskB);
    bodyA->SetCollisionGroup(c.groupA);
    bodyB->SetCollisionGroup(c.groupB);
    bodyA->SetContactReport(c.reportA);
    Step(60);  // a travels through b's place, or pushes it on
    EXPECT_EQ(b->GetPosition().x > 3.01f, c.collide) << c.name;
    std::vector<std::string> told;
    for (const SeenContact& s : seen)
      if (std::find(told.begin(), told.end(), s.receiver) == told.end()) told.push_back(s.receiver);
    EXPECT_EQ(told, c.told) << c.name;
  }
}

TEST_F(ContactTest, AParticipantDeletedByAHandlerIsNotReportedAgain) {
  MakePair();
  // a's handler deletes b's body (as a ship removed on contact would).
  probeA->onContact = [this](const vPhysXContactRecord&) { b->DeletePhysicsObject(); };
  ASSERT_GT(StepUntilContact(), 0);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].receiver, "a");
  EXPECT_EQ(b->contacts, 0);
  EXPECT_EQ(b->GetPhysicsObject(), nullptr);
  Step(10);
  EXPECT_EQ(module->GetObjectCount(), 1);
}

TEST_F(ContactTest, AnEntityRemovedMidFrameGetsNoContactsAndLeavesTheSimulationWhenFreed) {
  MakePair();
  probeA->onContact = [this](const vPhysXContactRecord&) { b->Remove(); };
  ASSERT_GT(StepUntilContact(), 0);
  EXPECT_EQ(b->contacts, 0);  // marked removed before its turn
  Step();
  EXPECT_EQ(b->contacts, 0);
  EXPECT_EQ(module->GetObjectCount(), 2);  // still simulated until the frame end frees it
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(module->GetObjectCount(), 1);
  Step(10);

  // The same through whole engine frames: removed during the scene update.
  ScopedEnv step("ENGINE_TIMESTEP", "0.016666668");
  VisionApp_cl app;
  Vision::SetApplication(&app);
  ASSERT_TRUE(app.InitEngine());
  VisBaseEntity_cl* c = MakeEntity(VisVector_cl(0, 0, 10));
  AddBox(c, VisVector_cl(1, 1, 1))->SetVelocity(VisVector_cl(0, 0, -6));
  ASSERT_TRUE(app.Run());
  EXPECT_LT(c->GetPosition().z, 10.0f);
  c->Remove();
  ASSERT_TRUE(app.Run());
  EXPECT_EQ(module->GetObjectCount(), 1);
  app.DeInitEngine();
  Vision::Timer.SetFixedTimeStep(0.0f);
  Vision::SetApplication(nullptr);
}

// Boxes tumbling over a height field with a walking controller, three times (the
// last in the same module after the world was emptied): the same poses.
TEST_F(PhysicsTest, IdenticalRunsGiveIdenticalPoses) {
  auto run = [this](bool freshModule) {
    Vision::World.UnloadWorld();
    if (freshModule) {
      module = std::make_unique<vPhysXModule>();
      vPhysXModule::SetInstance(module.get());
    }
    std::vector<float> h;
    for (int i = 0; i < 25; ++i) h.push_back((float)((i * 7) % 5) * 0.4f);
    Vision::World.SetHeightFieldTerrain(VisVector_cl(-10, -10, 0), 20, 20, 5, 5, h);
    std::vector<VisBaseEntity_cl*> boxes;
    for (int i = 0; i < 12; ++i) {
      VisBaseEntity_cl* e = MakeEntity(VisVector_cl((float)(i % 4) * 0.7f, (float)(i / 4) * 0.6f, 4.0f + i));
      e->SetOrientation((float)i * 17.0f, (float)i * 5.0f, 0);
      AddBox(e, VisVector_cl(1, 0.8f, 0.6f))->SetVelocity(VisVector_cl(0.3f * i, -0.2f * i, 0));
      boxes.push_back(e);
    }
    VisBaseEntity_cl* walker = MakeEntity(VisVector_cl(-5, -5, 3));
    walker->AddComponent(new vPhysXCharacterController());
    std::vector<float> poses;
    for (int f = 0; f < 240; ++f) {
      walker->IncMotionDelta(VisVector_cl(0.05f, 0.04f, 0));
      Step();
    }
    boxes.push_back(walker);
    for (VisBaseEntity_cl* e : boxes) {
      for (int k = 0; k < 3; ++k) poses.push_back(e->GetPosition()[k]);
      for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) poses.push_back(e->GetRotationMatrix()(r, c));
    }
    return poses;
  };
  const std::vector<float> first = run(true);
  EXPECT_EQ(run(true), first);
  EXPECT_EQ(run(false), first);
}
