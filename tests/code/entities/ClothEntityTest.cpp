// Sail cloths: pushes from hits, parenting and scaling with the ship, the saved block.
#include "entities/ClothEntity.h"
#include "entities/MsgPosOri.h"
#include "support/ArchiveRoundTrip.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

namespace {

class ClothEntityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cloth = static_cast<ClothEntity*>(Vision::Game.CreateEntity("ClothEntity", VisVector_cl(0, 0, 5)));
    ASSERT_NE(cloth, nullptr);
  }
  void TearDown() override { Vision::Game.RemoveAllEntities(); }
  ClothEntity* cloth = nullptr;
};

TEST_F(ClothEntityTest, HitsPushTheClothWithTheProjectilesVelocity) {
  VisBaseEntity_cl* ball = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(1, 2, 6));
  MsgPosOri record;
  record.entity = ball;
  record.velocity = VisVector_cl(10, 0, 0);
  cloth->MessageFunction(12, reinterpret_cast<INT_PTR>(&record), 0);
  ASSERT_TRUE(cloth->HasPendingPush());
  EXPECT_EQ(cloth->GetPendingPush().position, VisVector_cl(1, 2, 6));
  EXPECT_EQ(cloth->GetPendingPush().velocityChange, VisVector_cl(500, 0, 0));
  EXPECT_FLOAT_EQ(cloth->GetPendingPush().radius, 5.0f);
  record.entity = nullptr;
  record.position = VisVector_cl(3, 3, 3);
  cloth->MessageFunction(24, reinterpret_cast<INT_PTR>(&record), 0);
  EXPECT_EQ(cloth->GetPendingPush().position, VisVector_cl(3, 3, 3));
  EXPECT_EQ(cloth->GetPendingPush().velocityChange, VisVector_cl(1000, 0, 0));
  EXPECT_FLOAT_EQ(cloth->GetPendingPush().radius, 10.0f);
  cloth->ClearPendingPush();
  cloth->MessageFunction(12, 0, 0);  // no record: nothing to push
  EXPECT_FALSE(cloth->HasPendingPush());
}

TEST_F(ClothEntityTest, SavedBlockKeepsTheConfigurationAndOldBlocksKeepTheirWind) {
  cloth->SetConfigFile("cloths\\sail.xml");
  cloth->SetScaling(VisVector_cl(2, 2, 2));
  auto* fresh = static_cast<ClothEntity*>(Vision::Game.CreateEntity("ClothEntity", VisVector_cl(0, 0, 0)));
  ASSERT_TRUE(archive_test::RoundTrip(
      *cloth, *fresh, [](ClothEntity& c, VArchive& ar) { c.Serialize(ar); },
      [](ClothEntity& c, VArchive& ar) { c.Serialize(ar); }));
  EXPECT_STREQ(fresh->GetConfigFile(), "cloths\\sail.xml");
  EXPECT_EQ(fresh->GetScaling(), VisVector_cl(2, 2, 2));

  // Version 3: no links, the nine fallback floats, solver iterations, grid spacing,
  // the ten switches and the local-space wind.
  archive_test::Bytes old = archive_test::SaveBytes([&](VArchive& ar) {
    cloth->VisBaseEntity_cl::Serialize(ar);
    ar << "ARCH" << (char)3 << 0u;
    for (int i = 0; i < 9; ++i) ar << 0.5f;
    ar << 3 << 0.025f;
    for (int i = 0; i < 10; ++i) ar << 0;
    ar << 1 << "EOA";
  });
  auto* older = static_cast<ClothEntity*>(Vision::Game.CreateEntity("ClothEntity", VisVector_cl(0, 0, 0)));
  EXPECT_TRUE(archive_test::LoadBytes(old, [&](VArchive& ar) { older->Serialize(ar); }));
  EXPECT_TRUE(older->GetLocalSpaceWind());
  EXPECT_STREQ(older->GetConfigFile(), "");
}

// A linked collision entity that goes is no longer parented or scaled with the cloth.
TEST_F(ClothEntityTest, DestroyedLinksLeaveTheCloth) {
  struct LinkedCloth : ClothEntity {
    void Link(VisTypedEngineObject_cl* link) { m_links.push_back(link); }
  };
  auto* linked = new LinkedCloth();
  VisBaseEntity_cl* rope = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
  VisBaseEntity_cl* stay = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
  linked->Link(rope);
  linked->Link(stay);
  rope->Remove();
  Vision::Game.FreeRemovedEntities();
  ASSERT_EQ(linked->GetLinks().size(), 1u);
  EXPECT_EQ(linked->GetLinks()[0], stay);
  linked->AttachToParent(cloth);
  linked->SetScaling(VisVector_cl(2, 2, 2));
  EXPECT_EQ(stay->GetParent(), cloth);
  linked->AttachToParent(nullptr);
}

}  // namespace
