// Sound entries: their end stops what they kept.
#include "Managers/SoundEntry.h"

#include "engine/sound/VSoundManager.h"

SoundEntry::SoundEntry(const char* file, VSoundResource* resource, bool is2D, bool looped, float minRepeatInterval)
    : m_sFile(file), m_spResource(resource), m_b2D(is2D), m_bLooped(looped), m_fMinRepeatInterval(minRepeatInterval) {}

SoundEntry::~SoundEntry() {
  // Stopped and let go, the plug-in collects them.
  for (VSmartPtr<VSoundObject>& obj : m_keptInstances)
    if (obj) obj->Stop();
  m_keptInstances.clear();
  m_spResource = nullptr;
}
