// Sail cloths: pushes from hits, parenting and scaling with the ship, the saved block.
#include "entities/ClothEntity.h"
#include "entities/MsgPosOri.h"
#include "support/ArchiveRoundTrip.h"
#include "support/LogCapture.h"
#include "support/ScratchDataFolder.h"

#include "engine/Vision.h"
#include "engine/physics/vPhysXRigidBody.h"

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

// The configuration fills what it names; a file without properties keeps the
// defaults, and one that does not load falls back on the entity's values.
TEST_F(ClothEntityTest, TheConfigurationFileFillsTheClothOrTheFallbackValuesStandIn) {
  ScratchDataFolder data;
  data.Write("cloths/full.xml",
             "<Cloth><ClothProperties RelativeGridSpacing=\"0.4\" SolverIterations=\"7\" Density=\"2\" "
             "StretchingStiffness=\"0.9\" UseConstaintCoefficient=\"true\" ConstraintDistance=\"1.5\" "
             "LocalSpaceWind=\"1\" Friction=\"oops\" flags=\"NX_CLF_BENDING|NX_CLF_HARDWARE, NX_CLF_NONE\"/></Cloth>");
  data.Write("cloths/bare.xml", "<Cloth/>");
  data.Write("cloths/broken.xml", "<Cloth><ClothProperties");
  ClothEntity::Parameters fallback;
  fallback.relativeGridSpacing = 0.1f;
  fallback.solverIterations = 2;
  fallback.stretchingStiffness = 0.3f;
  fallback.bending = true;
  fallback.hardware = true;
  const struct {
    const char* file;
    bool warned;
    float spacing;
    int iterations;
    float friction;
    unsigned flags;
    float stretching;
  } cases[] = {
      {"cloths/full.xml", false, 0.4f, 7, 0.5f, ClothEntity::CLOTH_BENDING, 0.9f},
      {"cloths/bare.xml", false, 0.25f, 5, 0.5f, ClothEntity::CLOTH_GRAVITY, 0.3f},
      {"cloths/broken.xml", true, 0.1f, 2, 0.5f, ClothEntity::CLOTH_GRAVITY | ClothEntity::CLOTH_BENDING, 0.3f},
      {"cloths/missing.xml", true, 0.1f, 2, 0.5f, ClothEntity::CLOTH_GRAVITY | ClothEntity::CLOTH_BENDING, 0.3f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    auto* made = static_cast<ClothEntity*>(Vision::Game.CreateEntity("ClothEntity", VisVector_cl(0, 0, 0)));
    made->SetParameters(fallback);
    made->SetConfigFile(c.file);
    LogCapture log;
    made->CommonInit();
    EXPECT_EQ(log.Contains(std::string("Cannot load cloth config: [") + c.file + "]"), c.warned);
    EXPECT_TRUE(made->IsBuilt());
    EXPECT_FLOAT_EQ(made->GetDescription().relativeGridSpacing, c.spacing);
    EXPECT_EQ(made->GetDescription().solverIterations, c.iterations);
    EXPECT_FLOAT_EQ(made->GetDescription().friction, c.friction);
    EXPECT_EQ(made->GetDescription().flags, c.flags) << "never the hardware flag";
    EXPECT_FLOAT_EQ(made->GetParameters().stretchingStiffness, c.stretching);
  }
}

TEST_F(ClothEntityTest, ARopeHangsOnlyOnBuiltClothFromBodiesAndLosesAnchorsThatGo) {
  VisBaseEntity_cl* bare = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(1, 0, 0));
  VisBaseEntity_cl* held = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(2, 0, 0));
  VisBaseEntity_cl* other = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(3, 0, 0));
  for (VisBaseEntity_cl* e : {held, other}) e->AddComponent(new vPhysXRigidBody());
  EXPECT_FALSE(cloth->AttachToEntity(held)) << "not built yet";
  cloth->CommonInit();
  EXPECT_FALSE(cloth->AttachToEntity(nullptr));
  EXPECT_FALSE(cloth->AttachToEntity(bare)) << "no rigid body";
  EXPECT_TRUE(cloth->AttachToEntity(held));
  EXPECT_TRUE(cloth->AttachToEntity(other));
  ASSERT_EQ(cloth->GetEndPoints().size(), 2u);
  held->SetPosition(VisVector_cl(5, 5, 5));
  EXPECT_EQ(cloth->GetEndPoints()[0], VisVector_cl(5, 5, 5));
  held->Remove();
  Vision::Game.FreeRemovedEntities();
  ASSERT_EQ(cloth->GetAnchors().size(), 1u);
  EXPECT_EQ(cloth->GetAnchors()[0], other);
}

}  // namespace
