// Cannon mount points: the relay of messages up to the ship, the debug cross and
// the saved block.
#include "entities/CannonEntity.h"
#include "core/ComponentMessages.h"
#include "support/ArchiveRoundTrip.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Received {
  int id;
  INT_PTR p1, p2;
};

class Recorder : public IVObjectComponent {
 public:
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override { got.push_back({id, p1, p2}); }
  std::vector<Received> got;
};

class CannonEntityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ship = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(10, 0, 0));
    cannon = static_cast<CannonEntity*>(Vision::Game.CreateEntity("CannonEntity", VisVector_cl(10, 3, 1)));
    ASSERT_NE(cannon, nullptr);
    cannon->AttachToParent(ship);
    shipLog = new Recorder();
    ship->AddComponent(shipLog);
    cannonLog = new Recorder();
    cannon->AddComponent(cannonLog);
  }
  void TearDown() override { Vision::Game.RemoveAllEntities(); }

  VisBaseEntity_cl* ship = nullptr;
  CannonEntity* cannon = nullptr;
  Recorder* shipLog = nullptr;
  Recorder* cannonLog = nullptr;
};

TEST_F(CannonEntityTest, MessagesGoUpToTheShipNamingTheCannonButNeverBackToTheSender) {
  int component = 0;
  cannon->MessageFunction(VIS_MSG_USER_CANNON_STATE_LOADING, reinterpret_cast<INT_PTR>(&component), 0);
  ASSERT_EQ(shipLog->got.size(), 1u);
  EXPECT_EQ(shipLog->got[0].id, VIS_MSG_USER_CANNON_STATE_LOADING);
  EXPECT_EQ(shipLog->got[0].p1, reinterpret_cast<INT_PTR>(&component));
  EXPECT_EQ(shipLog->got[0].p2, reinterpret_cast<INT_PTR>(cannon));
  ASSERT_EQ(cannonLog->got.size(), 1u);
  EXPECT_EQ(cannonLog->got[0].p2, 0);

  // The ship's own order down to its cannon stays there; contacts go nowhere.
  cannon->MessageFunction(VIS_MSG_USER_CANNON_IGNITE_LEFT, 1, reinterpret_cast<INT_PTR>(ship));
  cannon->MessageFunction(VIS_MSG_PHYSICS_CONTACT, 0, 68);
  EXPECT_EQ(shipLog->got.size(), 1u);
  ASSERT_EQ(cannonLog->got.size(), 2u);
  EXPECT_EQ(cannonLog->got[1].id, VIS_MSG_USER_CANNON_IGNITE_LEFT);
}

TEST_F(CannonEntityTest, DebugCrossIsOnOnlyForTheTextTrueAndDrawsAtTheMuzzle) {
  const struct {
    const char* name;
    const char* value;
    bool on;
  } cases[] = {{"m_bDebugDraw", "TRUE", true}, {"M_BDEBUGDRAW", "TRUE", true}, {"m_bDebugDraw", "true", false},
               {"m_bDebugDraw", "1", false},   {"m_vOffset", "TRUE", false}};
  for (const auto& c : cases) {
    cannon->MessageFunction(VIS_MSG_EDITOR_PROPERTYCHANGED, 0, 0);  // no name: nothing
    cannon->SetVariable("m_bDebugDraw", "FALSE");
    cannon->MessageFunction(VIS_MSG_EDITOR_PROPERTYCHANGED, reinterpret_cast<INT_PTR>(c.name),
                            reinterpret_cast<INT_PTR>(c.value));
    EXPECT_EQ(cannon->GetDebugDraw(), c.on) << c.name << " = " << c.value;
  }
  EXPECT_TRUE(shipLog->got.empty());

  // The ship turned by 90 degrees takes the cannon from (10, 3, 1) to (7, 0, 1) and
  // turns its offset (2, 0, 1) onto +y.
  ship->SetOrientation(90.0f, 0.0f, 0.0f);
  cannon->SetOffset(VisVector_cl(2, 0, 1));
  cannon->MessageFunction(VIS_MSG_EDITOR_PROPERTYCHANGED, reinterpret_cast<INT_PTR>("m_bDebugDraw"),
                          reinterpret_cast<INT_PTR>("TRUE"));
  Vision::Message.ClearFrame();
  cannon->EditorThinkFunction();
  std::vector<VisMessage_cl::Entry> lines;
  for (const auto& e : Vision::Message.GetFrameEntries())
    if (e.kind == VisMessage_cl::Entry::Line) lines.push_back(e);
  ASSERT_EQ(lines.size(), 3u);
  const VisVector_cl muzzle = cannon->GetPosition() + cannon->GetRotationMatrix() * VisVector_cl(2, 0, 1);
  EXPECT_TRUE(muzzle.IsEqual(VisVector_cl(7, 2, 2), 1e-4f));
  for (const auto& line : lines) {
    EXPECT_NEAR(line.x, muzzle.x, 1.0001f);
    EXPECT_NEAR(line.y, muzzle.y, 1.0001f);
    EXPECT_NEAR(line.z, muzzle.z, 1.0001f);
  }
  // A hidden cannon draws nothing.
  cannon->SetVisibleBitmask(1);
  Vision::Message.ClearFrame();
  cannon->EditorThinkFunction();
  EXPECT_TRUE(Vision::Message.GetFrameEntries().empty());
}

