// The frame limiter of the main loop, on a fake tick source.
#include "MainLoop.h"

#include "engine/base/VisTimer.h"

#include <gtest/gtest.h>

#include <ctime>
#include <vector>

namespace {
const uint64_t kMs = 1000000;  // ticks per millisecond (VGLGetTimerResolution is 1e9)

// Fake tick source: either a fixed step per read or a scripted list of readings.
uint64_t g_now = 0;
uint64_t g_step = 0;
std::vector<uint64_t> g_script;
size_t g_next = 0;

uint64_t SteppingClock() {
  g_now += g_step;
  return g_now;
}

uint64_t ScriptedClock() {
  if (g_next < g_script.size()) g_now = g_script[g_next++];
  return g_now;
}

class MainLoopTest : public ::testing::Test {
 protected:
  void TearDown() override { VGLSetTimerSource(nullptr); }

  // Runs the loop for a number of frames and returns the tick at each frame start.
  std::vector<uint64_t> RunFrames(int frames) {
    std::vector<uint64_t> starts;
    MainLoop::Run([&] {
      starts.push_back(g_now);
      return (int)starts.size() < frames;
    });
    return starts;
  }
};

struct StepCase {
  uint64_t step;
  uint64_t expectedGap;
  friend void PrintTo(const StepCase& c, std::ostream* os) { *os << "step " << c.step << " ticks"; }
};

class MainLoopSteps : public MainLoopTest, public ::testing::WithParamInterface<StepCase> {};

TEST_P(MainLoopSteps, FramesStartAtMostOncePerFiveMilliseconds) {
  // About 30 days of uptime: far beyond what 32-bit float seconds can resolve.
  g_now = 30ull * 24 * 3600 * 1000 * kMs;
  g_step = GetParam().step;
  VGLSetTimerSource(SteppingClock);
  const std::vector<uint64_t> starts = RunFrames(20);
  ASSERT_EQ(starts.size(), 20u);
  for (size_t i = 1; i < starts.size(); ++i) EXPECT_EQ(starts[i] - starts[i - 1], GetParam().expectedGap) << i;
}

INSTANTIATE_TEST_SUITE_P(Steps, MainLoopSteps,
                         ::testing::Values(StepCase{kMs, 5 * kMs},                // waits exactly 5 ms
                                           StepCase{kMs / 3 + 1, 15 * (kMs / 3 + 1)},  // first reading past 5 ms
                                           StepCase{2 * kMs, 6 * kMs},
                                           StepCase{7 * kMs, 7 * kMs}));          // slow frames never wait

TEST_F(MainLoopTest, ClockGoingBackRestartsTheWait) {
  // Frame 1 starts at 100 ms; during the wait the clock reads 40 ms: the wait then
  // ends 5 ms after 40 ms, not after 100 ms.
  g_script = {100 * kMs, 101 * kMs, 40 * kMs, 42 * kMs, 44 * kMs, 45 * kMs, 200 * kMs};
  g_next = 0;
  VGLSetTimerSource(ScriptedClock);
  const std::vector<uint64_t> starts = RunFrames(2);
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_EQ(starts[0], 100 * kMs);
  EXPECT_EQ(starts[1], 45 * kMs);
}

double Seconds(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

TEST_F(MainLoopTest, AnIdleLoopSleepsThroughMostOfItsWaitOnTheRealClock) {
  // 300 empty frames take at least 299 x 5 ms; the thread may spend only a small
  // part of that on the processor (the bound leaves room for a loaded machine).
  const double wall0 = Seconds(CLOCK_MONOTONIC), cpu0 = Seconds(CLOCK_THREAD_CPUTIME_ID);
  int frames = 0;
  MainLoop::Run([&] { return ++frames < 300; });
  const double wall = Seconds(CLOCK_MONOTONIC) - wall0, cpu = Seconds(CLOCK_THREAD_CPUTIME_ID) - cpu0;
  EXPECT_EQ(frames, 300);
  EXPECT_GE(wall, 299 * 0.005);
  EXPECT_LT(cpu, 0.5 * wall) << "cpu " << cpu << " s of " << wall << " s";
}

TEST_F(MainLoopTest, FirstFrameReturningFalseEndsTheLoop) {
  g_now = 0;
  g_step = kMs;
  VGLSetTimerSource(SteppingClock);
  EXPECT_EQ(RunFrames(1).size(), 1u);
}
}  // namespace
