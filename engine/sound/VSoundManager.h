// The sound plug-in's manager (VSoundManager::GlobalManager). Null back end for
// now: loads give null, the master volume is kept.
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/base/VisMath.h"

class VBASE_IMPEXP VSoundManager {
 public:
  static VSoundManager& GlobalManager();
  void SetMasterVolume(float v) { m_master = v < 0 ? 0 : (v > 1 ? 1 : v); }
  float GetMasterVolume() const { return m_master; }
  // True once the sound plug-in has started the manager.
  bool IsInitialized() const { return m_initialized; }
  void SetInitialized(bool on) { m_initialized = on; }
  bool AreSceneSoundsStopped() const { return m_sceneSoundsStopped; }
  void SetSceneSoundsStopped(bool on) { m_sceneSoundsStopped = on; }

 private:
  float m_master = 1.0f;
  bool m_initialized = false;
  bool m_sceneSoundsStopped = false;
};
