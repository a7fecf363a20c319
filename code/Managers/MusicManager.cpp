// The game's music: volume and pause.
#include "Managers/MusicManager.h"

MusicManager::~MusicManager() = default;

void MusicManager::SetMusicVolume(float volume) {
  if (volume == m_fMusicVolume) return;
  m_fMusicVolume = volume;
  UpdateVolume();
}

void MusicManager::UpdateVolume() {
  // No track plays yet (the channels come with the music playback): nothing to fade.
}
