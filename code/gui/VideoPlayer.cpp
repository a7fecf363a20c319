// Video playback into a texture.
#include "gui/VideoPlayer.h"

#include "Managers/MusicManager.h"
#include "Managers/SoundManager.h"
#include "core/VisMainApp.h"
#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"
#include "engine/base/VisInput.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisionApp.h"
#include "engine/os/VOs.h"
#include "engine/os/VVideoStream.h"
#include "engine/render/VTextureManager.h"
#include "gui/GUIManager.h"
#include "gui/TextureRenderer.h"

#include <cmath>
#include <string>

namespace {

const char* const kDataFolder = "..\\..\\..\\data";
const int kSkipKeys[] = {VGLK_ENTER, VGLK_ESC, VGLK_SPACE};
// How long the main thread waits for the decoder to reach the due frame.
const int kDueFrameWaitMs = 2000;
// A blocking video waits this long between passes that bring no new frame on the real clock.
const unsigned kIdlePassMs = 5;

bool AppHasFocus() { return !VisMainApp::HasInstance() || VisMainApp::GetInstance()->HasFocus(); }

bool SkipKeyPressed() {
  bool pressed = false;
  // Every key is read, so none keeps a press for later.
  for (int key : kSkipKeys) pressed |= Vision::Key.IsPressed(key);
  return pressed;
}

void SetSkipKeysSingleHit() {
  for (int key : kSkipKeys) Vision::Key.SetSingleHitMode(key, true);
}

}  // namespace

VideoPlayer_cl::VideoPlayer_cl() {
  Vision::Callbacks.OnVideoDeviceLost.RegisterCallback(this);
  Vision::Callbacks.OnVideoDeviceRestored.RegisterCallback(this);
}

VideoPlayer_cl::~VideoPlayer_cl() {
  Vision::Callbacks.OnVideoDeviceLost.DeregisterCallback(this);
  Vision::Callbacks.OnVideoDeviceRestored.DeregisterCallback(this);
  ReleaseVideoTexture();
  // The decoder writes into the renderer: it stops first.
  ReleaseGraph();
}

bool VideoPlayer_cl::BuildGraph(const char* path) {
  ReleaseGraph();
  m_pStream = std::make_unique<VVideoStream>();
  m_pRenderer = std::make_unique<CTextureRenderer>();
  if (!m_pStream->Open(path)) {
    Vision::Error.Warning("Video file not found or invalid !");
    ReleaseGraph();
    return false;
  }
  if (!m_pStream->Connect(m_pRenderer.get())) {
    ReleaseGraph();
    return false;
  }
  m_iVideoWidth = m_pRenderer->GetWidth();
  m_iVideoHeight = m_pRenderer->GetHeight();
  return true;
}

void VideoPlayer_cl::ReleaseGraph() {
  m_pStream.reset();
  m_pRenderer.reset();
}

void VideoPlayer_cl::CreateVideoTexture() {
  m_spVideoTexture = Vision::TextureManager.Create2DTextureObject("<videotexture>", m_iVideoWidth, m_iVideoHeight, 2, 0x820);
  if (m_spVideoTexture) m_spVideoTexture->SetResourceFlag(0x200);
}

bool VideoPlayer_cl::AllocateFrameBuffer() {
  m_iFrameWidth = m_iVideoWidth;
  m_iFrameHeight = m_iVideoHeight;
  m_iBitsPerPixel = 32;
  try {
    m_frameBuffer.assign((size_t)m_iFrameWidth * m_iFrameHeight * 4, 0);
  } catch (const std::bad_alloc&) {
    m_frameBuffer.clear();
    return false;
  }
  return !m_frameBuffer.empty();
}

void VideoPlayer_cl::ReleaseVideoTexture() {
  if (m_spScreenMask) {
    m_spScreenMask->SetVisible(false);
    m_spScreenMask->SetTextureObject(nullptr);
  }
  if (m_spVideoTexture) {
    m_spVideoTexture->ReleaseDeviceHandle();
    m_spVideoTexture->EnsureUnloaded();
    m_spVideoTexture = nullptr;
  }
  m_spScreenMask = nullptr;
}

void VideoPlayer_cl::ApplyVolume(float volume) {
  if (!m_pStream) return;
  m_pStream->SetVolume(volume <= 1e-7f ? -10000L : (long)(500.0 * std::log((double)volume)));
}

void VideoPlayer_cl::SetVolume(float volume) { ApplyVolume(volume); }

