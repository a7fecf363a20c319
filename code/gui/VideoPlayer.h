// Plays a video file: blocking and full screen (the intro), or as a looping
// texture behind the main menu. Decoding is not available yet, so every video
// takes the failure path: warnings in the log, nothing shown.
#pragma once

#include "engine/base/VCallback.h"

class VideoPlayer_cl : public IVisCallbackHandler_cl {
 public:
  enum State { STATE_NONE = 0, STATE_PLAYING = 1, STATE_PAUSED = 2, STATE_STOPPED = 3 };

  // Registers for the device-lost and device-restored callbacks.
  VideoPlayer_cl();
  ~VideoPlayer_cl() override;

  // Plays "..\..\..\data\<file>" full screen until it ends or a key skips it. Music
  // and sound effects pause meanwhile. 1 when played, 0 when the video cannot play.
  int PlayVideo(const char* file);
  int GetState() const { return m_iState; }

  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

 private:
  // Opens the file and builds the decoding chain; false (with the log line) when
  // the file is missing or cannot be decoded.
  bool BuildGraph(const char* path);

  int m_iState = STATE_NONE;
  int m_iVideoWidth = 0;
  int m_iVideoHeight = 0;
  bool m_bPausedForDeviceLoss = false;
};
