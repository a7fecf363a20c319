// Test helper for tests outside the GUI fixtures that look at radar markers: a
// marker exists only with its indicator frame, so a GUI is started on a video of
// the default size for the helper's life.
#pragma once

#include "Managers/RadarManager.h"
#include "gui/GUIManager.h"

#include "engine/Vision.h"

class ScopedRadarGui {
 public:
  ScopedRadarGui() {
    m_bOwnVideo = !VVideo::IsInitialized();
    if (m_bOwnVideo) VVideo::Initialize(VVideoConfig());
    Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data");
    GUIManager::GetInstance()->Init(VVideo::GetD3DDevice());
  }
  ~ScopedRadarGui() {
    // The radar's markers go with their indicators.
    RadarManager::CleanInstance();
    GUIManager::CleanInstance();
    if (m_bOwnVideo) VVideo::DeInitialize();
  }
  bool IsReady() const { return GUIManager::GetInstance()->IsInitialized(); }

 private:
  bool m_bOwnVideo = false;
};
