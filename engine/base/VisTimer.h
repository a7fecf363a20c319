// The engine clock (Vision::Timer): one frame time per update, read by everyone.
// ENGINE_TIMESTEP fixes the frame time; otherwise the monotonic clock drives it.
// The first update after start or Reset reports dt 0 on the real clock.
#pragma once

#include "engine/base/VBase.h"

#include <functional>

class VBASE_IMPEXP VisTimer_cl {
 public:
  VisTimer_cl();
  // Advances the clock once per engine frame.
  void Update();
  // Frame time of the last update, in seconds (0 after a forced update).
  float GetTimeDifference() const { return m_dt; }
  // Engine time in seconds since the start (or since SetTime).
  float GetTime() const { return (float)m_time; }
  double GetTimeD() const { return m_time; }
  void SetTime(float t) { m_time = t; }
  // Milliseconds since the start, as a float.
  float GetTickCount() const;
  void SetMaxTimeDifference(float maxDt) { m_maxDt = maxDt; }
  float GetMaxTimeDifference() const { return m_maxDt; }
  // Makes the next update report a frame time of 0 (pause, loading).
  void ForceTimer() { m_force = true; }
  // A fixed frame time (tests, ENGINE_TIMESTEP); 0 returns to the real clock.
  void SetFixedTimeStep(float dt) { m_fixedDt = dt; }
  float GetFixedTimeStep() const { return m_fixedDt; }
  // Tests: replaces the monotonic clock (seconds); null restores it. The next
  // update then starts afresh (dt 0 unless a fixed step is set).
  void SetClockSource(std::function<double()> clock);
  // Back to the state after construction (time 0, no frames), keeping the settings.
  void Reset();
  unsigned GetFrameCount() const { return m_frames; }

 private:
  double Now() const;
  std::function<double()> m_clock;
  double m_last = -1.0;   // clock reading of the last update, -1 before the first
  mutable double m_start = -1.0;  // clock reading GetTickCount counts from
  double m_time = 0.0;
  float m_dt = 0.0f;
  float m_maxDt = 0.0f;  // 0 = no limit
  float m_fixedDt = 0.0f;
  bool m_force = false;
  unsigned m_frames = 0;
};

// High-resolution ticks (monotonic, unsigned 64-bit) and ticks per second.
VBASE_IMPEXP uint64_t VGLGetTimer();
VBASE_IMPEXP uint64_t VGLGetTimerResolution();
// Tests: replace the tick source (nullptr restores the real clock).
VBASE_IMPEXP void VGLSetTimerSource(uint64_t (*source)());

namespace Vision {
VBASE_IMPEXP extern VisTimer_cl Timer;
}  // namespace Vision
