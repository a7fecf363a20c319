// MusicManager: cross-fades on two channels, volumes and lowering, the playlist's
// timing and random start, battle, conversation and menu music, pause.
#include "AudioFixture.h"

#include <cmath>

namespace {

const char* const kTrackA = "music\\track_a.wav";  // 1.0 s
const char* const kTrackB = "music\\track_b.wav";  // 0.75 s
const char* const kBattle = "music\\battle.wav";   // 0.5 s
const char* const kTalk = "music\\conversation.wav";  // 0.5 s
const char* const kMenu = "music\\menu.wav";       // 1.0 s

class MusicManagerTest : public AudioFixture {
 protected:
  MusicManager* Music() { return MusicManager::GetInstance(); }
  const MusicManager::Channel& Cur() { return Music()->GetChannel(Music()->GetCurrentChannelIndex()); }
  const MusicManager::Channel& Other() { return Music()->GetChannel(Music()->GetCurrentChannelIndex() ^ 1); }
  VSoundObject* CurSound() { return Cur().m_spInstance.GetPtr(); }
  std::string CurTrack() { return Cur().m_trackName.AsChar(); }
  size_t Plays() const { return log.Matching("MusicManager::Play() Now playing: ").size(); }

  LogCapture log;
};

TEST_F(MusicManagerTest, PlayCrossFadesOnTheOtherChannel) {
  Music()->Play(kTrackA, 0.8f, 2.0f, 0.5f);
  EXPECT_EQ(Music()->GetCurrentChannelIndex(), 1);
  VSmartPtr<VSoundObject> a = CurSound();
  ASSERT_TRUE(a);
  EXPECT_TRUE(log.Contains("MusicManager::Play() Now playing: music\\track_a.wav"));
  EXPECT_TRUE(a->IsFadingIn());
  EXPECT_FLOAT_EQ(a->GetVolume(), 0.0f);
  EXPECT_FLOAT_EQ(a->GetFadeTargetVolume(), 0.8f);
  EXPECT_FLOAT_EQ(a->GetFadeDuration(), 2.0f);
  EXPECT_FLOAT_EQ(a->GetUserValue(), 0.8f);
  EXPECT_FLOAT_EQ(Cur().m_fTimeLeft, 1.0f + 60.0f);
  EXPECT_TRUE(Music()->IsMusicPlaying(kTrackA));

  // The same track again changes nothing.
  SoundTestEnvironment::Frame(0.25f);
  Music()->Play(kTrackA, 0.8f, 2.0f, 0.5f);
  EXPECT_EQ(CurSound(), a.GetPtr());
  EXPECT_EQ(Plays(), 1u);
  EXPECT_FLOAT_EQ(a->GetVolume(), 0.1f);

  // Another track: the old one fades out over fadeOut while the new one fades in.
  Music()->Play(kTrackB, 1.0f, 2.0f, 0.5f);
  EXPECT_EQ(Music()->GetCurrentChannelIndex(), 0);
  EXPECT_EQ(Other().m_spInstance.GetPtr(), a.GetPtr());
  EXPECT_TRUE(Other().m_trackName.IsEmpty());
  EXPECT_TRUE(a->IsFadingOut());
  EXPECT_FLOAT_EQ(a->GetFadeDuration(), 0.5f);
  EXPECT_TRUE(CurSound()->IsFadingIn());
  SoundTestEnvironment::Frame(0.25f);
  EXPECT_TRUE(Other().m_spInstance) << "still fading out";
  SoundTestEnvironment::Frame(0.25f);
  EXPECT_FALSE(a->IsPlaying());
  EXPECT_FALSE(Other().m_spInstance) << "let go once faded out";

  // No name: the music fades out and both channels are nameless.
  const size_t plays = Plays();
  VSmartPtr<VSoundObject> b = CurSound();
  Music()->Play(VHashString(), 1.0f, 2.0f, 0.5f);
  EXPECT_TRUE(b->IsFadingOut());
  EXPECT_TRUE(Cur().m_trackName.IsEmpty());
  EXPECT_TRUE(Other().m_trackName.IsEmpty());
  EXPECT_FALSE(CurSound());
  EXPECT_EQ(Plays(), plays);
}

TEST_F(MusicManagerTest, VolumeIsMusicTimesTrackTimesLowering) {
  Music()->SetMusicVolume(0.5f);
  Music()->Play(kTrackA, 0.8f, 0.0f, 0.5f);  // no fade-in: set at once
  VSmartPtr<VSoundObject> a = CurSound();
  EXPECT_FLOAT_EQ(a->GetVolume(), 0.4f);
  EXPECT_FALSE(a->IsFading());

  // Neither the same music volume nor lifting what is up fades anything.
  Music()->SetMusicVolume(0.5f);
  Music()->LowerMusicVolume(false);
  EXPECT_FALSE(a->IsFading());
  Music()->LowerMusicVolume(true);
  Music()->LowerMusicVolume(true);
  EXPECT_FLOAT_EQ(Music()->GetLoweringFactor(), 0.25f);
  EXPECT_FLOAT_EQ(a->GetFadeTargetVolume(), 0.5f * 0.8f * 0.25f);
  EXPECT_FLOAT_EQ(a->GetFadeDuration(), 2.0f) << "channel 1 fades over 2 s";
  SoundTestEnvironment::Frames(2, 0.25f);
  EXPECT_FLOAT_EQ(a->GetVolume(), 0.4f - 0.3f * 0.25f);

  Music()->Play(kTrackB, 1.0f, 0.0f, 0.5f);
  VSmartPtr<VSoundObject> b = CurSound();
  EXPECT_FLOAT_EQ(b->GetVolume(), 0.5f * 1.0f * 0.25f);
  Music()->SetMusicVolume(1.0f);
  EXPECT_FLOAT_EQ(b->GetFadeTargetVolume(), 0.25f);
  EXPECT_FLOAT_EQ(b->GetFadeDuration(), 1.0f) << "channel 0 fades over 1 s";
  EXPECT_TRUE(a->IsFadingOut()) << "a channel on its way out is left alone";
  Music()->LowerMusicVolume(false);
  EXPECT_FLOAT_EQ(Music()->GetLoweringFactor(), 1.0f);
  EXPECT_FLOAT_EQ(b->GetFadeTargetVolume(), 1.0f);
}

TEST_F(MusicManagerTest, PlaylistTracksFollowAfterTheSilence) {
  Music()->AddMusic(kTrackA, 1.0f);
  EXPECT_FLOAT_EQ(Music()->GetSilenceBetweenTracks(), 60.0f);
  Music()->StartRandomMusic(false);
  EXPECT_EQ(Music()->GetMusicType(), MusicManager::MUSIC_PLAYLIST);
  VSmartPtr<VSoundObject> first = CurSound();
  ASSERT_TRUE(first);
  SoundTestEnvironment::Frames(4, 0.25f);
  EXPECT_FALSE(first->IsPlaying()) << "the track is over, the silence begins";
  SoundTestEnvironment::Frames(239, 0.25f);  // 60.75 s
  EXPECT_EQ(Plays(), 1u);
  SoundTestEnvironment::Frame(0.25f);  // 61 s: 1 s of track and 60 s of silence
  EXPECT_EQ(Plays(), 2u);
  EXPECT_NE(CurSound(), first.GetPtr());
  EXPECT_TRUE(CurSound()->IsPlaying());
}

TEST_F(MusicManagerTest, ARandomStartLiesWithinTheTrack) {
  Music()->AddMusic(kTrackA, 1.0f);
  Music()->AddMusic(kTrackB, 1.0f);
  for (int i = 0; i < 200; ++i) {
    Music()->StartRandomMusic(true);
    VSoundObject* s = CurSound();
    ASSERT_TRUE(s);
    const float length = s->GetLength(), start = s->GetPlayPosition();
    ASSERT_GE(start, 0.0f);
    ASSERT_LT(start, length);
    // Time left: the rest of the track and the silence (the position is in whole ms).
    ASSERT_NEAR(Cur().m_fTimeLeft, length - start + 60.0f, 0.001f);
    ASSERT_GT(Cur().m_fTimeLeft, 60.0f);
  }
}

TEST_F(MusicManagerTest, RandomMusicNeverRestartsThePlayingTrack) {
  Music()->StartRandomMusic(false);
  EXPECT_EQ(Music()->GetMusicType(), MusicManager::MUSIC_NONE) << "empty playlist: nothing";
  for (const char* t : {kTrackA, kTrackB, kMenu}) Music()->AddMusic(t, 1.0f);
  for (bool fixed : {false, true}) {
    MathTools::SetUseFixedRandom(fixed);  // fixed: every draw gives the first track
    std::string last = CurTrack();
    for (int i = 0; i < 30; ++i) {
      Music()->StartRandomMusic(false);
      ASSERT_NE(CurTrack(), last) << "fixed " << fixed << " call " << i;
      last = CurTrack();
    }
  }
}

TEST_F(MusicManagerTest, BattleMusicRepeatsEndsAndFadesBackLowered) {
  Music()->AddMusic(kTrackA, 1.0f);
  Music()->AddBattleMusic(kBattle, 0.8f);
  Music()->EndBattleMusic();
  EXPECT_EQ(Music()->GetMusicType(), MusicManager::MUSIC_NONE) << "no battle: nothing";

  Music()->PlayBattleMusic();
  EXPECT_EQ(Music()->GetMusicType(), MusicManager::MUSIC_BATTLE);
  EXPECT_FLOAT_EQ(Cur().m_fTimeLeft, 0.5f) << "battle tracks have no silence";
  Music()->PlayBattleMusic();
  EXPECT_EQ(Plays(), 1u) << "a running battle track goes on";
  SoundTestEnvironment::Frames(2, 0.25f);
  EXPECT_EQ(Plays(), 2u) << "the next battle track follows at once";

  // On its way out while the battle goes on: faded back, the lowering applied.
  Music()->LowerMusicVolume(true);
  VSmartPtr<VSoundObject> battle = CurSound();
  battle->FadeOut(1.0f);
  SoundTestEnvironment::Frame(0.25f);
  Music()->PlayBattleMusic();
  EXPECT_EQ(CurSound(), battle.GetPtr());
  EXPECT_FALSE(battle->IsFadingOut());
  EXPECT_FLOAT_EQ(battle->GetFadeTargetVolume(), 1.0f * 0.8f * 0.25f);
  EXPECT_FLOAT_EQ(battle->GetFadeDuration(), 1.0f);
  EXPECT_FLOAT_EQ(Cur().m_fTimeLeft, 0.5f - 0.25f);

  // The end: a 5 s fade-out, and the playlist 30 s later.
  Music()->EndBattleMusic();
  EXPECT_EQ(Music()->GetMusicType(), MusicManager::MUSIC_BATTLE_ENDING);
  EXPECT_TRUE(battle->IsFadingOut());
  EXPECT_FLOAT_EQ(battle->GetFadeDuration(), 5.0f);
  EXPECT_FLOAT_EQ(Cur().m_fTimeLeft, 30.0f);
  SoundTestEnvironment::Frames(119, 0.25f);
  EXPECT_EQ(Music()->GetMusicType(), MusicManager::MUSIC_BATTLE_ENDING);
  SoundTestEnvironment::Frame(0.25f);
  EXPECT_EQ(Music()->GetMusicType(), MusicManager::MUSIC_PLAYLIST);
  EXPECT_EQ(CurTrack(), kTrackA);
}

TEST_F(MusicManagerTest, ConversationMusicIsLoweredAndRepeats) {
  Music()->AddMusic(kTrackA, 1.0f);
  Music()->SetConversationMusic(kTalk, 0.8f);
  EXPECT_STREQ(Music()->GetConversationMusic().AsChar(), kTalk);
  Music()->PlayConversationMusic();
  EXPECT_EQ(Music()->GetMusicType(), MusicManager::MUSIC_CONVERSATION);
  EXPECT_FLOAT_EQ(Music()->GetLoweringFactor(), 0.25f);
  EXPECT_FLOAT_EQ(CurSound()->GetFadeTargetVolume(), 0.8f * 0.25f);
  EXPECT_FLOAT_EQ(Cur().m_fTimeLeft, 0.5f);
  SoundTestEnvironment::Frames(2, 0.25f);
  EXPECT_EQ(Plays(), 2u) << "the track starts again";
  EXPECT_EQ(CurTrack(), kTalk);

  Music()->EndConversationMusic();
  EXPECT_FLOAT_EQ(Music()->GetLoweringFactor(), 1.0f);
  EXPECT_EQ(Music()->GetMusicType(), MusicManager::MUSIC_PLAYLIST);
  EXPECT_EQ(CurTrack(), kTrackA);
}

TEST_F(MusicManagerTest, WithoutAPlaylistTheConversationTrackEndsWithTheConversation) {
  // As after the main menu, which empties the playlist.
  Music()->SetConversationMusic(kTalk, 0.8f);
  Music()->PlayConversationMusic();
  VSmartPtr<VSoundObject> talk = CurSound();
  ASSERT_TRUE(talk);
  Music()->EndConversationMusic();
  EXPECT_NE(Music()->GetMusicType(), MusicManager::MUSIC_CONVERSATION);
  EXPECT_EQ(CurTrack(), "");
  EXPECT_TRUE(talk->IsFadingOut());
  const size_t plays = Plays();
  SoundTestEnvironment::Frames(8, 0.25f);
  EXPECT_EQ(Plays(), plays) << "the conversation track does not start again";
  EXPECT_FLOAT_EQ(Music()->GetLoweringFactor(), 1.0f);
}

TEST_F(MusicManagerTest, TheMenuTrackIsFollowedByThePlaylistAtOnce) {
  Music()->AddMusic(kTrackB, 1.0f);
  Music()->SetMenuMusic(kMenu, 1.0f);
  Music()->PlayMenuMusic();
  EXPECT_EQ(Music()->GetMusicType(), MusicManager::MUSIC_MENU);
  EXPECT_FLOAT_EQ(Cur().m_fTimeLeft, 1.0f);
  SoundTestEnvironment::Frames(4, 0.25f);
  EXPECT_EQ(Music()->GetMusicType(), MusicManager::MUSIC_PLAYLIST);
  EXPECT_EQ(CurTrack(), kTrackB);

  // A track that does not open: logged all the same, and the playlist steps in.
  Music()->SetMenuMusic("music\\missing.wav", 1.0f);
  Music()->PlayMenuMusic();
  EXPECT_TRUE(log.Contains("MusicManager::Play() Now playing: music\\missing.wav"));
  EXPECT_FALSE(CurSound());
  EXPECT_FLOAT_EQ(Cur().m_fTimeLeft, 0.0f);
  SoundTestEnvironment::Frame(0.25f);
  EXPECT_EQ(CurTrack(), kTrackB);
}

TEST_F(MusicManagerTest, PauseLeavesAFadingChannelFadingAndStopsRandomMusic) {
  Music()->AddMusic(kTrackA, 1.0f);
  Music()->Play(kTrackA, 1.0f, 2.0f, 0.5f);
  VSmartPtr<VSoundObject> a = CurSound();
  Music()->Play(kTrackB, 1.0f, 2.0f, 0.5f);
  VSmartPtr<VSoundObject> b = CurSound();
  Music()->SetPaused(true);
  EXPECT_TRUE(Music()->IsPaused());
  EXPECT_TRUE(b->IsPaused());
  EXPECT_FALSE(a->IsPaused());
  SoundTestEnvironment::Frames(2, 0.25f);
  EXPECT_FALSE(a->IsPlaying()) << "kept fading to its end";
  EXPECT_FLOAT_EQ(b->GetPlayPosition(), 0.0f);

  const size_t plays = Plays();
  Music()->StartRandomMusic(false);
  EXPECT_EQ(Plays(), plays);
  Music()->SetPaused(false);
  EXPECT_FALSE(b->IsPaused());
}

}  // namespace
