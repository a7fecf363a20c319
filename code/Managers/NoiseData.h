// What a noise event tells its listeners: who made it, how loud, how far it
// carries, and its kinds. Lives only while the event is announced.
#pragma once

#include "engine/base/VCallback.h"

class BaseEntity;

// Noise kinds, chosen by the maker and passed through (hero units walking: 1).
typedef int eNoiseType;

// How the noise fades with distance; the loudness is linear whatever the value.
enum NoiseFalloff { NOISE_FALLOFF_LINEAR = 0 };

class NoiseData : public IVisCallbackDataObject_cl {
 public:
  NoiseData(VCallback* sender, BaseEntity* source, float volume, float range, NoiseFalloff falloff, eNoiseType type)
      : IVisCallbackDataObject_cl(sender),
        m_pSource(source),
        m_fVolume(volume),
        m_fRange(range),
        m_eFalloff(falloff),
        m_eType(type) {}

  BaseEntity* m_pSource;
  float m_fVolume;  // loudness at the source
  float m_fRange;   // distance at which it dies away
  NoiseFalloff m_eFalloff;
  eNoiseType m_eType;
};