long VideoPlayer_cl::GetAudioVolume() const { return m_pStream ? m_pStream->GetVolume() : 0; }
bool VideoPlayer_cl::HasSound() const { return m_pStream && m_pStream->HasAudio(); }
double VideoPlayer_cl::GetPosition() const { return m_pStream ? m_pStream->GetCurrentPosition() : 0.0; }
double VideoPlayer_cl::GetDuration() const { return m_pStream ? m_pStream->GetDuration() : 0.0; }

void VideoPlayer_cl::ResumeSound() {
  MusicManager::GetInstance()->SetPaused(false);
  SoundManager::GetInstance()->SetPaused(false);
}

void VideoPlayer_cl::WaitForDueFrame() {
  if (!m_pStream) return;
  if (VVideo::IsHeadless() || Vision::Timer.GetFixedTimeStep() > 0.0f) m_pStream->WaitForDueFrames(kDueFrameWaitMs);
}

bool VideoPlayer_cl::CopyFrameToTexture() {
  if (!m_pRenderer || m_bPausedForDeviceLoss || !m_pRenderer->IsFrameReady()) return false;
  const uint8_t* source = m_pRenderer->GetFrameBuffer();
  const int width = m_iFrameWidth, height = m_iFrameHeight, pitch = m_pRenderer->GetPitch();
  if (source && width == m_pRenderer->GetWidth() && height == m_pRenderer->GetHeight() &&
      m_frameBuffer.size() == (size_t)width * height * 4) {
    // The decoder's rows start at the bottom; the texture's at the top.
    for (int y = 0; y < height; ++y) {
      const uint8_t* row = source + (size_t)y * pitch;
      uint8_t* out = &m_frameBuffer[(size_t)(height - 1 - y) * width * 4];
      for (int x = 0; x < width; ++x) {
        out[4 * x + 0] = row[3 * x + 0];
        out[4 * x + 1] = row[3 * x + 1];
        out[4 * x + 2] = row[3 * x + 2];
        out[4 * x + 3] = 0xFF;
      }
    }
  }
  m_pRenderer->ReleaseFrame();
  if (!m_spVideoTexture ||
      !m_spVideoTexture->UpdateRect(0, 0, 0, width, height, width * 4, m_frameBuffer.data())) {
    // One lost frame is no reason to end the program.
    Vision::Error.Warning("Failed to update the texture: video frame dropped");
    return false;
  }
  ++m_iShownFrames;
  return true;
}

int VideoPlayer_cl::PlayVideo(const char* file) {
  const std::string path = VPathHelper::CombineDirAndFile(kDataFolder, file ? file : "");
  MusicManager::GetInstance()->SetPaused(true);
  SoundManager::GetInstance()->SetPaused(true);
  if (!BuildGraph(path.c_str())) {
    Vision::Error.Warning("Couldn't initialize DirectShow.\nPerhaps the necessary Codec for the video format is missing?");
    ResumeSound();
    return 0;
  }

  CreateVideoTexture();
  m_spScreenMask = new VisScreenMask_cl();
  m_spScreenMask->SetTextureObject(m_spVideoTexture);
  m_spScreenMask->SetPos(0.0f, 0.0f);
  m_spScreenMask->SetTargetSize((float)VVideo::GetCurrentWidth(), (float)VVideo::GetCurrentHeight());
  m_spScreenMask->SetFiltering(true);
  m_spScreenMask->SetVisible(true);

  SoundManager* sound = SoundManager::GetInstance();
  ApplyVolume(sound->GetMasterVolume() * sound->GetSpeechVolume());
  if (!AllocateFrameBuffer()) {
    Vision::Error.Warning("Out of memory while allocating texture bitmap !\n");
    ReleaseVideoTexture();
    ReleaseGraph();
    ResumeSound();
    return 0;
  }

  Play();
  SetSkipKeysSingleHit();
  SkipKeyPressed();
  m_bLoadingScreenWasVisible = GUIManager::GetInstance()->HideLoadingScreen(5.0f, 1.0f);

  VisMainApp* app = VisMainApp::HasInstance() ? VisMainApp::GetInstance() : nullptr;
  bool skipped = false;
  GUIManager::GetInstance()->SetBlockingVideoPlaying(true);
  // Every pass reads the input, so a key between two video frames is not missed.
  for (;;) {
    if (app) app->PollInput();
    if (SkipKeyPressed()) {
      skipped = true;
      break;
    }
    if (!m_pStream) {
      Stop();
      break;
    }
    Vision::Timer.Update();
    if (m_pStream->GetCurrentPosition() >= m_pStream->GetDuration()) {
      Stop();
      break;
    }
    if (!AppHasFocus()) {
      Stop();
      break;
    }
    WaitForDueFrame();
    if (CopyFrameToTexture()) {
      if (app) app->RenderOnlyVisuals();
    } else if (Vision::Timer.GetFixedTimeStep() <= 0.0f || m_iState != STATE_PLAYING) {
      // Nothing new yet: the clock has to move on by itself.
      VSleep(kIdlePassMs);
    }
  }

  GUIManager::GetInstance()->SetBlockingVideoPlaying(false);
  if (skipped) {
    Stop();
    // The Escape that skipped the video must not open the in-game menu.
    GUIManager::GetInstance()->SetDelayAfterConversation();
  }
  SetSkipKeysSingleHit();
  Stop();
  ReleaseVideoTexture();
  ResumeSound();
  Vision::Key.Reset();
  if (m_bLoadingScreenWasVisible) GUIManager::GetInstance()->ShowLoadingScreen();
  return 1;
}

