// Plays a video file into the texture "<videotexture>": blocking and full screen
// (the intro and the heroes' cutscenes), or as the main menu's looping
// background, which the menu shows through a GUI image of the texture.
#pragma once

#include "engine/base/VCallback.h"
#include "engine/base/VRefCounter.h"
#include "engine/render/VTextureObject.h"
#include "engine/render/VisScreenMask.h"

#include <cstdint>
#include <memory>
#include <vector>

class CTextureRenderer;
class VVideoStream;

class VideoPlayer_cl : public IVisCallbackHandler_cl {
 public:
  enum State { STATE_NONE = 0, STATE_PLAYING = 1, STATE_PAUSED = 2, STATE_STOPPED = 3 };

  // Registers for the device-lost and device-restored callbacks.
  VideoPlayer_cl();
  // Deregisters; stops the decoder before anything it writes goes.
  ~VideoPlayer_cl() override;

  // Plays "..\..\..\data\<file>" full screen until it ends, Enter, Escape or Space
  // skips it, or the window loses the focus. Music and sound effects pause
  // meanwhile. 1 when played, 0 when the video cannot play.
  int PlayVideo(const char* file);
  // Starts "..\..\..\data\<file>" into the texture without blocking (the main
  // menu's background); 1, or 0 when it cannot play.
  int InitStreamingVideo(const char* file);
  // Every frame of the main menu: loops at the end, pauses while the window has
  // no focus, takes a new frame into the texture.
  void UpdateMainMenuVideo();
  void DeInitMainMenuVideo();

  void Play();
  void Pause();
  void Stop();
  void RewindVideo();
  // Linear volume, 0 to 1 (500 * ln v hundredths of a decibel, silent at 1e-7 and below).
  void SetVolume(float volume);
  // True (and the video stopped) at the end, or when nothing plays.
  bool IsVideoAtEnd();

  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  int GetState() const { return m_iState; }
  int GetVideoWidth() const { return m_iVideoWidth; }
  int GetVideoHeight() const { return m_iVideoHeight; }
  VTextureObject* GetVideoTexture() const { return m_spVideoTexture.GetPtr(); }
  VisScreenMask_cl* GetScreenMask() const { return m_spScreenMask.GetPtr(); }
  // The volume given to the video's sound (hundredths of a decibel); 0 without a video.
  long GetAudioVolume() const;
  bool HasSound() const;
  // Seconds into the video and its length; 0 without one.
  double GetPosition() const;
  double GetDuration() const;
  bool IsPausedForFocusLoss() const { return m_bPausedForFocusLoss; }
  bool IsPausedForDeviceLoss() const { return m_bPausedForDeviceLoss; }
  bool WasLoadingScreenVisible() const { return m_bLoadingScreenWasVisible; }
  void SetPauseAfterNextFrame(bool pause) { m_bPauseAfterNextFrame = pause; }
  // Frames taken into the texture so far.
  int GetShownFrameCount() const { return m_iShownFrames; }

 private:
  // Opens the file and connects the decoder to the renderer; false (with the
  // log line for a missing or unreadable file) when the video cannot play.
  bool BuildGraph(const char* path);
  void ReleaseGraph();
  // The texture at the video's size and the cleared frame buffer.
  void CreateVideoTexture();
  bool AllocateFrameBuffer();
  // Drops the screen mask and the texture (step 9's clean-up, device loss).
  void ReleaseVideoTexture();
  // Waits (bounded) for the frame due now when runs must repeat: headless or on
  // a fixed time step.
  void WaitForDueFrame();
  // A ready frame into the frame buffer (rows turned, opaque) and the texture;
  // false when none was ready or the texture refused it.
  bool CopyFrameToTexture();
  void ApplyVolume(float volume);
  void ResumeSound();

  std::unique_ptr<VVideoStream> m_pStream;      // media control, position and basic audio
  std::unique_ptr<CTextureRenderer> m_pRenderer;
  VSmartPtr<VTextureObject> m_spVideoTexture;
  int m_iFrameWidth = 0;
  int m_iFrameHeight = 0;
  int m_iBitsPerPixel = 32;
  std::vector<uint8_t> m_frameBuffer;  // B, G, R, A per pixel, top row first
  VSmartPtr<VisScreenMask_cl> m_spScreenMask;
  int m_iState = STATE_NONE;
  int m_iVideoWidth = 0;
  int m_iVideoHeight = 0;
  bool m_bLoadingScreenWasVisible = false;
  bool m_bPausedForDeviceLoss = false;
  bool m_bPausedForFocusLoss = false;
  bool m_bPauseAfterNextFrame = false;
  int m_iShownFrames = 0;
};
