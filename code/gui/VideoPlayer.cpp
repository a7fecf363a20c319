// Video playback.
#include "gui/VideoPlayer.h"

#include "Managers/MusicManager.h"
#include "Managers/SoundManager.h"
#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"
#include "engine/core/VisCallbacks.h"

VideoPlayer_cl::VideoPlayer_cl() {
  Vision::Callbacks.OnVideoDeviceLost.RegisterCallback(this);
  Vision::Callbacks.OnVideoDeviceRestored.RegisterCallback(this);
}

VideoPlayer_cl::~VideoPlayer_cl() {
  Vision::Callbacks.OnVideoDeviceLost.DeregisterCallback(this);
  Vision::Callbacks.OnVideoDeviceRestored.DeregisterCallback(this);
}

bool VideoPlayer_cl::BuildGraph(const char* path) {
  if (!VFileHelper::ExistsFile(path)) {
    Vision::Error.Warning("Video file not found or invalid !");
    return false;
  }
  // No decoder exists yet (video decoding comes with the menu screens).
  return false;
}

int VideoPlayer_cl::PlayVideo(const char* file) {
  const std::string path = VPathHelper::CombineDirAndFile("..\\..\\..\\data", file ? file : "");
  MusicManager::GetInstance()->SetPaused(true);
  SoundManager::GetInstance()->SetPaused(true);
  if (!BuildGraph(path.c_str())) {
    Vision::Error.Warning("Couldn't initialize DirectShow.\nPerhaps the necessary Codec for the video format is missing?");
    MusicManager::GetInstance()->SetPaused(false);
    SoundManager::GetInstance()->SetPaused(false);
    return 0;
  }
  return 1;
}

void VideoPlayer_cl::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  if (data->m_pSender == &Vision::Callbacks.OnVideoDeviceLost) {
    m_bPausedForDeviceLoss = true;
    if (m_iState == STATE_PLAYING || m_iState == STATE_PAUSED) m_iState = STATE_STOPPED;
  } else if (data->m_pSender == &Vision::Callbacks.OnVideoDeviceRestored) {
    if (m_iVideoWidth > 0 && m_iVideoHeight > 0) {
      m_iState = STATE_PLAYING;
      m_bPausedForDeviceLoss = false;
    }
  }
}
