// One named animation sequence of a model: its kind, length and timed events.
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/base/VString.h"

#include <vector>

enum VisModelAnimType_e {
  VIS_MODELANIM_UNKNOWN = 0,  // any kind (look-ups)
  VIS_MODELANIM_SKELETAL = 1,
  VIS_MODELANIM_VERTEX = 2,
};

class VBASE_IMPEXP VisAnimSequence_cl : public VRefCounter {
 public:
  struct Event {
    float time;  // seconds from the start, 0..length
    int id;      // event id of Vision::Animations (bit 31 set)
  };

  VisAnimSequence_cl(const char* name, VisModelAnimType_e type, float length)
      : m_sName(name), m_eType(type), m_fLength(length > 0.0f ? length : 0.0f) {}

  const char* GetName() const { return m_sName.AsChar(); }
  VisModelAnimType_e GetType() const { return m_eType; }
  // Seconds; never negative.
  float GetLength() const { return m_fLength; }

  // Events in time order; a name is registered in the global event list when added.
  // Times outside 0..length are clamped into it.
  void AddEvent(float time, const char* eventName);
  int GetEventCount() const { return (int)m_events.size(); }
  const Event& GetEvent(int i) const { return m_events[i]; }

 private:
  VString m_sName;
  VisModelAnimType_e m_eType;
  float m_fLength;
  std::vector<Event> m_events;
};
