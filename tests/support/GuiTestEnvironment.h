// Test helper for GUI and manager tests: a started engine with a 1280x720 video
// mode, the bundled data folder, a fixed time step, and GUI frames driven through
// the game's event bus. Stop() deletes every GUI-side singleton again.
#pragma once

#include "Managers/MouseCursorManager.h"
#include "Managers/MusicManager.h"
#include "Managers/PauseManager.h"
#include "Managers/RadarManager.h"
#include "Managers/SoundManager.h"
#include "Managers/SpeechManager.h"
#include "core/GameManager.h"
#include "engine/Vision.h"
#include "engine/render/VHardwareCursor.h"
#include "gui/GUIManager.h"

class GuiTestEnvironment {
 public:
  void Start(float timeStep = 0.1f) {
    Vision::File.RemoveAllDataDirectories();
    Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data");
    m_app.m_videoConfig.m_iXRes = 1280;
    m_app.m_videoConfig.m_iYRes = 720;
    m_app.InitEngine();
    Vision::Timer.SetFixedTimeStep(timeStep);
    // Frames are as long as the step even after a scene load capped them elsewhere.
    Vision::Timer.SetMaxTimeDifference(0.0f);
    Vision::Renderer.SetDeviceLost(false);
    Vision::HardwareCursor.Reset();
  }

  void Stop() {
    GUIManager::CleanInstance();
    PauseManager::CleanInstance();
    RadarManager::CleanInstance();
    MouseCursorManager::CleanInstance();
    SoundManager::CleanInstance();
    MusicManager::CleanInstance();
    SpeechManager::CleanInstance();
    m_app.DeInitEngine();
    Vision::Timer.SetFixedTimeStep(0.0f);
    Vision::Timer.SetMaxTimeDifference(0.0f);
    Vision::File.RemoveAllDataDirectories();
    Vision::Error.SetLogListener(nullptr);
  }

  // One frame as the application runs it: the clock, then the GUI's before-frame
  // and after-frame events.
  void Frame() {
    Vision::Timer.Update();
    BaseEntityDataObject pre(&GameManager::Callbacks.OnPreFrame, nullptr);
    GameManager::Callbacks.OnPreFrame.TriggerCallbacks(&pre);
    BaseEntityDataObject post(&GameManager::Callbacks.OnPostFrame, nullptr);
    GameManager::Callbacks.OnPostFrame.TriggerCallbacks(&post);
  }

  void RenderGui() {
    VisRenderHookDataObject_cl data(&Vision::Callbacks.OnRenderHook, VRH_GUI);
    Vision::Callbacks.OnRenderHook.TriggerCallbacks(&data);
  }

  GUIManager* StartGui() {
    GUIManager* gui = GUIManager::GetInstance();
    gui->Init(VVideo::GetD3DDevice());
    return gui;
  }

 private:
  VisionApp_cl m_app;
};
