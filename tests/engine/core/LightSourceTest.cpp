// Scene light sources: read with the scene, owned by the world, the colour curve
// played over its period with a phase, refused values, lights carried by entities
// and switched off.
#include "engine/Vision.h"
#include "engine/core/VisLightSource.h"
#include "support/LogCapture.h"
#include "support/ScratchDataFolder.h"

#include <gtest/gtest.h>

namespace {

class LightSourceTest : public ::testing::Test {
 protected:
  void TearDown() override { Vision::World.UnloadWorld(); }
  ScratchDataFolder data;
  LogCapture log;
};

void ExpectColor(const VisVector_cl& got, float r, float g, float b) {
  EXPECT_NEAR(got.x, r, 1e-5f);
  EXPECT_NEAR(got.y, g, 1e-5f);
  EXPECT_NEAR(got.z, b, 1e-5f);
}

TEST_F(LightSourceTest, SceneLightsAreReadAndGoWithTheWorld) {
  data.Write("scenes/town.vscene", R"(<scene>
  <light key="Torch" position="1/2/3" color="1/0.5/0.25" radius="40" period="2">
    <key color="1/0/0"/><key color="0/1/0"/>
  </light>
  <light/>
</scene>)");
  ASSERT_TRUE(Vision::LoadWorld("scenes\\town.vscene"));
  ASSERT_EQ(Vision::World.GetLightSourceCount(), 2);
  const VisLightSource_cl* torch = Vision::World.GetLightSource(0);
  EXPECT_STREQ(torch->GetKey(), "Torch");
  EXPECT_EQ(torch->GetPosition(), VisVector_cl(1, 2, 3));
  ExpectColor(torch->GetColor(), 1, 0.5f, 0.25f);
  EXPECT_EQ(torch->GetRadius(), 40.0f);
  EXPECT_TRUE(torch->HasVisibilityData());
  EXPECT_TRUE(torch->HasAnimatedColor());
  EXPECT_EQ(torch->GetColorAnimationPeriod(), 2.0f);

  const VisLightSource_cl* plain = Vision::World.GetLightSource(1);
  EXPECT_FALSE(plain->HasAnimatedColor());
  ExpectColor(plain->GetAnimatedColor(0.7f), 1, 1, 1);
  EXPECT_EQ(plain->GetRadius(), 100.0f);

  // Another scene brings its own lights only; an empty world has none.
  data.Write("scenes/sea.vscene", R"(<scene><light key="Buoy"/></scene>)");
  ASSERT_TRUE(Vision::LoadWorld("scenes\\sea.vscene"));
  ASSERT_EQ(Vision::World.GetLightSourceCount(), 1);
  EXPECT_STREQ(Vision::World.GetLightSource(0)->GetKey(), "Buoy");
  Vision::World.UnloadWorld();
  EXPECT_EQ(Vision::World.GetLightSourceCount(), 0);
}

TEST(LightSourceColour, KeysLoopOverThePeriodShiftedByThePhase) {
  VisLightSource_cl light;
  light.SetColor(VisVector_cl(0.3f, 0.3f, 0.3f));
  light.SetColorAnimation({VisVector_cl(1, 0, 0), VisVector_cl(0, 1, 0), VisVector_cl(0, 0, 1)}, 3.0f);
  struct Case {
    float phase, time, r, g, b;
  };
  const Case cases[] = {
      {0.0f, 0.0f, 1, 0, 0},      // first key at the start
      {0.0f, 0.5f, 0.5f, 0.5f, 0},  // half way to the second
      {0.0f, 2.5f, 0.5f, 0, 0.5f},  // the last blends back into the first
      {0.0f, 4.0f, 0, 1, 0},      // the next period repeats
      {0.5f, 0.0f, 0, 0.5f, 0.5f},  // half a period ahead
      {1.0f, 1.0f, 0, 1, 0},      // a whole period of phase changes nothing
      {0.25f, -0.75f, 1, 0, 0},   // times before 0 wrap too
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "phase " << c.phase << " time " << c.time);
    light.SetColorAnimationPhase(c.phase);
    ExpectColor(light.GetAnimatedColor(c.time), c.r, c.g, c.b);
  }

  light.SetColorAnimation({VisVector_cl(0.2f, 0.4f, 0.6f)}, 0.0f);
  EXPECT_EQ(light.GetColorAnimationPeriod(), 3.0f) << "a period that is not positive is not taken";
  ExpectColor(light.GetAnimatedColor(1.3f), 0.2f, 0.4f, 0.6f);

  light.ResetVisibilityZoneAssignment();
  EXPECT_EQ(light.GetVisibilityZone(), -1);
}

TEST_F(LightSourceTest, ABadLightValueRefusesTheScene) {
  data.Write("scenes/keep.vscene", R"(<scene><entity key="Kept"/><light key="Old"/></scene>)");
  ASSERT_TRUE(Vision::LoadWorld("scenes\\keep.vscene"));
  const char* const bad[] = {
      R"(<light position="1/2"/>)",
      R"(<light color="1/-0.5/0"/>)",
      R"(<light radius="0"/>)",
      R"(<light radius="wide"/>)",
      R"(<light period="-1"><key color="1/1/1"/></light>)",
      R"(<light><key color="1/1/1"/><key/></light>)",
  };
  for (const char* light : bad) {
    SCOPED_TRACE(light);
    log.Clear();
    data.Write("scenes/bad.vscene", std::string("<scene><entity key=\"New\"/>") + light + "</scene>");
    EXPECT_FALSE(Vision::LoadWorld("scenes\\bad.vscene"));
    EXPECT_TRUE(log.Contains("light")) << "the refusal names the light";
    EXPECT_NE(Vision::Game.SearchEntity("Kept"), nullptr);
    EXPECT_EQ(Vision::Game.SearchEntity("New"), nullptr);
    ASSERT_EQ(Vision::World.GetLightSourceCount(), 1);
    EXPECT_STREQ(Vision::World.GetLightSource(0)->GetKey(), "Old");
  }
}

TEST_F(LightSourceTest, ALightAttachedToAnEntityMovesWithItAndCanBeSwitchedOff) {
  auto* light = new VisLightSource_cl();
  light->SetColor(VisVector_cl(1, 0.5f, 0));
  light->SetPosition(VisVector_cl(2, 0, 3));
  Vision::World.AddLightSource(light);
  VisBaseEntity_cl* lantern = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
  light->AttachToParent(lantern);
  ASSERT_EQ(lantern->GetNumChildren(), 1);
  EXPECT_EQ(lantern->GetChild(0), light) << "found among the entity's attached objects";
  lantern->SetPosition(VisVector_cl(10, 0, 0));
  lantern->SetOrientation(90, 0, 0);
  EXPECT_TRUE(light->GetPosition().IsEqual(VisVector_cl(10, 2, 3), 1e-4f));

  EXPECT_TRUE(light->IsEnabled());
  ExpectColor(light->GetEmittedColor(0.0f), 1, 0.5f, 0);
  light->SetEnabled(false);
  ExpectColor(light->GetEmittedColor(0.0f), 0, 0, 0);
  light->SetEnabled(true);
  ExpectColor(light->GetEmittedColor(0.0f), 1, 0.5f, 0);

  // The entity goes first: the light stays where it was, loose.
  lantern->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(light->GetParent(), nullptr);
  EXPECT_TRUE(light->GetPosition().IsEqual(VisVector_cl(10, 2, 3), 1e-4f));
}

}  // namespace
