// The loading screen: fades with the launcher's values, showing during a fade,
// the picture rotation and the pause it holds.
#include "support/GuiTestEnvironment.h"

#include "gui/FrameLoadingScreen.h"

#include <CEGUI/CEGUI.h>
#include <gtest/gtest.h>

#include <string>

namespace {

const char* const kStart = "..\\..\\..\\data\\gui\\textures\\loadscreen_start.dds";

class LoadingScreenTest : public ::testing::Test {
 protected:
  // A step that is exact in binary, so the hold time runs out on a frame boundary.
  void SetUp() override {
    env.Start(1.0f / 64.0f);
    gui = env.StartGui();
  }
  void TearDown() override { env.Stop(); }

  FrameLoadingScreen* Screen() { return gui->GetLoadingScreen(); }

  GuiTestEnvironment env;
  GUIManager* gui = nullptr;
};

TEST_F(LoadingScreenTest, ShowsThePictureOnTopAndHoldsTheGamePause) {
  gui->SetLoadingScreen(kStart);
  ASSERT_NE(Screen(), nullptr);
  // Setting the picture does not show the frame.
  CEGUI::Window* root = Screen()->GetRootWindow();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(std::string(root->getName().c_str()), "LoadingScreen");
  EXPECT_EQ(root->getParent(), gui->GetBaseFrame());

  EXPECT_TRUE(gui->ShowLoadingScreen());
  EXPECT_TRUE(gui->IsLoadingScreenVisible());
  EXPECT_TRUE(root->isAlwaysOnTop());
  EXPECT_FLOAT_EQ(Screen()->GetAlpha(), 1.0f);
  EXPECT_TRUE(PauseManager::GetInstance()->IsGamePaused());
  EXPECT_TRUE(gui->WantsGamePause());

  CEGUI::Window* background = Screen()->GetComponent("LoadingScreen/Background");
  ASSERT_NE(background, nullptr);
  EXPECT_EQ(std::string(background->getProperty("Image").c_str()), "LoadingScreenBackground/full_image");
  EXPECT_FALSE(background->inheritsAlpha());
  EXPECT_TRUE(CEGUI::ImageManager::getSingleton().isDefined("LoadingScreenBackground/full_image"));
}

TEST_F(LoadingScreenTest, LauncherValuesHoldOneSecondThenFadeWithinTwoTenths) {
  gui->SetLoadingScreen(kStart);
  gui->ShowLoadingScreen();
  env.Frame();
  ASSERT_TRUE(gui->HideLoadingScreen(5, 1));

  for (int frame = 1; frame <= 64; ++frame) {
    env.Frame();
    ASSERT_TRUE(gui->IsLoadingScreenVisible()) << "frame " << frame;
    ASSERT_FLOAT_EQ(Screen()->GetAlpha(), 1.0f) << "frame " << frame;
  }
  // 1 s has passed: now 5 alpha units per second, gone after 0.2 s (13 steps of 1/64).
  float previous = 1.0f;
  for (int frame = 1; frame <= 12; ++frame) {
    env.Frame();
    ASSERT_TRUE(gui->IsLoadingScreenVisible()) << "fading frame " << frame;
    EXPECT_LT(Screen()->GetAlpha(), previous);
    previous = Screen()->GetAlpha();
  }
  env.Frame();
  EXPECT_FALSE(gui->IsLoadingScreenVisible());
  EXPECT_FALSE(Screen()->GetRootWindow()->isAlwaysOnTop());
  EXPECT_FALSE(Screen()->IsHiding());
  EXPECT_FALSE(PauseManager::GetInstance()->IsGamePaused());
  EXPECT_FALSE(gui->WantsGamePause());
}

TEST_F(LoadingScreenTest, ShowDuringTheFadeRestoresAlphaAndTheFadeGoesOn) {
  gui->SetLoadingScreen(kStart);
  gui->ShowLoadingScreen();
  gui->HideLoadingScreen(5, 1);
  for (int i = 0; i < 64 + 5; ++i) env.Frame();
  ASSERT_LT(Screen()->GetAlpha(), 1.0f);

  gui->ShowLoadingScreen();
  EXPECT_FLOAT_EQ(Screen()->GetAlpha(), 1.0f);
  EXPECT_TRUE(Screen()->IsHiding());
  // The hold is over, so the picture fades out again without another Hide.
  for (int i = 0; i < 13; ++i) env.Frame();
  EXPECT_FALSE(gui->IsLoadingScreenVisible());
}

TEST_F(LoadingScreenTest, HideWhenNotVisibleStartsNoFadeButRestoresTheCursor) {
  EXPECT_FALSE(gui->HideLoadingScreen(5, 1));  // never made
  gui->SetLoadingScreen(kStart);
  Screen()->GetRootWindow()->hide();
  Vision::Key.InjectKey(27, 1, true);
  Vision::HardwareCursor.ShowCursor(false);
  EXPECT_FALSE(gui->HideLoadingScreen(5, 1));
  EXPECT_FALSE(Screen()->IsHiding());
  EXPECT_FALSE(Vision::Key.IsPressed(27));
  EXPECT_TRUE(Vision::HardwareCursor.IsShown());
}

TEST_F(LoadingScreenTest, ShowHidesTheHardwareCursor) {
  Vision::HardwareCursor.ShowCursor(true);
  gui->ShowLoadingScreen();
  EXPECT_FALSE(Vision::HardwareCursor.IsShown());
}

TEST_F(LoadingScreenTest, RandomPicturesComeInAFixedRotation) {
  const char* expected[] = {"loadingscreen.dds", "loadscreen_01.dds", "loadscreen_02.dds", "loadscreen_03.dds",
                            "loadscreen_04.dds", "loadscreen_05.dds", "loadscreen_06.dds", "loadingscreen.dds"};
  for (const char* file : expected) {
    gui->SetRandomLoadingScreen();
    const std::string shown = Screen()->GetPictureFile();
    EXPECT_EQ(shown.substr(shown.size() - std::string(file).size()), file);
    EXPECT_FLOAT_EQ(Screen()->GetAlpha(), 1.0f);
  }
  EXPECT_EQ(Screen()->GetNextPicture(), 1);
}

TEST_F(LoadingScreenTest, MissingPictureLeavesTheFrameWithoutOne) {
  gui->SetLoadingScreen(kStart);
  gui->SetLoadingScreen("..\\..\\..\\data\\gui\\textures\\no_such_picture.dds");
  EXPECT_FALSE(CEGUI::ImageManager::getSingleton().isDefined("LoadingScreenBackground/full_image"));
  // Showing and rendering still work.
  EXPECT_TRUE(gui->ShowLoadingScreen());
  env.RenderGui();
  gui->SetLoadingScreen(kStart);
  EXPECT_TRUE(CEGUI::ImageManager::getSingleton().isDefined("LoadingScreenBackground/full_image"));
}

}  // namespace
