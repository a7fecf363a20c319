// PauseManager: the two flags and the GUI's wishes that hold them.
#include "support/GuiTestEnvironment.h"

#include "gui/FrameLoadingScreen.h"
#include "gui/FramePause.h"

#include <CEGUI/Window.h>
#include <gtest/gtest.h>

namespace {

class PauseManagerTest : public ::testing::Test {
 protected:
  void SetUp() override { env.Start(); }
  void TearDown() override { env.Stop(); }
  GuiTestEnvironment env;
};

TEST_F(PauseManagerTest, FlagsToggleIndependently) {
  PauseManager* pause = PauseManager::GetInstance();
  EXPECT_FALSE(pause->IsAnyPaused());
  pause->ToggleGamePause();
  EXPECT_TRUE(pause->IsGamePaused());
  EXPECT_FALSE(pause->IsFullPaused());
  EXPECT_TRUE(pause->IsAnyPaused());
  pause->ToggleFullPause();
  pause->ToggleGamePause();
  EXPECT_TRUE(pause->IsFullPaused());
  EXPECT_FALSE(pause->IsGamePaused());
  EXPECT_TRUE(pause->IsAnyPaused());
  pause->ToggleFullPause();
  EXPECT_FALSE(pause->IsAnyPaused());
}

TEST_F(PauseManagerTest, FullPauseWithoutACurrentFrameOnlySetsTheFlag) {
  GUIManager* gui = env.StartGui();
  PauseManager::GetInstance()->SetFullPause(true);
  EXPECT_TRUE(PauseManager::GetInstance()->IsFullPaused());
  EXPECT_EQ(gui->FindWindowA(WT_PAUSE), nullptr);
  PauseManager::GetInstance()->SetFullPause(false);
  EXPECT_FALSE(PauseManager::GetInstance()->IsFullPaused());
}

TEST_F(PauseManagerTest, AFrameThatWantsThePauseKeepsIt) {
  GUIManager* gui = env.StartGui();
  PauseManager* pause = PauseManager::GetInstance();
  // The loading screen requests the game pause while it shows.
  gui->ShowLoadingScreen();
  ASSERT_TRUE(pause->IsGamePaused());
  pause->SetGamePause(false);
  EXPECT_TRUE(pause->IsGamePaused());

  // A frame's full-pause request: switching off is refused, switching on accepted.
  gui->GetLoadingScreen()->RequestFullPause(true);
  EXPECT_TRUE(gui->WantsFullPause());
  pause->SetFullPause(true);
  pause->SetFullPause(false);
  EXPECT_TRUE(pause->IsFullPaused());
  gui->GetLoadingScreen()->RequestFullPause(false);
  pause->SetFullPause(false);
  EXPECT_FALSE(pause->IsFullPaused());

  // Once the loading screen has faded out, the game runs again.
  gui->HideLoadingScreen(5, 0);
  for (int i = 0; i < 5; ++i) env.Frame();
  EXPECT_FALSE(pause->IsGamePaused());
  EXPECT_FALSE(gui->WantsGamePause());
}

TEST_F(PauseManagerTest, FullPauseShowsThePauseFrameOverTheCurrentFrame) {
  GUIManager* gui = env.StartGui();
  gui->ShowFrame(WT_FADE_OUT);
  ASSERT_NE(gui->GetCurrentFrame(), nullptr);
  PauseManager* pause = PauseManager::GetInstance();

  pause->ToggleFullPause();
  auto* frame = dynamic_cast<FramePause*>(gui->FindWindowA(WT_PAUSE));
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(gui->IsWindowVisible(WT_PAUSE));
  EXPECT_TRUE(frame->GetRootWindow()->isAlwaysOnTop());
  EXPECT_EQ(frame->GetRootWindow()->getParent(), gui->GetBaseFrame());
  // The pause frame holds the game pause as well.
  EXPECT_TRUE(pause->IsFullPaused());
  EXPECT_TRUE(pause->IsGamePaused());
  pause->SetGamePause(false);
  EXPECT_TRUE(pause->IsGamePaused());

  pause->ToggleFullPause();
  EXPECT_FALSE(pause->IsFullPaused());
  EXPECT_FALSE(gui->IsWindowVisible(WT_PAUSE));
  EXPECT_FALSE(pause->IsGamePaused());
  env.Frame();
  EXPECT_EQ(gui->FindWindowA(WT_PAUSE), nullptr);
  // The current frame is untouched.
  EXPECT_TRUE(gui->IsWindowVisible(WT_FADE_OUT));
}

}  // namespace
