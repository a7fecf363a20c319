// The pause frame's pulsing label.
#include "code/gui/GuiFrameTesting.h"

#include "gui/FramePause.h"

#include <cmath>

namespace {

using PauseFrameTest = GuiFrameTest;

TEST_F(PauseFrameTest, LabelPulsesAndThePhaseRestartsAtZero) {
  gui->ShowFrame(WT_FADE_OUT);
  gui->ShowWindow(WT_PAUSE, nullptr);
  auto* pause = dynamic_cast<FramePause*>(gui->FindWindowA(WT_PAUSE));
  ASSERT_NE(pause, nullptr);
  CEGUI::Window* label = pause->GetComponent("PauseFrame/PauseLabel");
  ASSERT_NE(label, nullptr);

  // Opaque for most of the turn, dipping to 0.15 where sin(2 x phase) = -1.
  const float phases[] = {0.5f, 2.0f, 2.3f, 2.4f, 2.5f, 5.5f};
  float phase = 0.0f;
  for (float target : phases) {
    Vision::Timer.SetFixedTimeStep(target - phase);
    env.Frame();
    phase = target;
    EXPECT_NEAR(pause->GetPhase(), phase, 1e-5f);
    EXPECT_NEAR(label->getAlpha(), std::min(std::sin(2.0f * phase) + 1.15f, 1.0f), 1e-5f) << phase;
  }
  EXPECT_NEAR(label->getAlpha(), 0.15f, 0.01f);

  // A long frame past 6.283 starts the turn again at 0, not at the remainder.
  Vision::Timer.SetFixedTimeStep(1.0f);
  env.Frame();
  EXPECT_EQ(pause->GetPhase(), 0.0f);
  EXPECT_FLOAT_EQ(label->getAlpha(), 1.0f);
  ExpectNoCeguiFailure();
}

}  // namespace
