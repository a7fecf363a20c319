// Helpers for the frame tests: a started GUI with the layouts preloaded, frame
// lookups by kind and clicks through the engine's input callbacks.
#pragma once

#include "support/GuiTestEnvironment.h"
#include "support/LogCapture.h"

#include "gui/BaseWindow.h"

#include <CEGUI/CEGUI.h>
#include <gtest/gtest.h>

class GuiFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env.Start(timeStep);
    gui = env.StartGui();
    ASSERT_TRUE(gui->IsInitialized());
    gui->InitLayouts();
    // Clicks in a row must not merge into double clicks.
    CEGUI::System::getSingleton().getDefaultGUIContext().setMouseButtonMultiClickTimeout(1e-6f);
  }
  void TearDown() override { env.Stop(); }

  template <class Frame>
  Frame* Get(WINDOW_TYPES type) {
    return dynamic_cast<Frame*>(gui->GetWindow(type));
  }

  // A frame with the engine's scene update inside, as the application runs it.
  void SceneFrame() {
    Vision::Timer.Update();
    BaseEntityDataObject pre(&GameManager::Callbacks.OnPreFrame, nullptr);
    GameManager::Callbacks.OnPreFrame.TriggerCallbacks(&pre);
    Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
    Vision::Callbacks.OnUpdateSceneFinished.TriggerCallbacks();
    env.RenderGui();
    BaseEntityDataObject post(&GameManager::Callbacks.OnPostFrame, nullptr);
    GameManager::Callbacks.OnPostFrame.TriggerCallbacks(&post);
  }

  // A left click in the middle of the window, as the player gives it.
  void Click(CEGUI::Window* window) {
    ASSERT_NE(window, nullptr);
    const CEGUI::Rectf area = window->getUnclippedOuterRect().get();
    const CEGUI::Vector2f centre = area.getPosition() + CEGUI::Vector2f(area.getWidth(), area.getHeight()) * 0.5f;
    VSetCursorPos((int)centre.d_x, (int)centre.d_y);
    CEGUI::System::getSingleton().getDefaultGUIContext().injectMousePosition(centre.d_x, centre.d_y);
    VInputCallbackDataObject down(&VInputCallbacks::OnMouseButtonDown, 0, 0, 0);
    VInputCallbacks::OnMouseButtonDown.TriggerCallbacks(&down);
    VInputCallbackDataObject up(&VInputCallbacks::OnMouseButtonUp, 0, 0, 0);
    VInputCallbacks::OnMouseButtonUp.TriggerCallbacks(&up);
  }

  // A key pressed and released (engine key code and scan code).
  static void Key(int key, int scanCode) {
    VInputCallbackDataObject down(&VInputCallbacks::OnKeyDown, key, scanCode, 0);
    VInputCallbacks::OnKeyDown.TriggerCallbacks(&down);
    VInputCallbackDataObject up(&VInputCallbacks::OnKeyUp, key, scanCode, 0);
    VInputCallbacks::OnKeyUp.TriggerCallbacks(&up);
  }

  // Nothing of CEGUI failed (each failure is logged as "CEGUI: ...").
  void ExpectNoCeguiFailure() const {
    for (const std::string& line : log.Matching("CEGUI:")) ADD_FAILURE() << line;
  }

  float timeStep = 0.1f;
  GuiTestEnvironment env;
  GUIManager* gui = nullptr;
  LogCapture log;
};
