// GUIManager: CEGUI start and teardown, the launcher's start-up calls, input
// guarding and the render hook.
#include "support/GuiTestEnvironment.h"

#include "engine/render/VisScreenMask.h"
#include "gui/FrameLoadingScreen.h"
#include "gui/FrameToolBar.h"
#include "Managers/PauseManager.h"

#include <CEGUI/CEGUI.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class GUIManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env.Start();
    Vision::Error.SetLogListener([this](const std::string& line) { log.push_back(line); });
  }
  void TearDown() override { env.Stop(); }

  bool LogHas(const std::string& text) const {
    for (const auto& line : log)
      if (line.find(text) != std::string::npos) return true;
    return false;
  }

  GuiTestEnvironment env;
  std::vector<std::string> log;
};

TEST_F(GUIManagerTest, InitStartsCeguiWithTheRootSheetOnce) {
  GUIManager* gui = GUIManager::GetInstance();
  EXPECT_FALSE(gui->Init(nullptr));
  EXPECT_FALSE(gui->IsInitialized());
  EXPECT_EQ(CEGUI::System::getSingletonPtr(), nullptr);

  ASSERT_TRUE(gui->Init(VVideo::GetD3DDevice()));
  ASSERT_NE(CEGUI::System::getSingletonPtr(), nullptr);
  CEGUI::GUIContext& context = CEGUI::System::getSingleton().getDefaultGUIContext();
  ASSERT_NE(gui->GetBaseFrame(), nullptr);
  EXPECT_EQ(context.getRootWindow(), gui->GetBaseFrame());
  EXPECT_EQ(std::string(gui->GetBaseFrame()->getName().c_str()), "TheRoot");
  EXPECT_TRUE(gui->GetBaseFrame()->isMousePassThroughEnabled());
  EXPECT_EQ(context.getSurfaceSize(), CEGUI::Sizef(1280, 720));
  // The gui folder of the data, the scheme, the font, the tooltip and the animations.
  EXPECT_NE(gui->GetGuiFolder().find("data/gui"), std::string::npos) << gui->GetGuiFolder();
  EXPECT_TRUE(CEGUI::SchemeManager::getSingleton().isDefined("CorallineLook"));
  EXPECT_TRUE(CEGUI::FontManager::getSingleton().isDefined("Verdana-12"));
  EXPECT_TRUE(CEGUI::AnimationManager::getSingleton().isAnimationPresent("FadeIn"));
  ASSERT_NE(context.getDefaultTooltipObject(), nullptr);
  EXPECT_EQ(context.getDefaultTooltipObject()->getDisplayTime(), 0.0f);
  // The hardware cursor is used, so CEGUI does not draw its own.
  EXPECT_FALSE(context.getMouseCursor().isVisible());
  EXPECT_EQ(Vision::Mouse.GetX(), 640.0f);
  EXPECT_FALSE(LogHas("CEGUI:")) << "unexpected CEGUI failure in the log";

  // A second Init changes nothing.
  CEGUI::Window* root = gui->GetBaseFrame();
  EXPECT_TRUE(gui->Init(VVideo::GetD3DDevice()));
  EXPECT_EQ(gui->GetBaseFrame(), root);

  GUIManager::CleanInstance();
  EXPECT_EQ(CEGUI::System::getSingletonPtr(), nullptr);
  EXPECT_EQ(CEGUI::Logger::getSingletonPtr(), nullptr);
}

TEST_F(GUIManagerTest, OperationsBeforeInitDoNothing) {
  GUIManager* gui = GUIManager::GetInstance();
  EXPECT_FALSE(gui->ShowLoadingScreen() && gui->IsLoadingScreenVisible());
  gui->SetLoadingScreen("..\\..\\..\\data\\gui\\textures\\loadscreen_start.dds");
  EXPECT_EQ(gui->GetLoadingScreen(), nullptr);
  EXPECT_FALSE(gui->HideLoadingScreen(5, 1));
  EXPECT_FALSE(gui->InitLayouts());
  EXPECT_EQ(gui->GetWindow(WT_MAIN_MENU), nullptr);
  EXPECT_FALSE(gui->IsWindowVisible(WT_MAIN_MENU));
  gui->ShowFrame(WT_MAIN_MENU);
  env.Frame();
  env.RenderGui();
  EXPECT_EQ(gui->GetCurrentFrame(), nullptr);
}

