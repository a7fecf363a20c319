// The launcher's main loop: calls the application's frame until it returns false,
// starting frames at most once per 5 ms.
#pragma once

#include <cstdint>
#include <functional>

class MainLoop {
 public:
  // Shortest time between the starts of two frames, in milliseconds.
  static constexpr uint64_t kMinFrameMilliseconds = 5;

  // Calls frame until it returns false. Time is read as 64-bit ticks of
  // VGLGetTimer, so the wait keeps its precision however long the machine runs.
  static void Run(const std::function<bool()>& frame);
};
