// Timed events of a sequence, kept in time order.
#include "engine/core/VisAnimSequence.h"

#include "engine/core/VisAnimManager.h"

#include <algorithm>

void VisAnimSequence_cl::AddEvent(float time, const char* eventName) {
  const int id = Vision::Animations.RegisterEvent(eventName);
  if (id == 0) return;
  const float t = std::clamp(time, 0.0f, m_fLength);
  // After events of the same time, so that equal times keep the order they were given.
  auto at = std::upper_bound(m_events.begin(), m_events.end(), t, [](float v, const Event& e) { return v < e.time; });
  m_events.insert(at, Event{t, id});
}
