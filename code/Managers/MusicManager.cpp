// The game's music: cross-fades between two channels, playlists and their timing.
#include "Managers/MusicManager.h"

#include "Managers/SoundManager.h"
#include "util/MathTools.h"

#include "engine/base/VisError.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"
#include "engine/os/VOs.h"
#include "engine/sound/VSoundManager.h"

#include <cmath>

namespace {

const int kPriority = 128;
// A streamed sound that the game keeps and that is no scene sound.
const int kTrackResourceFlags = VSOUNDRES_STREAM;
const int kTrackInstanceFlags = 0x70;
const float kFadeIn = 2.0f;
const float kFadeOut = 0.5f;
const float kLowered = 0.25f;
const float kBattleFadeBack = 1.0f;
const float kBattleFadeOut = 5.0f;
const float kBattleAfterglow = 30.0f;
// Draws of another playlist track before taking the next one (a fixed random
// source never changes its draw).
const int kRedrawLimit = 32;

}  // namespace

MusicManager::MusicManager() { Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this); }

MusicManager::~MusicManager() {
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  for (Channel& c : m_channels) ReleaseChannel(c);
  m_battlePlaylist.clear();
  m_conversationTrack = Track();
  m_creditsTrack = Track();
  m_menuTrack = Track();
  m_playlist.clear();
}

void MusicManager::ReleaseChannel(Channel& channel) {
  if (channel.m_spInstance) channel.m_spInstance->Stop();
  channel.m_spInstance = nullptr;
  channel.m_trackName = VHashString();
  channel.m_fTimeLeft = 0.0f;
}

void MusicManager::Play(const VHashString& name, float volume, float fadeIn, float fadeOut) {
  Channel& cur = Current();
  if (cur.m_trackName == name && cur.m_spInstance && cur.m_spInstance->IsPlaying()) return;

  // The name may belong to a channel about to be cleared.
  const VHashString track = name;
  Channel& left = cur;
  m_iCurrentChannel ^= 1;
  if (left.m_spInstance) left.m_spInstance->FadeOut(fadeOut);
  left.m_trackName = VHashString();

  Channel& next = Current();
  ReleaseChannel(next);
  if (track.IsEmpty()) return;

  next.m_spInstance = VSoundManager::GlobalManager().CreateSoundInstance(track.AsChar(), kTrackResourceFlags,
                                                                          kTrackInstanceFlags, kPriority);
  if (VSoundObject* obj = next.m_spInstance) {
    next.m_trackName = track;
    const float target = m_fMusicVolume * volume * m_fLoweringFactor;
    if (fadeIn > 0.0f)
      obj->FadeFromTo(0.0f, target, fadeIn);
    else
      obj->SetVolume(target);
    obj->SetUserValue(volume);
    next.m_fTimeLeft = obj->GetLength() + m_fSilenceBetweenTracks;
  }
  Vision::Error.SystemMessage("MusicManager::Play() Now playing: %s", track.AsChar());
}

bool MusicManager::IsMusicPlaying(const VHashString& name) const {
  const Channel& cur = m_channels[m_iCurrentChannel];
  return cur.m_spInstance && cur.m_trackName == name && cur.m_spInstance->IsPlaying();
}

void MusicManager::StartRandomMusic(bool randomStart) {
  if (m_playlist.empty() || m_bPaused) return;
  const int n = (int)m_playlist.size();
  auto isPlaying = [this](int i) {
    const Channel& cur = Current();
    return cur.m_spInstance && cur.m_trackName == m_playlist[i].m_name && cur.m_spInstance->IsPlaying();
  };
  int i = MathTools::SoundRandomInt(n);
  if (n > 1) {
    for (int draws = 1; isPlaying(i) && draws < kRedrawLimit; ++draws) i = MathTools::SoundRandomInt(n);
    if (isPlaying(i)) i = (i + 1) % n;
  }
  const Track track = m_playlist[i];
  Play(track.m_name, track.m_fVolume, kFadeIn, kFadeOut);

  Channel& cur = Current();
  if (randomStart && cur.m_spInstance) {
    // A uniform point in [0, length): the draw never reaches the end of the track.
    const float length = cur.m_spInstance->GetLength();
    const float r = MathTools::SoundRandomUnit() * length;
    cur.m_fTimeLeft = (length - r) + m_fSilenceBetweenTracks;
    cur.m_spInstance->SetPlayPosition(std::round(r * 1000.0f) / 1000.0f);
  }
  m_eMusicType = MUSIC_PLAYLIST;
}

void MusicManager::PlayMenuMusic() {
  Play(m_menuTrack.m_name, m_menuTrack.m_fVolume, kFadeIn, kFadeOut);
  Channel& cur = Current();
  if (cur.m_spInstance) cur.m_fTimeLeft = cur.m_spInstance->GetLength();
  m_eMusicType = MUSIC_MENU;
}

void MusicManager::PlayCreditsMusic() {
  Play(m_creditsTrack.m_name, m_creditsTrack.m_fVolume, kFadeIn, kFadeOut);
  m_eMusicType = MUSIC_CREDITS;
}

void MusicManager::PlayConversationMusic() {
  LowerMusicVolume(true);
  Play(m_conversationTrack.m_name, m_conversationTrack.m_fVolume, kFadeIn, kFadeOut);
  m_eMusicType = MUSIC_CONVERSATION;
  Channel& cur = Current();
  if (cur.m_spInstance) cur.m_fTimeLeft = cur.m_spInstance->GetLength();
}

