// One layer of a running particle effect. Particles are only counted (nothing is
// drawn): each frame a running layer emits rate x intensity x dt particles (the
// fractions carry over), each living 'lifetime' seconds, at most maxParticles alive.
#pragma once

#include "engine/core/VisParticleEffectFile.h"

#include <deque>
#include <utility>

class VBASE_IMPEXP VisParticleLayer_cl {
 public:
  explicit VisParticleLayer_cl(const VisParticleEffectFile_cl::LayerDesc& desc);

  const char* GetName() const { return m_desc.name.AsChar(); }
  const VisParticleEffectFile_cl::LayerDesc& GetDescription() const { return m_desc; }

  // Emission on and off. Start restarts the emission time of a layer with a duration.
  // Particles already alive live on after Stop.
  void Start();
  void Stop() { m_bRunning = false; }
  bool IsRunning() const { return m_bRunning; }
  // True once a layer with a duration has emitted for all of it (until the next Start).
  bool IsExhausted() const { return m_bExhausted; }

  void SetEmissionIntensity(float f) { m_fIntensity = f > 0.0f ? f : 0.0f; }
  float GetEmissionIntensity() const { return m_fIntensity; }

  // A paused layer neither emits nor ages its particles.
  void SetPause(bool pause) { m_bPaused = pause; }
  bool IsPaused() const { return m_bPaused; }

  int GetNumOfParticles() const { return m_iLive; }
  // Seconds this layer has run unpaused.
  double GetTime() const { return m_time; }

  void Tick(float dt);

 private:
  VisParticleEffectFile_cl::LayerDesc m_desc;
  bool m_bRunning;
  bool m_bExhausted = false;
  bool m_bPaused = false;
  float m_fIntensity = 1.0f;
  double m_time = 0.0;
  double m_emitted = 0.0;   // seconds emitted since the last Start
  double m_fraction = 0.0;  // particles owed from earlier frames
  int m_iLive = 0;
  std::deque<std::pair<double, int>> m_batches;  // (time of death, count), oldest first
};
