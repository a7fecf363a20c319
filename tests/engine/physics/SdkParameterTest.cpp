// The physics SDK parameters the launcher sets: skin width and sleep energy reach the
// simulation; the others, and values that are not widths or energies, are refused
// with a log line naming them.
#include "PhysicsFixture.h"

#include "support/LogCapture.h"

#include <cmath>
#include <limits>

namespace {

struct SkinCase {
  float width;
};

class SkinWidthTest : public PhysicsTest, public ::testing::WithParamInterface<SkinCase> {};

}  // namespace

TEST_P(SkinWidthTest, RestingBoxesSinkByTheSkinWidth) {
  ASSERT_NE(gPhysicsSDK, nullptr);
  ASSERT_TRUE(gPhysicsSDK->setParameter(NxPhysicsSDK::SKIN_WIDTH, GetParam().width));
  EXPECT_FLOAT_EQ(gPhysicsSDK->getParameter(NxPhysicsSDK::SKIN_WIDTH), GetParam().width);
  Vision::World.SetFlatTerrain(0.0f);
  VisBaseEntity_cl* e = MakeEntity(VisVector_cl(0, 0, 1.0f));
  AddBox(e, VisVector_cl(1, 1, 1));
  Step(240);
  // Bullet keeps a resting box within a few millimetres of the depth it allows.
  EXPECT_NEAR(e->GetPosition().z, 0.5f - GetParam().width, 0.01f);
}

INSTANTIATE_TEST_SUITE_P(Widths, SkinWidthTest, ::testing::Values(SkinCase{0.0f}, SkinCase{0.02f}, SkinCase{0.1f}));

TEST_F(PhysicsTest, TheSleepEnergyDecidesWhetherACoastingBodyFallsAsleep) {
  module->SetGlobalGravity(VisVector_cl(0, 0, 0));
  // 0.5 m/s is 0.125 J/kg: below the default 0.32, above 0.05.
  struct Case {
    float energy;
    bool sleeps;
  };
  float y = 0.0f;
  for (const Case c : {Case{0.32f, true}, Case{0.05f, false}}) {
    ASSERT_TRUE(gPhysicsSDK->setParameter(NxPhysicsSDK::DEFAULT_SLEEP_ENERGY, c.energy));
    VisBaseEntity_cl* e = MakeEntity(VisVector_cl(0, y += 10.0f, 0));
    NxActor* actor = AddBox(e, VisVector_cl(1, 1, 1))->GetActor();
    actor->setLinearVelocity(VisVector_cl(0.5f, 0, 0));
    Step(240);
    EXPECT_NEAR(actor->getLinearVelocity().x, c.sleeps ? 0.0f : 0.5f, 1e-3f) << "energy " << c.energy;
    EXPECT_EQ(actor->isSleeping(), c.sleeps) << "energy " << c.energy;
    e->Remove();
  }
}

TEST_F(PhysicsTest, OtherParametersAndBadValuesAreRefusedByName) {
  LogCapture log;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    int param;
    float value;
    const char* line;
  };
  const Case cases[] = {
      {29, 1.0f, "Physics parameter 29 (joint limit drawing) = 1 refused: the simulation has no such setting"},
      {5, 2.0f, "Physics parameter 5 (unknown) = 2 refused"},
      {1, -0.5f, "Physics parameter 1 (skin width) = -0.5 refused: not a width"},
      {1, nan, "Physics parameter 1 (skin width) = nan refused"},
      {77, -1.0f, "Physics parameter 77 (default sleep energy) = -1 refused: not an energy"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(gPhysicsSDK->setParameter(c.param, c.value)) << c.line;
    EXPECT_TRUE(log.Contains(c.line)) << c.line;
  }
  // Refused values change nothing.
  EXPECT_EQ(module->GetSkinWidth(), 0.0f);
  EXPECT_EQ(module->GetSleepEnergy(), 0.32f);
  EXPECT_EQ(gPhysicsSDK->getParameter(29), 0.0f);

  // Without a module nothing can take them.
  NxPhysicsSDK* sdk = gPhysicsSDK;
  vPhysXModule::SetInstance(nullptr);
  EXPECT_EQ(gPhysicsSDK, nullptr);
  EXPECT_FALSE(sdk->setParameter(1, 0.02f));
  EXPECT_TRUE(log.Contains("Physics parameter 1 (skin width) = 0.02 refused: no physics module"));
  vPhysXModule::SetInstance(module.get());
}