void MusicManager::EndConversationMusic() {
  LowerMusicVolume(false);
  StartRandomMusic(true);
  // Nothing to follow (no playlist, or paused): the conversation's track still ends
  // with the conversation instead of repeating on, and the music stays silent.
  if (m_eMusicType == MUSIC_CONVERSATION) {
    Play(VHashString(), 0.0f, 0.0f, kFadeOut);
    m_eMusicType = MUSIC_PLAYLIST;
  }
}

void MusicManager::PlayBattleMusic() {
  if (m_battlePlaylist.empty()) return;
  Channel& cur = Current();
  if (m_eMusicType == MUSIC_BATTLE && cur.m_fTimeLeft > 0.0f && cur.m_spInstance) {
    VSoundObject* obj = cur.m_spInstance;
    if (obj->IsFadingIn()) return;
    if (!obj->IsFadingOut() && !(obj->GetStateFlags() & VSOUND_FADED_OUT)) return;
    // The battle track was on its way out: back to its full (lowered) volume.
    obj->FadeTo(m_fMusicVolume * SoundManager::GetBaseVolume(obj) * m_fLoweringFactor, kBattleFadeBack);
    cur.m_fTimeLeft = obj->GetLength() - obj->GetPlayPosition();
    return;
  }
  const Track track = m_battlePlaylist[MathTools::SoundRandomInt((int)m_battlePlaylist.size())];
  Play(track.m_name, track.m_fVolume, kFadeIn, kFadeOut);
  Channel& now = Current();
  if (now.m_spInstance) now.m_fTimeLeft = now.m_spInstance->GetLength();
  m_eMusicType = MUSIC_BATTLE;
}

void MusicManager::EndBattleMusic() {
  if (m_eMusicType != MUSIC_BATTLE) return;
  Channel& cur = Current();
  if (cur.m_spInstance && cur.m_spInstance->IsPlaying()) {
    cur.m_spInstance->FadeOut(kBattleFadeOut);
    cur.m_fTimeLeft = kBattleAfterglow;
  }
  m_eMusicType = MUSIC_BATTLE_ENDING;
}

void MusicManager::AddMusic(const char* name, float volume) { m_playlist.push_back(Track{VHashString(name), volume}); }

void MusicManager::AddBattleMusic(const char* name, float volume) {
  m_battlePlaylist.push_back(Track{VHashString(name), volume});
}

void MusicManager::SetMenuMusic(const char* name, float volume) { m_menuTrack = Track{VHashString(name), volume}; }

void MusicManager::SetCreditsMusic(const char* name, float volume) {
  m_creditsTrack = Track{VHashString(name), volume};
}

void MusicManager::SetConversationMusic(const char* name, float volume) {
  m_conversationTrack = Track{VHashString(name), volume};
}

void MusicManager::SetMusicVolume(float volume) {
  if (volume == m_fMusicVolume) return;
  m_fMusicVolume = volume;
  UpdateVolume();
}

void MusicManager::LowerMusicVolume(bool lower) {
  if (lower && m_fLoweringFactor == 1.0f) {
    m_fLoweringFactor = kLowered;
    UpdateVolume();
  } else if (!lower && m_fLoweringFactor < 1.0f) {
    m_fLoweringFactor = 1.0f;
    UpdateVolume();
  }
}

void MusicManager::UpdateVolume() {
  for (int i = 0; i < 2; ++i) {
    Channel& c = m_channels[i];
    if (!c.m_spInstance || c.m_trackName.IsEmpty()) continue;
    const float base = SoundManager::GetBaseVolume(c.m_spInstance);
    c.m_spInstance->FadeTo(m_fMusicVolume * base * m_fLoweringFactor, i == 0 ? 1.0f : 2.0f);
  }
}

void MusicManager::SetPaused(bool paused) {
  m_bPaused = paused;
  for (Channel& c : m_channels)
    if (c.m_spInstance && !c.m_spInstance->IsFadingOut()) c.m_spInstance->SetPaused(paused);
}

void MusicManager::Update() {
  Channel& other = m_channels[m_iCurrentChannel ^ 1];
  if (other.m_spInstance && other.m_trackName.IsEmpty() &&
      ((other.m_spInstance->GetStateFlags() & VSOUND_FADED_OUT) || !other.m_spInstance->IsPlaying()))
    ReleaseChannel(other);

  Channel& cur = Current();
  if (cur.m_fTimeLeft > 0.0f) {
    cur.m_fTimeLeft -= Vision::Timer.GetTimeDifference();
    if (cur.m_fTimeLeft <= 0.0f) cur.m_fTimeLeft = 0.0f;
  }
  if (cur.m_fTimeLeft != 0.0f) return;

  switch (m_eMusicType) {
    case MUSIC_CONVERSATION:
      PlayConversationMusic();
      break;
    case MUSIC_BATTLE:
      PlayBattleMusic();
      break;
    case MUSIC_BATTLE_ENDING:
      ReleaseChannel(cur);
      StartRandomMusic(false);
      break;
    default:
      StartRandomMusic(false);
      break;
  }
}

void MusicManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update();
}
