// One sound file of a unit-sound pool or of an effect: its loaded resource, how it
// plays, its repeat limit and the instances of a looped effect that are kept.
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/base/VString.h"

#include <vector>

class VSoundObject;
class VSoundResource;

class SoundEntry {
 public:
  SoundEntry(const char* file, VSoundResource* resource, bool is2D, bool looped, float minRepeatInterval);
  // Stops and lets go of every kept instance, then of the resource.
  ~SoundEntry();
  SoundEntry(SoundEntry&&) = default;
  SoundEntry& operator=(SoundEntry&&) = default;
  SoundEntry(const SoundEntry&) = delete;
  SoundEntry& operator=(const SoundEntry&) = delete;

  VString m_sFile;
  VSmartPtr<VSoundResource> m_spResource;  // null when loading failed
  bool m_b2D;
  bool m_bLooped;
  float m_fLastPlayed = -100.0f;  // engine time of the last play
  float m_fMinRepeatInterval;     // 0 or less: no limit
  std::vector<VSmartPtr<VSoundObject>> m_keptInstances;
};