TEST_F(GUIManagerTest, LauncherStartUpSequence) {
  GUIManager* gui = GUIManager::GetInstance();
  gui->Init(VVideo::GetD3DDevice());
  gui->PlayIntroVideos();
  gui->SetLoadingScreen("..\\..\\..\\data\\gui\\textures\\loadscreen_start.dds");
  EXPECT_TRUE(gui->ShowLoadingScreen());
  env.Frame();
  EXPECT_TRUE(gui->InitLayouts());
  env.Frame();
  gui->ShowFrame(WT_MAIN_MENU);
  EXPECT_TRUE(gui->HideLoadingScreen(5, 1));

  // The intro played to its end and left nothing behind; music and effects run again.
  EXPECT_FALSE(LogHas("Video file not found or invalid !"));
  EXPECT_FALSE(LogHas("Couldn't initialize DirectShow."));
  EXPECT_TRUE(VisScreenMask_cl::GetVisibleMasks().empty());
  EXPECT_FALSE(MusicManager::GetInstance()->IsPaused());
  EXPECT_FALSE(SoundManager::GetInstance()->IsPaused());

  // The main menu became the current frame.
  ASSERT_NE(gui->GetCurrentFrame(), nullptr);
  EXPECT_EQ(gui->GetCurrentFrame(), gui->FindWindowA(WT_MAIN_MENU));
  ASSERT_NE(gui->GetLoadingScreen(), nullptr);
  EXPECT_TRUE(gui->IsLoadingScreenVisible());
  EXPECT_TRUE(PauseManager::GetInstance()->IsGamePaused());
  for (int i = 0; i < 20; ++i) env.Frame();
  EXPECT_FALSE(gui->IsLoadingScreenVisible());
  EXPECT_FALSE(PauseManager::GetInstance()->IsGamePaused());
  EXPECT_FALSE(LogHas("CEGUI:"));
}

TEST_F(GUIManagerTest, InputReachesCeguiOnlyWhileTheLoadingScreenIsHidden) {
  GUIManager* gui = env.StartGui();
  CEGUI::Window* target = CEGUI::WindowManager::getSingleton().createWindow("DefaultWindow", "Target");
  target->setArea(CEGUI::URect(CEGUI::UDim(0, 0), CEGUI::UDim(0, 0), CEGUI::UDim(1, 0), CEGUI::UDim(1, 0)));
  gui->GetBaseFrame()->addChild(target);
  int clicks = 0, keys = 0;
  // Quick presses arrive as double and triple clicks instead of button-down events.
  for (const CEGUI::String& event : {CEGUI::Window::EventMouseButtonDown, CEGUI::Window::EventMouseDoubleClick,
                                     CEGUI::Window::EventMouseTripleClick})
    target->subscribeEvent(event, [&](const CEGUI::EventArgs&) { return ++clicks > 0; });
  target->subscribeEvent(CEGUI::Window::EventKeyDown, [&](const CEGUI::EventArgs&) { return ++keys > 0; });

  auto press = [] {
    VInputCallbackDataObject down(&VInputCallbacks::OnMouseButtonDown, 0, 0, 0);
    VInputCallbacks::OnMouseButtonDown.TriggerCallbacks(&down);
    VInputCallbackDataObject up(&VInputCallbacks::OnMouseButtonUp, 0, 0, 0);
    VInputCallbacks::OnMouseButtonUp.TriggerCallbacks(&up);
    VInputCallbackDataObject key(&VInputCallbacks::OnKeyDown, 'a', 0x1E, 0);
    VInputCallbacks::OnKeyDown.TriggerCallbacks(&key);
  };

  gui->ShowLoadingScreen();
  target->activate();
  press();
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(keys, 0);
  EXPECT_FALSE(gui->IsMouseOverGUI());

  gui->HideLoadingScreen(5, 1);
  for (int i = 0; i < 20; ++i) env.Frame();
  ASSERT_FALSE(gui->IsLoadingScreenVisible());
  target->activate();
  VInputCallbackDataObject down(&VInputCallbacks::OnMouseButtonDown, 0, 0, 0);
  VInputCallbacks::OnMouseButtonDown.TriggerCallbacks(&down);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(gui->IsMouseOverGUI());
  press();
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(keys, 1);
  // Releasing the button clears the flag.
  EXPECT_FALSE(gui->IsMouseOverGUI());
}

