#include "engine/base/VisTimer.h"

#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

namespace {
// A clock the test moves by hand (seconds).
struct FakeClock {
  double now = 100.0;
  std::function<double()> Source() {
    return [this] { return now; };
  }
};
}  // namespace

TEST(VisTimer, FixedStepDrivesTimeAndForceGivesOneZeroFrame) {
  VisTimer_cl timer;
  timer.SetFixedTimeStep(0.02f);
  timer.Update();
  timer.Update();
  EXPECT_FLOAT_EQ(timer.GetTimeDifference(), 0.02f);
  EXPECT_NEAR(timer.GetTimeD(), 0.04, 1e-7);
  timer.ForceTimer();
  timer.Update();
  EXPECT_EQ(timer.GetTimeDifference(), 0.0f);
  timer.Update();
  EXPECT_FLOAT_EQ(timer.GetTimeDifference(), 0.02f);
  EXPECT_NEAR(timer.GetTimeD(), 0.06, 1e-7);
  EXPECT_EQ(timer.GetFrameCount(), 4u);
}

TEST(VisTimer, ClockSourceGivesDifferencesClampedAndNeverNegative) {
  FakeClock clock;
  VisTimer_cl timer;
  timer.SetFixedTimeStep(0.0f);
  timer.SetClockSource(clock.Source());
  timer.Update();
  EXPECT_EQ(timer.GetTimeDifference(), 0.0f) << "first update has no previous reading";
  clock.now += 0.05;
  timer.Update();
  EXPECT_NEAR(timer.GetTimeDifference(), 0.05f, 1e-6);
  timer.SetMaxTimeDifference(0.0666f);
  clock.now += 1.0;
  timer.Update();
  EXPECT_FLOAT_EQ(timer.GetTimeDifference(), 0.0666f);
  clock.now -= 3.0;
  timer.Update();
  EXPECT_EQ(timer.GetTimeDifference(), 0.0f);
  clock.now += 0.01;
  timer.Update();
  EXPECT_NEAR(timer.GetTimeDifference(), 0.01f, 1e-6);
  EXPECT_NEAR(timer.GetTimeD(), 0.05 + 0.0666 + 0.01, 1e-5);
}

TEST(VisTimer, TickCountIsMillisecondsSinceTheFirstReading) {
  FakeClock clock;
  VisTimer_cl timer;
  timer.SetClockSource(clock.Source());
  EXPECT_EQ(timer.GetTickCount(), 0.0f);
  clock.now += 1.25;
  EXPECT_FLOAT_EQ(timer.GetTickCount(), 1250.0f);
}

TEST(VisTimer, EnvironmentSetsTheFixedStepAtConstruction) {
  const struct {
    const char* value;
    float step;
  } cases[] = {{"0.02", 0.02f}, {"abc", 0.0f}, {"-1", 0.0f}, {"0.5x", 0.0f}, {"", 0.0f}};
  for (const auto& c : cases) {
    ScopedEnv env("ENGINE_TIMESTEP", c.value);
    VisTimer_cl timer;
    EXPECT_FLOAT_EQ(timer.GetFixedTimeStep(), c.step) << c.value;
  }
}

namespace {
uint64_t g_fakeTicks = 0;
uint64_t FakeTicks() { return g_fakeTicks; }
}  // namespace

TEST(VisTimer, HighResolutionTicksAreNanosecondsAndCanBeFaked) {
  EXPECT_EQ(VGLGetTimerResolution(), 1000000000ull);
  const uint64_t a = VGLGetTimer();
  const uint64_t b = VGLGetTimer();
  EXPECT_LE(a, b);
  // Beyond 2^32 so a 32-bit tick would show.
  g_fakeTicks = 0x123456789ull;
  VGLSetTimerSource(&FakeTicks);
  EXPECT_EQ(VGLGetTimer(), 0x123456789ull);
  VGLSetTimerSource(nullptr);
  EXPECT_GE(VGLGetTimer(), b);
}