TEST_F(CannonEntityTest, SavedBlockRoundTripsAndSavingSwitchesTheDebugCrossOff) {
  cannon->RemoveComponent(cannonLog);  // a test class the archive could not create again
  delete cannonLog;
  cannon->SetOffset(VisVector_cl(1.5f, -2.0f, 0.25f, 0.5f));
  cannon->SetSpecialCannon(true);
  cannon->MessageFunction(VIS_MSG_EDITOR_PROPERTYCHANGED, reinterpret_cast<INT_PTR>("m_bDebugDraw"),
                          reinterpret_cast<INT_PTR>("TRUE"));
  auto* fresh = static_cast<CannonEntity*>(Vision::Game.CreateEntity("CannonEntity", VisVector_cl(0, 0, 0)));
  archive_test::Bytes first;
  ASSERT_TRUE(archive_test::RoundTrip(
      *cannon, *fresh, [](CannonEntity& c, VArchive& ar) { c.Serialize(ar); },
      [](CannonEntity& c, VArchive& ar) { c.Serialize(ar); }, &first));
  EXPECT_FALSE(cannon->GetDebugDraw());
  EXPECT_TRUE(fresh->IsSpecialCannon());
  EXPECT_EQ(fresh->GetOffset(), VisVector_cl(1.5f, -2.0f, 0.25f));
  EXPECT_FLOAT_EQ(fresh->GetOffset().w, 0.5f);
  // The written debug switch is the one the cannon had before saving.
  const size_t debugAt = first.size() - (4 + 3) - 4 - 4;
  EXPECT_EQ(first[debugAt], 1);
}

TEST_F(CannonEntityTest, AVersionOneBlockKeepsTheDefaults) {
  archive_test::Bytes engineData = archive_test::SaveBytes([](VArchive& ar) {
    CannonEntity* blank = static_cast<CannonEntity*>(Vision::Game.CreateEntity("CannonEntity", VisVector_cl(0, 0, 0)));
    blank->VisBaseEntity_cl::Serialize(ar);
    ar << "ARCH" << (char)1 << "EOA";
  });
  auto* fresh = static_cast<CannonEntity*>(Vision::Game.CreateEntity("CannonEntity", VisVector_cl(0, 0, 0)));
  fresh->SetSpecialCannon(false);
  EXPECT_TRUE(archive_test::LoadBytes(engineData, [&](VArchive& ar) { fresh->Serialize(ar); }));
  EXPECT_FALSE(fresh->IsSpecialCannon());
  EXPECT_EQ(fresh->GetOffset(), VisVector_cl(0, 0, 0));
}

}  // namespace
