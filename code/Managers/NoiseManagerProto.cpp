// Gameplay noises that land units can hear.
#include "Managers/NoiseManagerProto.h"

#include "core/BaseEntity.h"

VCallback NoiseManagerProto::OnNoiseGenerated;

NoiseManagerProto::~NoiseManagerProto() = default;

void NoiseManagerProto::MakeNoise(BaseEntity* source, eNoiseType type, float volume, float range,
                                  NoiseFalloff falloff) {
  NoiseData data(&OnNoiseGenerated, source, volume, range, falloff, type);
  OnNoiseGenerated.TriggerCallbacks(&data);
}

float NoiseManagerProto::CalculateVolume(const VisVector_cl& position, const NoiseData* noise) const {
  if (!noise || !noise->m_pSource) return 0.0f;
  // A range of 0 or less carries the noise nowhere (and must not divide by zero).
  if (!(noise->m_fRange > 0.0f)) return 0.0f;
  const float d = position.GetDistance(noise->m_pSource->GetPosition());
  float f = 1.0f - d / noise->m_fRange;
  if (f < 0.0f) f = 0.0f;
  return noise->m_fVolume * f;
}
