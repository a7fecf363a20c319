// Sound tests: the bundled data folder, a started sound manager and engine frames
// of a fixed length (the sound objects advance on the scene-update callbacks).
#pragma once

#include "engine/base/VisFile.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"
#include "engine/sound/VSoundManager.h"

#include <string>
#include <vector>

class SoundTestEnvironment {
 public:
  SoundTestEnvironment() {
    for (int i = 0; i < Vision::File.GetMaxDataDirectoryCount(); ++i)
      if (const char* d = Vision::File.GetDataDirectory(i)) m_savedDirs.emplace_back(d);
    Vision::File.RemoveAllDataDirectories();
    Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data");
    Vision::Timer.Reset();
    m_savedStep = Vision::Timer.GetFixedTimeStep();
    // A scene loaded earlier caps the frame time; these frames are taken as given.
    m_savedMaxStep = Vision::Timer.GetMaxTimeDifference();
    Vision::Timer.SetMaxTimeDifference(0.0f);
    VSoundManager::GlobalManager().SetMasterVolume(1.0f);
    VSoundManager::GlobalManager().SetInitialized(true);
  }
  ~SoundTestEnvironment() {
    VSoundManager::GlobalManager().SetInitialized(false);
    Vision::Timer.SetFixedTimeStep(m_savedStep);
    Vision::Timer.SetMaxTimeDifference(m_savedMaxStep);
    Vision::Timer.Reset();
    Vision::File.RemoveAllDataDirectories();
    for (const std::string& d : m_savedDirs) Vision::File.AddDataDirectory(d.c_str());
  }
  SoundTestEnvironment(const SoundTestEnvironment&) = delete;
  SoundTestEnvironment& operator=(const SoundTestEnvironment&) = delete;

  // One engine frame of dt seconds: the scene-update callbacks around it.
  static void Frame(float dt) {
    Vision::Timer.SetFixedTimeStep(dt);
    Vision::Timer.Update();
    Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
    Vision::Callbacks.OnUpdateSceneFinished.TriggerCallbacks();
  }
  static void Frames(int count, float dt) {
    for (int i = 0; i < count; ++i) Frame(dt);
  }

 private:
  std::vector<std::string> m_savedDirs;
  float m_savedStep = 0.0f;
  float m_savedMaxStep = 0.0f;
};