int VideoPlayer_cl::InitStreamingVideo(const char* file) {
  const std::string path = VPathHelper::CombineDirAndFile(kDataFolder, file ? file : "");
  if (!BuildGraph(path.c_str())) {
    Vision::Error.Warning("Couldn't initialize DirectShow.\nPerhaps the necessary Codec for the video format is missing?");
    return 0;
  }
  CreateVideoTexture();
  SoundManager* sound = SoundManager::GetInstance();
  ApplyVolume(sound->GetMasterVolume() * sound->GetSpeechVolume());
  if (!AllocateFrameBuffer()) {
    Vision::Error.Warning("Out of memory while allocating texture bitmap !\n");
    ReleaseVideoTexture();
    ReleaseGraph();
    return 0;
  }
  Play();
  m_bLoadingScreenWasVisible = GUIManager::GetInstance()->HideLoadingScreen(5.0f, 1.0f);
  return 1;
}

void VideoPlayer_cl::UpdateMainMenuVideo() {
  if (!m_pStream || !m_pRenderer) return;
  if (m_pStream->GetCurrentPosition() >= m_pStream->GetDuration()) RewindVideo();
  if (!AppHasFocus()) {
    m_bPausedForFocusLoss = true;
    Pause();
    return;
  }
  if (m_bPausedForFocusLoss) {
    m_bPausedForFocusLoss = false;
    Play();
  }
  if (m_bPausedForDeviceLoss) return;
  WaitForDueFrame();
  if (CopyFrameToTexture() && m_bPauseAfterNextFrame) Pause();
}

void VideoPlayer_cl::DeInitMainMenuVideo() {
  Stop();
  ReleaseVideoTexture();
  Vision::Key.Reset();
}

void VideoPlayer_cl::Play() {
  if (m_pStream && m_pStream->Run()) {
    m_iState = STATE_PLAYING;
    m_bPausedForDeviceLoss = false;
  }
}

void VideoPlayer_cl::Pause() {
  if (m_pStream && m_pStream->Pause()) m_iState = STATE_PAUSED;
}

void VideoPlayer_cl::Stop() {
  // Stopping the stream also stops the decoder: no frame reaches the renderer after this.
  if (m_pStream && m_pStream->Stop()) m_iState = STATE_STOPPED;
}

void VideoPlayer_cl::RewindVideo() {
  if (m_pStream) m_pStream->SetCurrentPosition(0.0);
}

bool VideoPlayer_cl::IsVideoAtEnd() {
  if (!m_pStream) return true;
  if (m_pStream->GetCurrentPosition() < m_pStream->GetDuration()) return false;
  Stop();
  return true;
}

void VideoPlayer_cl::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  if (data->m_pSender == &Vision::Callbacks.OnVideoDeviceLost) {
    m_bPausedForDeviceLoss = true;
    Stop();
    if (m_pRenderer) m_pRenderer->ReleaseFrame();
    SetSkipKeysSingleHit();
    ReleaseVideoTexture();
    ResumeSound();
  } else if (data->m_pSender == &Vision::Callbacks.OnVideoDeviceRestored) {
    if (m_iVideoWidth > 0 && m_iVideoHeight > 0) {
      CreateVideoTexture();
      if (m_spVideoTexture && m_frameBuffer.size() == (size_t)m_iVideoWidth * m_iVideoHeight * 4)
        m_spVideoTexture->UpdateRect(0, 0, 0, m_iVideoWidth, m_iVideoHeight, m_iVideoWidth * 4, m_frameBuffer.data());
    }
    Play();
  }
}
