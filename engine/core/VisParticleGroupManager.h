// The particle system: effect files loaded once per name, and every running effect
// of the scene, advanced once per engine frame.
#pragma once

#include "engine/core/VisParticleEffect.h"

#include <string>
#include <unordered_map>
#include <vector>

class VBASE_IMPEXP VisParticleGroupManager_cl {
 public:
  static VisParticleGroupManager_cl& GlobalManager();
  ~VisParticleGroupManager_cl();

  // The effect file, read once per name (without regard to case and separators) and
  // shared; with forceUnique a fresh copy nobody shares. Null, with a warning, when
  // the file is missing or bad: no effect is made from it.
  VisParticleEffectFile_cl* LoadFromFile(const char* file, bool forceUnique = false);
  // Drops the shared files nobody else references; returns how many went.
  int PurgeUnusedFiles();

  // The running effects, in creation order. The manager holds one reference each.
  int GetEffectCount() const { return (int)m_effects.size(); }
  VisParticleEffect_cl* GetEffect(int i) const { return m_effects[i]; }
  void AddEffect(VisParticleEffect_cl* effect);

  // Engine frame: advances every effect, then takes the dead ones out (see
  // VisParticleEffect_cl::SetRemoveWhenFinished).
  void Tick(float dt);
  // Takes every effect out of the scene (the world unloads).
  void RemoveAllEffects();

 private:
  void TakeOut(VisParticleEffect_cl* effect);
  std::unordered_map<std::string, VisParticleEffectFile_cl*> m_files;  // one reference each
  std::vector<VisParticleEffect_cl*> m_effects;                      // one reference each
};
