// Gameplay noises that land units can hear: a maker announces a noise on
// OnNoiseGenerated, and each listener works out how loud it is where it stands.
#pragma once

#include "Managers/NoiseData.h"

#include "engine/base/VCallback.h"
#include "engine/base/VisMath.h"
#include "util/Singleton.h"

class NoiseManagerProto : public Singleton<NoiseManagerProto> {
 public:
  virtual ~NoiseManagerProto();

  // Listeners register here; each is called with a NoiseData while MakeNoise runs.
  static VCallback OnNoiseGenerated;

  // Tells every listener at once.
  void MakeNoise(BaseEntity* source, eNoiseType type, float volume, float range, NoiseFalloff falloff);
  // The loudness at a position: the source's volume, falling linearly to 0 at the
  // range and staying 0 beyond it. 0 without a noise, a source or a positive range.
  float CalculateVolume(const VisVector_cl& position, const NoiseData* noise) const;

 private:
  friend class Singleton<NoiseManagerProto>;
  NoiseManagerProto() = default;
};