TEST_F(GUIManagerTest, RenderHookHandsTheCursorTextureToTheHardwareCursor) {
  GUIManager* gui = env.StartGui();
  VTextureObject* defaultTexture = gui->GetCursorTexture("Cursors/MouseCursorDefault");
  ASSERT_NE(defaultTexture, nullptr);
  EXPECT_NE(std::string(defaultTexture->GetFilename()).find("default.tga"), std::string::npos);

  env.RenderGui();
  EXPECT_EQ(Vision::HardwareCursor.GetImage(), defaultTexture);
  EXPECT_FALSE(VisRenderLoopHelper_cl::IsInOverlay());

  // Over the game world the cursor kind applies at once.
  EXPECT_TRUE(gui->ChangeMouseCursor(CURSOR_CROSSHAIR));
  env.RenderGui();
  EXPECT_EQ(Vision::HardwareCursor.GetImage(), gui->GetCursorTexture("Cursors/MouseCursorCrosshair"));
  EXPECT_FALSE(gui->ChangeMouseCursor((CURSOR_TYPES)9));

  // With the software cursor CEGUI draws it and the hardware image stays.
  gui->SetUseSoftwareCursor(true);
  gui->ChangeMouseCursor(CURSOR_FINGER);
  env.RenderGui();
  EXPECT_EQ(Vision::HardwareCursor.GetImage(), gui->GetCursorTexture("Cursors/MouseCursorCrosshair"));
}

TEST_F(GUIManagerTest, PlainStateAccessors) {
  GUIManager* gui = GUIManager::GetInstance();
  EXPECT_EQ(gui->GetSelectedPlayerCharacter(), 1);
  gui->SetExclamationForButton(4, true);
  gui->SetExclamationForButton(5, true);
  EXPECT_TRUE(gui->GetExclamationForButton(4));
  EXPECT_FALSE(gui->GetExclamationForButton(5));
  EXPECT_FALSE(gui->GetExclamationForButton(-1));
  gui->ClearExclamations();
  EXPECT_FALSE(gui->GetExclamationForButton(4));

  gui->SetDelayAfterConversation();
  EXPECT_TRUE(gui->WaitAfterConversation());
  for (int i = 0; i < 11; ++i) {
    Vision::Timer.Update();
    gui->UpdateDelayAfterConversation();
  }
  EXPECT_FALSE(gui->WaitAfterConversation());
}

TEST_F(GUIManagerTest, ToolBarIsMadeOnceKeptWhenHiddenAndSharesThePause) {
  GUIManager* gui = GUIManager::GetInstance();
  gui->ShowToolbar();  // before Init: nothing
  EXPECT_EQ(gui->GetToolbar(), nullptr);
  ASSERT_TRUE(gui->Init(VVideo::GetD3DDevice()));
  ASSERT_TRUE(gui->InitLayouts());
  gui->HideToolbar();
  EXPECT_EQ(gui->GetToolbar(), nullptr);

  gui->ShowToolbar();
  FrameToolBar* toolbar = gui->GetToolbar();
  ASSERT_NE(toolbar, nullptr);
  CEGUI::Window* root = toolbar->GetRootWindow();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->getParent(), gui->GetBaseFrame());
  EXPECT_TRUE(root->isVisible());
  EXPECT_TRUE(root->isMousePassThroughEnabled());
  // Not a frame of the open-frame table.
  EXPECT_EQ(gui->FindWindowA(WT_TOOLBAR), nullptr);

  gui->HideToolbar();
  EXPECT_FALSE(root->isVisible());
  gui->ShowToolbar();
  EXPECT_EQ(gui->GetToolbar(), toolbar);
  EXPECT_TRUE(root->isVisible());

  toolbar->RequestPause(true);
  EXPECT_TRUE(gui->WantsGamePause());
  EXPECT_TRUE(PauseManager::GetInstance()->IsGamePaused());
  toolbar->RequestPause(false);
  EXPECT_FALSE(gui->WantsGamePause());
}

}  // namespace
