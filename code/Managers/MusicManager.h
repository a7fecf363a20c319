// The game's music on two channels that cross-fade whenever the track changes: a
// random playlist with silence between tracks, a battle playlist, and one track
// each for the menu, the credits and conversations; the music volume, the
// lowering factor used while characters talk, and the music pause.
#pragma once

#include "engine/base/VCallback.h"
#include "engine/base/VHashString.h"
#include "engine/base/VRefCounter.h"
#include "util/Singleton.h"

#include <vector>

class VSoundObject;

class MusicManager : public Singleton<MusicManager>, public IVisCallbackHandler_cl {
 public:
  // Which source is playing.
  enum MusicType {
    MUSIC_NONE = 0,
    MUSIC_PLAYLIST = 1,
    MUSIC_MENU = 2,
    MUSIC_CREDITS = 3,
    MUSIC_CONVERSATION = 4,
    MUSIC_BATTLE = 5,
    MUSIC_BATTLE_ENDING = 6,
  };

  struct Track {
    VHashString m_name;
    float m_fVolume = 0.0f;
  };

  struct Channel {
    VSmartPtr<VSoundObject> m_spInstance;
    float m_fTimeLeft = 0.0f;  // until the next track is due, silence included
    VHashString m_trackName;   // empty unless current and not fading out
  };

  // Stops and lets go of both channels.
  ~MusicManager() override;

  // Cross-fades to the track on the other channel; the track already playing on the
  // current channel goes on. An empty name only fades the music out.
  void Play(const VHashString& name, float volume, float fadeIn, float fadeOut);
  bool IsMusicPlaying(const VHashString& name) const;
  // A random playlist track, never the one playing; with randomStart it starts at a
  // random point. Nothing while paused or with an empty playlist.
  void StartRandomMusic(bool randomStart);
  void PlayMenuMusic();
  void PlayCreditsMusic();
  // Lowers the music (0.25) and plays the conversation track, repeated while it lasts.
  void PlayConversationMusic();
  void EndConversationMusic();
  void PlayBattleMusic();
  // Fades the battle track out over 5 s; the playlist follows 30 s later.
  void EndBattleMusic();

  void AddMusic(const char* name, float volume);
  void AddBattleMusic(const char* name, float volume);
  void ClearMusic() { m_playlist.clear(); }
  void ClearBattleMusic() { m_battlePlaylist.clear(); }
  void SetMenuMusic(const char* name, float volume);
  void SetCreditsMusic(const char* name, float volume);
  void SetConversationMusic(const char* name, float volume);
  const VHashString& GetMenuMusic() const { return m_menuTrack.m_name; }
  const VHashString& GetCreditsMusic() const { return m_creditsTrack.m_name; }
  const VHashString& GetConversationMusic() const { return m_conversationTrack.m_name; }
  const std::vector<Track>& GetPlaylist() const { return m_playlist; }
  const std::vector<Track>& GetBattlePlaylist() const { return m_battlePlaylist; }
  void SetSilenceBetweenTracks(float seconds) { m_fSilenceBetweenTracks = seconds; }
  float GetSilenceBetweenTracks() const { return m_fSilenceBetweenTracks; }

  // Stores a new value and re-applies the volume; the same value changes nothing.
  void SetMusicVolume(float volume);
  float GetMusicVolume() const { return m_fMusicVolume; }
  // true: 0.25 while at 1.0; false: 1.0 while below; each change re-applies the volume.
  void LowerMusicVolume(bool lower);
  float GetLoweringFactor() const { return m_fLoweringFactor; }
  // Fades the playing channels to music volume x track volume x lowering factor
  // (channel 0 over 1 s, channel 1 over 2 s).
  void UpdateVolume();

  // Pauses or resumes the channels; one that fades out keeps fading.
  void SetPaused(bool paused);
  bool IsPaused() const { return m_bPaused; }
  MusicType GetMusicType() const { return m_eMusicType; }

  int GetCurrentChannelIndex() const { return m_iCurrentChannel; }
  const Channel& GetChannel(int i) const { return m_channels[i & 1]; }

  // The per-frame step: lets go of a faded-out channel, counts the current track
  // down and starts what follows it.
  void Update();
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

 private:
  friend class Singleton<MusicManager>;
  MusicManager();
  Channel& Current() { return m_channels[m_iCurrentChannel]; }
  static void ReleaseChannel(Channel& channel);

  Channel m_channels[2];
  int m_iCurrentChannel = 0;
  MusicType m_eMusicType = MUSIC_NONE;
  float m_fMusicVolume = 1.0f;
  float m_fLoweringFactor = 1.0f;
  std::vector<Track> m_playlist;
  Track m_menuTrack;
  Track m_creditsTrack;
  Track m_conversationTrack;
  std::vector<Track> m_battlePlaylist;
  bool m_bPaused = false;
  float m_fSilenceBetweenTracks = 60.0f;
};
