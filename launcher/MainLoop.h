// The launcher's main loop: calls the application's frame until it returns false,
// starting frames at most once per 5 ms. The wait sleeps until about 1 ms before
// the frame is due and yields for the rest, so an idle game does not hold a core
// busy and a late wake-up of the system does not delay the frame.
#pragma once

#include <cstdint>
#include <functional>

class MainLoop {
 public:
  // Shortest time between the starts of two frames, in milliseconds.
  static constexpr uint64_t kMinFrameMilliseconds = 5;
  // The end of the wait that is spent yielding instead of sleeping, in microseconds.
  static constexpr uint64_t kYieldMicroseconds = 1000;

  // Calls frame until it returns false. Time is read as 64-bit ticks of
  // VGLGetTimer, so the wait keeps its precision however long the machine runs.
  static void Run(const std::function<bool()>& frame);
};
