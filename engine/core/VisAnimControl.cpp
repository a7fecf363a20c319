// Play position, passes and event collection of a running animation.
#include "engine/core/VisAnimControl.h"

#include "engine/core/VisAnimManager.h"
#include "engine/os/VOs.h"

#include <algorithm>
#include <cmath>

namespace {
// Passes of a looped sequence one frame may run through; beyond that the rest of a
// huge frame time only moves the position (a tiny sequence must not flood events).
constexpr int kMaxPassesPerAdvance = 64;
}  // namespace

VisAnimControl_cl::VisAnimControl_cl(VisAnimSequence_cl* sequence, unsigned flags, float speed)
    : m_spSequence(sequence), m_iFlags(flags), m_fSpeed(speed > 0.0f ? speed : 0.0f) {
  if ((flags & VANIMCTRL_RANDOM_START) != 0)
    m_fPosition = (float)VRandomInt() / (float)V_RAND_MAX * GetSequenceLength();
  VisAnimManager_cl::NotifyControlCreated(this);
}

VisAnimControl_cl::~VisAnimControl_cl() { VisAnimManager_cl::NotifyControlDestroyed(this); }

float VisAnimControl_cl::GetSequenceLength() const { return m_spSequence ? m_spSequence->GetLength() : 0.0f; }

void VisAnimControl_cl::SetCurrentSequencePosition(float seconds) {
  m_fPosition = std::clamp(std::isfinite(seconds) ? seconds : 0.0f, 0.0f, GetSequenceLength());
  m_bFreshPass = true;
}

void VisAnimControl_cl::Play(bool fromStart) {
  const bool atEnd = !IsLooped() && m_fPosition >= GetSequenceLength();
  m_bStopped = false;
  if (fromStart || atEnd) {
    m_fPosition = 0.0f;
    m_bFreshPass = true;
  }
}

void VisAnimControl_cl::AddEventListener(VisBaseEntity_cl* entity) {
  if (entity && !IsEventListener(entity)) m_listeners.push_back(entity);
}

bool VisAnimControl_cl::RemoveEventListener(VisBaseEntity_cl* entity) {
  auto it = std::find(m_listeners.begin(), m_listeners.end(), entity);
  if (it == m_listeners.end()) return false;
  m_listeners.erase(it);
  return true;
}

bool VisAnimControl_cl::IsEventListener(const VisBaseEntity_cl* entity) const {
  return std::find(m_listeners.begin(), m_listeners.end(), entity) != m_listeners.end();
}

void VisAnimControl_cl::CollectEvents(float from, float to, bool inclusive, std::vector<int>& events) const {
  if (!m_spSequence) return;
  for (int i = 0; i < m_spSequence->GetEventCount(); ++i) {
    const VisAnimSequence_cl::Event& e = m_spSequence->GetEvent(i);
    if ((inclusive ? e.time >= from : e.time > from) && e.time <= to) events.push_back(e.id);
  }
}

void VisAnimControl_cl::Advance(float dt, std::vector<int>& events) {
  if (m_bStopped || !m_spSequence) return;
  const float length = GetSequenceLength();
  if (length <= 0.0f) {
    // Nothing to run through: its events come once, and a once-played one is over.
    if (m_bFreshPass) CollectEvents(0.0f, 0.0f, true, events);
    m_bFreshPass = false;
    if (!IsLooped()) m_bStopped = true;
    return;
  }
  const float step = dt * m_fSpeed;
  if (!(step > 0.0f)) return;

  float pos = m_fPosition;
  float end = pos + step;
  int passes = 0;
  for (;;) {
    if (end < length) {
      CollectEvents(pos, end, m_bFreshPass, events);
      m_bFreshPass = false;
      pos = end;
      break;
    }
    // The end of the sequence is reached (an event at the very end belongs to this pass).
    CollectEvents(pos, length, m_bFreshPass, events);
    m_bFreshPass = false;
    if (!IsLooped()) {
      pos = length;
      m_bStopped = true;
      break;
    }
    end -= length;
    pos = 0.0f;
    m_bFreshPass = true;
    if (++passes >= kMaxPassesPerAdvance) end = std::fmod(end, length);
  }
  m_fPosition = pos;
}
