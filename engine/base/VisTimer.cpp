// The engine clock and the high-resolution tick source.
#include "engine/base/VisTimer.h"

#include <cmath>
#include <cstdlib>
#include <ctime>

namespace Vision {
VisTimer_cl Timer;
}  // namespace Vision

namespace {
uint64_t (*g_timerSource)() = nullptr;

uint64_t MonotonicNanoseconds() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return (uint64_t)ts.tv_sec * 1000000000ull + (uint64_t)ts.tv_nsec;
}
}  // namespace

uint64_t VGLGetTimer() { return g_timerSource ? g_timerSource() : MonotonicNanoseconds(); }

uint64_t VGLGetTimerResolution() { return 1000000000ull; }

void VGLSetTimerSource(uint64_t (*source)()) { g_timerSource = source; }

VisTimer_cl::VisTimer_cl() {
  const char* step = getenv("ENGINE_TIMESTEP");
  if (step && *step) {
    char* end = nullptr;
    double v = strtod(step, &end);
    if (end != step && *end == '\0' && std::isfinite(v) && v > 0.0) m_fixedDt = (float)v;
  }
}

double VisTimer_cl::Now() const {
  if (m_clock) return m_clock();
  return (double)MonotonicNanoseconds() * 1e-9;
}

void VisTimer_cl::SetClockSource(std::function<double()> clock) {
  m_clock = std::move(clock);
  m_last = -1.0;
  m_start = -1.0;
}

void VisTimer_cl::Reset() {
  m_last = -1.0;
  m_start = -1.0;
  m_time = 0.0;
  m_dt = 0.0f;
  m_force = false;
  m_frames = 0;
}

void VisTimer_cl::Update() {
  const double now = Now();
  if (m_start < 0.0) m_start = now;
  double dt;
  if (m_fixedDt > 0.0f) {
    dt = m_fixedDt;
  } else if (m_last < 0.0) {
    dt = 0.0;
  } else {
    dt = now - m_last;
    if (dt < 0.0) dt = 0.0;  // a clock that went back gives no negative frame
  }
  m_last = now;
  if (m_maxDt > 0.0f && dt > m_maxDt) dt = m_maxDt;
  if (m_force) {
    dt = 0.0;
    m_force = false;
  }
  m_dt = (float)dt;
  m_time += dt;
  ++m_frames;
}

float VisTimer_cl::GetTickCount() const {
  const double now = Now();
  if (m_start < 0.0) m_start = now;
  return (float)((now - m_start) * 1000.0);
}
