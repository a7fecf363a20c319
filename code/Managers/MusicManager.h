// The game's music: two cross-fading channels, the music volume and the
// lowering factor used while characters talk, and the music pause.
#pragma once

#include "util/Singleton.h"

class MusicManager : public Singleton<MusicManager> {
 public:
  virtual ~MusicManager();

  // Stores a new value and re-applies the volume; the same value changes nothing.
  void SetMusicVolume(float volume);
  float GetMusicVolume() const { return m_fMusicVolume; }
  float GetLoweringFactor() const { return m_fLoweringFactor; }
  // Fades the playing channels to music volume x track volume x lowering factor.
  void UpdateVolume();

  void SetPaused(bool paused) { m_bPaused = paused; }
  bool IsPaused() const { return m_bPaused; }

 private:
  friend class Singleton<MusicManager>;
  MusicManager() = default;

  float m_fMusicVolume = 1.0f;
  float m_fLoweringFactor = 1.0f;
  bool m_bPaused = false;
};
