// A video file played against the engine clock (the stand-in for the platform's
// media graph): libavformat reads the file, a decoder thread converts each frame to
// 24-bit B, G, R rows stored bottom-up (a device-independent bitmap, every row
// padded to a multiple of 4 bytes) and hands it to the connected sink.
//
// The play position runs with the engine clock (Vision::Timer) while the stream
// runs, and stops at the duration. The decoder hands over, for every position the
// main thread reaches, the newest frame due by it; older due frames are dropped
// unseen. WaitForDueFrames lets the main thread wait until that is done, so a run
// on a fixed time step shows the same frames every time.
//
// Sound: the audio stream is found and its volume kept, but not heard (the
// stand-in has no audio output).
#pragma once

#include "engine/base/VBase.h"

#include <cstddef>
#include <memory>

// The frame format the decoder delivers.
struct VVideoFormat {
  int width = 0;
  int height = 0;
  int pitch = 0;           // bytes per row: (width * 3 + 3) rounded down to a multiple of 4
  int bitsPerPixel = 24;   // B, G, R
  bool bottomUp = true;    // the first row in memory is the lowest of the picture
};

// The receiver of decoded frames (the game's renderer).
class VBASE_IMPEXP IVVideoSink {
 public:
  virtual ~IVVideoSink() = default;
  // Whether the sink takes the format; false refuses the connection.
  virtual bool CheckMediaType(const VVideoFormat& format) = 0;
  virtual void SetMediaType(const VVideoFormat& format) = 0;
  // One frame of pitch * height bytes, called on the decoder thread. The data is
  // valid only during the call.
  virtual void DoRenderSample(const unsigned char* data, size_t size) = 0;
};

class VBASE_IMPEXP VVideoStream {
 public:
  enum State { STOPPED = 0, PAUSED = 1, RUNNING = 2 };

  VVideoStream();
  // Stops the decoder thread and closes the file.
  ~VVideoStream();
  VVideoStream(const VVideoStream&) = delete;
  VVideoStream& operator=(const VVideoStream&) = delete;

  // Opens a file (found without regard to case) and its first video stream's
  // decoder. False when the file is missing or unreadable or has no decodable
  // video; nothing stays open then.
  bool Open(const char* path);
  bool IsOpen() const;
  bool HasAudio() const;
  // The format frames come in (valid once open).
  const VVideoFormat& GetFormat() const;

  // Offers the format to the sink; false when it refuses or nothing is open. The
  // sink must outlive the stream's running (Stop or the destructor end it).
  bool Connect(IVVideoSink* sink);

  // Run starts the decoder thread on first use. Each returns false when nothing
  // is open or connected.
  bool Run();
  bool Pause();
  bool Stop();
  int GetState() const;

  // Seconds. The position is clamped to [0, duration].
  double GetDuration() const;
  double GetCurrentPosition() const;
  // Moves the play position; the decoder starts again from the frame shown there.
  bool SetCurrentPosition(double seconds);

  // Volume in hundredths of a decibel, -10000 (silent) to 0 (full).
  void SetVolume(long volume);
  long GetVolume() const;

  // Blocks until the decoder has handed over (or dropped) every frame due by the
  // current position, or the file ended, or timeoutMs passed. True unless it timed out.
  bool WaitForDueFrames(int timeoutMs);

  // Frames given to the sink since opening (tests).
  int GetDeliveredFrameCount() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};
