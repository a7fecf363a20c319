// Sound effects and unit voices: volume factors and pause.
#include "Managers/SoundManager.h"

#include "Managers/MusicManager.h"
#include "Managers/SpeechManager.h"
#include "engine/sound/VSoundManager.h"

SoundManager::~SoundManager() = default;

void SoundManager::SetMasterVolume(float volume) {
  m_fMasterVolume = volume;
  VSoundManager::GlobalManager().SetMasterVolume(volume);
}

void SoundManager::SetFXVolume(float volume) {
  m_fFXVolume = volume;
  UpdateVolumes();
}

void SoundManager::SetMusicVolume(float volume) { MusicManager::GetInstance()->SetMusicVolume(volume); }

float SoundManager::GetMusicVolume() { return MusicManager::GetInstance()->GetMusicVolume(); }

void SoundManager::SetSpeechVolume(float volume) { SpeechManager::GetInstance()->SetSpeechVolume(volume); }

float SoundManager::GetSpeechVolume() { return SpeechManager::GetInstance()->GetSpeechVolume(); }

VSoundObject* SoundManager::PlaySFXSound(SFXTypes, float, const VisVector_cl&, float, float, bool) {
  // Effects get their sound files from the sound script, which is not read yet; an effect
  // without files plays nothing.
  return nullptr;
}

void SoundManager::UpdateVolumes() {
  // The manager keeps no sound instance yet (scene sounds and looped effects come
  // with the sound playback), so there is nothing to re-scale.
}
