// Conversation lines in speech windows (numbered copies that fade in, slide down
// and fade out) and the cinematic banners of a conversation.
#include "code/gui/GuiFrameTesting.h"

#include "gui/CeguiCompat.h"
#include "gui/FrameSpeechBubble.h"
#include "gui/FrameSpeechFrame.h"
#include "gui/FrameSpeechWindow.h"
#include "Managers/PauseManager.h"
#include "Managers/SpeechManager.h"
#include "Missions/MissionManager.h"

#include <CEGUI/CEGUI.h>

#include <string>
#include <vector>

namespace {

class SpeechWindowTest : public GuiFrameTest {
 protected:
  void SetUp() override {
    timeStep = 0.05f;
    GuiFrameTest::SetUp();
  }
  void TearDown() override {
    MissionManager::GlobalManager().ClearLists(true);
    GameManager::GetInstance()->SetLocation(0);
    GuiFrameTest::TearDown();
  }
  FrameSpeechWindow* Line(float seconds) {
    FrameSpeechWindow* window = gui->ShowSpeechWindow(seconds);
    EXPECT_NE(window, nullptr);
    return window;
  }
  static float Y(FrameSpeechWindow* window) { return window->GetRootWindow()->getPosition().d_y.d_offset; }
  static float Alpha(FrameSpeechWindow* window) { return window->GetRootWindow()->getAlpha(); }
  bool Alive(FrameSpeechWindow* window) const {
    for (FrameSpeechWindow* open : gui->GetSpeechWindows())
      if (open == window) return true;
    return false;
  }
  // Frames until the window reaches the state (or is gone); the frames it took.
  int RunUntil(FrameSpeechWindow* window, int state, int limit = 200) {
    int frames = 0;
    while (Alive(window) && window->GetState() != state && frames < limit) {
      env.Frame();
      ++frames;
    }
    return frames;
  }
};

TEST_F(SpeechWindowTest, WindowsAreNumberedCopiesInFrontWithTheRightSideHidden) {
  FrameSpeechWindow* first = Line(1.0f);
  FrameSpeechWindow* second = Line(1.0f);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(second->GetId(), first->GetId() + 1);
  const std::string root = CeguiCompat::ToUtf8(first->GetRootWindow()->getName());
  EXPECT_EQ(root, std::to_string(first->GetId()) + "SpeechWindow");
  EXPECT_NE(first->GetRootWindow()->getName(), second->GetRootWindow()->getName());
  for (FrameSpeechWindow* window : {first, second}) {
    EXPECT_NE(window->GetLeftPanel(), nullptr);
    ASSERT_NE(window->GetRightPanel(), nullptr);
    EXPECT_FALSE(window->GetRightPanel()->isVisible());
    EXPECT_NE(window->GetSpeechWidget(), nullptr);
    EXPECT_NE(window->GetImageWidget(), nullptr);
    EXPECT_NE(window->GetSpeakerLabel(), nullptr);
    EXPECT_FALSE(window->GetRootWindow()->isVisible());
    EXPECT_EQ(window->GetRootWindow()->getParent(), gui->GetBaseFrame());
    EXPECT_FALSE(window->GetRootWindow()->isAlwaysOnTop());
  }
  EXPECT_EQ(gui->GetSpeechWindow(first->GetId()), first);
  EXPECT_EQ(gui->GetSpeechWindow(-1), nullptr);
  EXPECT_FALSE(gui->IsSpeechWindowVisible(-1));
  EXPECT_FALSE(gui->IsSpeechWindowVisible(second->GetId() + 1));
  env.Frame();
  EXPECT_TRUE(first->GetRootWindow()->isVisible());
  env.RenderGui();
  ExpectNoCeguiFailure();
}

TEST_F(SpeechWindowTest, ALineSlidesDownAndStaysWhileTheNextHoldsAndTheLastFadesInPlace) {
  FrameSpeechWindow* first = Line(0.5f);
  ASSERT_NE(first, nullptr);
  first->SetBelowHoldTime(0.6f);  // as Talk sets it for the next line's duration
  // Fading in over 0.2 s at the upper position (0.5, -191).
  env.Frame();
  EXPECT_EQ(first->GetState(), FrameSpeechWindow::STATE_FADE_IN);
  EXPECT_NEAR(Alpha(first), 0.25f, 1e-4f);
  EXPECT_FLOAT_EQ(Y(first), -191.0f);
  EXPECT_FLOAT_EQ(first->GetRootWindow()->getPosition().d_y.d_scale, 0.5f);
  RunUntil(first, FrameSpeechWindow::STATE_HOLD_UPPER);
  EXPECT_FLOAT_EQ(Alpha(first), 1.0f);
  EXPECT_TRUE(gui->IsSpeechWindowVisible(first->GetId()));

  // Holds its 0.5 s, then slides from -191 to +10 over 0.2 s.
  const int held = RunUntil(first, FrameSpeechWindow::STATE_SLIDE_DOWN);
  EXPECT_NEAR(held * 0.05f, 0.5f, 0.051f);
  env.Frame();
  env.Frame();
  EXPECT_NEAR(Y(first), -191.0f + 201.0f * 0.5f, 1e-3f);
  EXPECT_TRUE(gui->IsSpeechWindowVisible(first->GetId()));
  RunUntil(first, FrameSpeechWindow::STATE_HOLD_LOWER);
  EXPECT_FLOAT_EQ(Y(first), 10.0f);
  EXPECT_FALSE(gui->IsSpeechWindowVisible(first->GetId()));
  // Below for the next line's 0.6 s, then fading out and gone.
  const int below = RunUntil(first, FrameSpeechWindow::STATE_FADE_OUT);
  EXPECT_NEAR(below * 0.05f, 0.6f, 0.051f);
  RunUntil(first, -1);
  EXPECT_FALSE(Alive(first));

  FrameSpeechWindow* last = Line(0.3f);
  ASSERT_NE(last, nullptr);
  last->SetLastLine(true);
  RunUntil(last, FrameSpeechWindow::STATE_FADE_LAST);
  EXPECT_TRUE(gui->IsSpeechWindowVisible(last->GetId()));
  env.Frame();
  env.Frame();
  EXPECT_FLOAT_EQ(Y(last), -191.0f);
  EXPECT_NEAR(Alpha(last), 0.5f, 1e-4f);
  const int id = last->GetId();
  RunUntil(last, -1);
  EXPECT_FALSE(Alive(last));
  EXPECT_FALSE(gui->IsSpeechWindowVisible(id));
}

TEST_F(SpeechWindowTest, AFullPauseStopsTheHoldsButNotARunningFadeOrSlide) {
  FrameSpeechWindow* window = Line(0.1f);
  ASSERT_NE(window, nullptr);
  PauseManager::GetInstance()->SetFullPause(true);
  // The fade in runs on.
  RunUntil(window, FrameSpeechWindow::STATE_HOLD_UPPER, 10);
  ASSERT_EQ(window->GetState(), FrameSpeechWindow::STATE_HOLD_UPPER);
  for (int i = 0; i < 20; ++i) env.Frame();
  EXPECT_EQ(window->GetState(), FrameSpeechWindow::STATE_HOLD_UPPER);
  EXPECT_FLOAT_EQ(window->GetDisplayTime(), 0.1f);

  PauseManager::GetInstance()->SetFullPause(false);
  RunUntil(window, FrameSpeechWindow::STATE_SLIDE_DOWN, 10);
  ASSERT_EQ(window->GetState(), FrameSpeechWindow::STATE_SLIDE_DOWN);
  PauseManager::GetInstance()->SetFullPause(true);
  // The slide started: it ends below, where the hold waits again.
  RunUntil(window, FrameSpeechWindow::STATE_HOLD_LOWER, 10);
  ASSERT_EQ(window->GetState(), FrameSpeechWindow::STATE_HOLD_LOWER);
  for (int i = 0; i < 20; ++i) env.Frame();
  EXPECT_EQ(window->GetState(), FrameSpeechWindow::STATE_HOLD_LOWER);
  EXPECT_FLOAT_EQ(window->GetBelowHoldTime(), 0.5f);
  PauseManager::GetInstance()->SetFullPause(false);
  RunUntil(window, -1);
  EXPECT_FALSE(Alive(window));
}

TEST_F(SpeechWindowTest, TextTooLongForTheBoxGetsTheSmallFontOnEitherSide) {
  const std::string shortText = "Ahoy!";
  std::string longText;
  while (longText.size() < 900) longText += "Heave ho, and a bottle of rum! ";
  for (bool left : {true, false}) {
    FrameSpeechWindow* fits = Line(1.0f);
    FrameSpeechWindow* spills = Line(1.0f);
    ASSERT_TRUE(fits && spills);
    fits->SetLeftSide(left);
    spills->SetLeftSide(left);
    const CEGUI::String before = fits->GetSpeechWidget()->getFont()->getName();
    fits->SetSpeechText(CeguiCompat::ToGui(shortText));
    spills->SetSpeechText(CeguiCompat::ToGui(longText));
    EXPECT_EQ(fits->GetSpeechWidget()->getFont()->getName(), before) << left;
    EXPECT_NE(before, FrameSpeechWindow::SMALL_FONT);
    EXPECT_EQ(spills->GetSpeechWidget()->getFont()->getName(), FrameSpeechWindow::SMALL_FONT) << left;
    EXPECT_EQ(CeguiCompat::ToUtf8(spills->GetSpeechWidget()->getText()), longText);
  }
  // The portrait goes to the speaking side's image.
  FrameSpeechWindow* window = Line(1.0f);
  window->SetLeftSide(false);
  window->SetSpeakerImage("SpeechPortraits_01/Bosun");
  EXPECT_EQ(window->GetImageWidget()->getProperty("Image"), "SpeechPortraits_01/Bosun");
  EXPECT_EQ(window->GetRightPanel()->getChild("Image"), window->GetImageWidget());
}

TEST_F(SpeechWindowTest, FinishedWindowsAndBubblesGoAfterTheGuiUpdateAndAllAtEngineDeInit) {
  FrameSpeechWindow* window = Line(0.05f);
  window->SetLastLine(true);
  FrameSpeechBubble* bubble = gui->ShowSpeechBubble(5.0f);
  ASSERT_TRUE(window && bubble);
  CEGUI::Window* root = window->GetRootWindow();
  RunUntil(window, -1);
  EXPECT_TRUE(gui->GetSpeechWindows().empty());
  EXPECT_FALSE(CEGUI::WindowManager::getSingleton().isAlive(root));

  // Their pause requests count with the frames'.
  Line(5.0f)->RequestPause(true);
  EXPECT_TRUE(gui->WantsGamePause());
  EXPECT_TRUE(PauseManager::GetInstance()->IsGamePaused());
  gui->GetSpeechWindows().front()->RequestPause(false);
  EXPECT_FALSE(PauseManager::GetInstance()->IsGamePaused());
  bubble->RequestPause(true);
  EXPECT_TRUE(PauseManager::GetInstance()->IsGamePaused());
  bubble->RequestPause(false);
  EXPECT_FALSE(gui->WantsGamePause());

  Vision::Callbacks.OnEngineDeInit.TriggerCallbacks();
  EXPECT_TRUE(gui->GetSpeechWindows().empty());
  EXPECT_TRUE(gui->GetSpeechBubbles().empty());
}

// ---- banners ------------------------------------------------------------------------

TEST_F(SpeechWindowTest, BannersSlideInOverAFifthOfASecondAndCloseOnRequest) {
  gui->ShowFrame(WT_SPEECH_FRAME);
  auto* banners = dynamic_cast<FrameSpeechFrame*>(gui->GetCurrentFrame());
  ASSERT_NE(banners, nullptr);
  ASSERT_TRUE(banners->GetTopBanner() && banners->GetBottomBanner());
  env.Frame();
  env.Frame();
  EXPECT_NEAR(banners->GetTopBanner()->getArea().d_max.d_y.d_offset, 50.0f, 1e-3f);
  EXPECT_NEAR(banners->GetBottomBanner()->getArea().d_min.d_y.d_offset, -50.0f, 1e-3f);
  EXPECT_FLOAT_EQ(banners->GetTopBanner()->getArea().d_min.d_y.d_offset, 0.0f);
  EXPECT_EQ(banners->GetState(), FrameSpeechFrame::STATE_SLIDE_IN);
  for (int i = 0; i < 3; ++i) env.Frame();
  EXPECT_EQ(banners->GetState(), FrameSpeechFrame::STATE_SHOWN);
  EXPECT_FLOAT_EQ(banners->GetTopBanner()->getArea().d_max.d_y.d_offset, 100.0f);
  EXPECT_FLOAT_EQ(banners->GetBottomBanner()->getArea().d_min.d_y.d_offset, -100.0f);
  env.RenderGui();
  ExpectNoCeguiFailure();

  gui->CloseWindow(WT_SPEECH_FRAME, false);
  EXPECT_TRUE(banners->isRequestingRemove());
  env.Frame();
  EXPECT_EQ(gui->FindWindowA(WT_SPEECH_FRAME), nullptr);

  // Slid out, the frame asks for its own removal and gives back its pause.
  gui->ShowFrame(WT_SPEECH_FRAME);
  banners = dynamic_cast<FrameSpeechFrame*>(gui->GetCurrentFrame());
  ASSERT_NE(banners, nullptr);
  banners->RequestPause(true);
  banners->SlideOut();
  for (int i = 0; i < 5; ++i) env.Frame();
  EXPECT_EQ(banners->GetState(), FrameSpeechFrame::STATE_GONE);
  EXPECT_FLOAT_EQ(banners->GetTopBanner()->getArea().d_max.d_y.d_offset, 0.0f);
  env.Frame();
  EXPECT_FALSE(PauseManager::GetInstance()->IsGamePaused());
  EXPECT_EQ(gui->FindWindowA(WT_SPEECH_FRAME), nullptr);
}

TEST_F(SpeechWindowTest, AClickOnTheBannersSkipsTheLineButNotInTheFirstMissionOnTheWorldMap) {
  gui->ShowFrame(WT_SPEECH_FRAME);
  for (int i = 0; i < 5; ++i) env.Frame();
  auto* banners = dynamic_cast<FrameSpeechFrame*>(gui->GetCurrentFrame());
  ASSERT_NE(banners, nullptr);
  SpeechManager* speech = SpeechManager::GetInstance();

  MissionData first;
  first.id = 1;
  MissionManager::GlobalManager().AddOngoingStoryMission(first);
  ASSERT_TRUE(MissionManager::GlobalManager().IsMissionOngoing(1));
  GameManager::GetInstance()->SetLocation(0);
  const int held = speech->Talk("str_WRECK_BOSUN", "str_WRECK_TALK_3", "", "", 5.0f, true, false);
  ASSERT_GT(held, 0);
  env.RenderGui();
  Click(banners->GetTopBanner());
  EXPECT_FLOAT_EQ(gui->GetSpeechWindow(held)->GetDisplayTime(), 5.0f);

  // At sea the same click skips; so does one on the bottom banner on land.
  for (int location : {2, 1}) {
    GameManager::GetInstance()->SetLocation(location);
    const int line = speech->Talk("str_WRECK_BOSUN", "str_WRECK_TALK_3", "", "", 5.0f, true, false);
    env.RenderGui();
    Click(location == 2 ? banners->GetTopBanner() : banners->GetBottomBanner());
    EXPECT_FLOAT_EQ(gui->GetSpeechWindow(line)->GetDisplayTime(), 0.0f) << location;
  }
}

}  // namespace
