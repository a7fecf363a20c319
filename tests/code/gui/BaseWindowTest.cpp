// BaseWindow: layout copies, event binding, removal and pause requests, the
// slide-in and animations.
#include "support/GuiTestEnvironment.h"

#include "gui/BaseWindow.h"

#include <CEGUI/CEGUI.h>
#include <gtest/gtest.h>

namespace {

// A frame over the loading-screen layout (the one layout the data has so far).
class ProbeFrame : public BaseWindow {
 public:
  ProbeFrame() : BaseWindow(WT_PAUSE, "LoadingScreen.layout") {}
  bool HookComponents() override {
    ++hooks;
    return BaseWindow::HookComponents();
  }
  int hooks = 0;
};

class BaseWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env.Start(0.025f);
    gui = env.StartGui();
  }
  void TearDown() override {
    if (frame.GetRootWindow()) CEGUI::WindowManager::getSingleton().destroyWindow(frame.GetRootWindow());
    env.Stop();
  }
  GuiTestEnvironment env;
  GUIManager* gui = nullptr;
  ProbeFrame frame;
};

TEST_F(BaseWindowTest, InitNeedsAGuiATypeAndALayout) {
  BaseWindow noType;
  EXPECT_FALSE(noType.Init());
  BaseWindow noLayout(WT_PAUSE, "");
  EXPECT_FALSE(noLayout.Init());
  BaseWindow missing(WT_PAUSE, "NoSuchLayout.layout");
  EXPECT_FALSE(missing.Init());
  EXPECT_EQ(missing.GetRootWindow(), nullptr);

  ASSERT_TRUE(frame.Init());
  EXPECT_EQ(frame.hooks, 1);
  ASSERT_NE(frame.GetRootWindow(), nullptr);
  EXPECT_EQ(std::string(frame.GetRootWindow()->getName().c_str()), "LoadingScreen");
  EXPECT_NE(frame.GetComponent("LoadingScreen/Background"), nullptr);
  EXPECT_EQ(frame.GetComponent("LoadingScreen/Nothing"), nullptr);
}

TEST_F(BaseWindowTest, BindSubscribesKnownWidgetsOnly) {
  ASSERT_TRUE(frame.Init());
  int clicks = 0;
  auto count = [&](const CEGUI::EventArgs&) { return ++clicks > 0; };
  EXPECT_FALSE(frame.Bind(CEGUI::String("LoadingScreen/Nothing"), CEGUI::Window::EventMouseClick, count));
  EXPECT_FALSE(frame.Bind(static_cast<CEGUI::Window*>(nullptr), CEGUI::Window::EventMouseClick, count));
  ASSERT_TRUE(frame.Bind(CEGUI::String("LoadingScreen/Background"), CEGUI::Window::EventMouseClick, count));
  CEGUI::WindowEventArgs args(frame.GetComponent("LoadingScreen/Background"));
  frame.GetComponent("LoadingScreen/Background")->fireEvent(CEGUI::Window::EventMouseClick, args);
  EXPECT_EQ(clicks, 1);
}

TEST_F(BaseWindowTest, RemovalAndPauseRequests) {
  ASSERT_TRUE(frame.Init());
  gui->GetBaseFrame()->addChild(frame.GetRootWindow());
  frame.RequestRemove();
  EXPECT_TRUE(frame.isRequestingRemove());
  EXPECT_FALSE(frame.GetRootWindow()->isVisible());
  frame.CancelRemoveRequest();
  EXPECT_FALSE(frame.isRequestingRemove());
  EXPECT_TRUE(frame.GetRootWindow()->isVisible());

  frame.RequestPause(true);
  frame.RequestPause(true);
  EXPECT_TRUE(frame.IsRequestingPause());
  // Removing the frame drops its pause request at once.
  frame.RequestRemove();
  EXPECT_FALSE(frame.IsRequestingPause());
  frame.RequestFullPause(true);
  EXPECT_TRUE(frame.IsRequestingFullPause());
}

TEST_F(BaseWindowTest, SlideInComesFromTheRight) {
  ASSERT_TRUE(frame.Init());
  const CEGUI::UDim start = frame.GetRootWindow()->getXPosition();
  frame.SetSlideIn(0.2f);
  EXPECT_FLOAT_EQ(frame.GetRootWindow()->getXPosition().d_offset, start.d_offset + 1000.0f);
  env.Frame();
  frame.OnBeforeGUIUpdate();
  EXPECT_FLOAT_EQ(frame.GetRootWindow()->getXPosition().d_offset, start.d_offset + 875.0f);
  // Long frames move it by at most a 30th of a second.
  Vision::Timer.SetFixedTimeStep(0.5f);
  env.Frame();
  frame.OnBeforeGUIUpdate();
  EXPECT_NEAR(frame.GetRootWindow()->getXPosition().d_offset, start.d_offset + 875.0f - 5000.0f / 30.0f, 0.01f);
  for (int i = 0; i < 10; ++i) frame.OnBeforeGUIUpdate();
  EXPECT_EQ(frame.GetRootWindow()->getXPosition(), start);
}

TEST_F(BaseWindowTest, AnimationsStartByNameAndDieWithTheFrame) {
  ASSERT_TRUE(frame.Init());
  EXPECT_FLOAT_EQ(frame.StartAnimation("NoSuchAnimation", frame.GetRootWindow()), 0.0f);
  EXPECT_FLOAT_EQ(frame.StartAnimation("FadeIn", nullptr), 0.0f);
  EXPECT_EQ(frame.GetAnimationCount(), 0);
  EXPECT_FLOAT_EQ(frame.StartAnimation("FadeIn", frame.GetRootWindow()), 0.5f);
  EXPECT_EQ(frame.GetAnimationCount(), 1);
  CEGUI::AnimationManager& animations = CEGUI::AnimationManager::getSingleton();
  const size_t running = animations.getNumAnimationInstances();
  {
    ProbeFrame other;
    ASSERT_TRUE(other.Init());
    other.StartAnimation("FadeOut", other.GetRootWindow());
    EXPECT_EQ(animations.getNumAnimationInstances(), running + 1);
    CEGUI::WindowManager::getSingleton().destroyWindow(other.GetRootWindow());
  }
  EXPECT_EQ(animations.getNumAnimationInstances(), running);
}

}  // namespace
