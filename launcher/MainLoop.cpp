// Frame limiter of the launcher's main loop.
#include "MainLoop.h"

#include "engine/base/VisTimer.h"
#include "engine/os/VOs.h"

void MainLoop::Run(const std::function<bool()>& frame) {
  const uint64_t resolution = VGLGetTimerResolution();
  uint64_t minTicks = (resolution * kMinFrameMilliseconds + 999) / 1000;
  if (minTicks == 0) minTicks = 1;
  const uint64_t yieldTicks = resolution * kYieldMicroseconds / 1000000;

  uint64_t frameStart = VGLGetTimer();
  if (!frame()) return;
  for (;;) {
    uint64_t now = VGLGetTimer();
    // A timer that reads earlier than the frame start restarts the wait from there.
    while (now < frameStart || now - frameStart < minTicks) {
      const uint64_t left = now < frameStart ? 0 : minTicks - (now - frameStart);
      if (left > yieldTicks)
        VSleepNanoseconds((uint64_t)((double)(left - yieldTicks) * 1e9 / (double)resolution));
      else
        VSleep(0);
      now = VGLGetTimer();
      if (now < frameStart) frameStart = now;
    }
    frameStart = now;
    if (!frame()) return;
  }
}
