// The "SoundManager" script table: its enumerations, the defaults of optional
// arguments, the argument errors, and the bundled sound scripts.
#include "support/ScriptBindingFixture.h"

#include "Managers/MusicManager.h"
#include "Managers/SoundManager.h"
#include "Managers/SpeechManager.h"

#include "engine/sound/VSoundManager.h"

#include <gmock/gmock.h>

using ::testing::HasSubstr;

namespace {

class SoundManagerBindingsTest : public ScriptBindingFixture {
 protected:
  void SetUp() override {
    ScriptBindingFixture::SetUp();
    ASSERT_TRUE(Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data"));
    VSoundManager::GlobalManager().SetInitialized(true);
  }
  void TearDown() override {
    SoundManager::CleanInstance();
    MusicManager::CleanInstance();
    SpeechManager::CleanInstance();
    VSoundManager::GlobalManager().SetInitialized(false);
    ScriptBindingFixture::TearDown();
  }
  // The sound the last play made (scripts get its proxy).
  static VSoundObject* LastSound() {
    VSoundManager& m = VSoundManager::GlobalManager();
    return m.GetInstanceCount() ? m.GetInstance(m.GetInstanceCount() - 1) : nullptr;
  }
  SoundManager* Sound() { return SoundManager::GetInstance(); }
  MusicManager* Music() { return MusicManager::GetInstance(); }
};

TEST_F(SoundManagerBindingsTest, GetEnumsGivesBothEnumerationsInOneNewTable) {
  EXPECT_EQ(Number("(function() local n = 0 for _ in pairs(SoundManager) do n = n + 1 end return n end)()"), 17);
  ASSERT_EQ(Run("e = SoundManager.GetEnums()\nf = SoundManager.GetEnums()"), "");
  EXPECT_EQ(Number("(function() local n = 0 for _ in pairs(e) do n = n + 1 end return n end)()"), 77);
  struct Case {
    const char* name;
    int value;
  } cases[] = {{"SOUND_NONE", 0},          {"SOUND_ATTACK", 5},          {"SOUND_WEAPON_4", 13},
               {"SOUND_SFX_NONE", 0},      {"SOUND_SFX_SHOOT_ROCKET", 5}, {"SOUND_SFX_INTERFACE_CLICK", 11},
               {"SOUND_SFX_KRAKEN_IDLE", 41}, {"SOUND_SFX_USE_GROG_WOMAN", 62}};
  for (const Case& c : cases) {
    EXPECT_EQ(Number(std::string("e.") + c.name), c.value) << c.name;
    EXPECT_EQ(Number(c.name), c.value) << c.name << " as a global";
  }
  // Two calls, two tables.
  ASSERT_EQ(Run("e.SOUND_DEATH = 99"), "");
  EXPECT_EQ(Number("f.SOUND_DEATH"), 8);
}

TEST_F(SoundManagerBindingsTest, DefinitionsAndPlaysUseTheirDefaults) {
  // AddSFXSound(effect, file): 2D, not looped, never limited.
  ASSERT_EQ(Run("SoundManager.AddSFXSound(11, 'sounds\\\\click.wav')"), "");
  EXPECT_TRUE(Bool("SoundManager.PlaySFXSound(11) ~= nil and SoundManager.PlaySFXSound(11) ~= nil"));
  ASSERT_NE(LastSound(), nullptr);
  EXPECT_FALSE(LastSound()->Is3D());
  EXPECT_FALSE(LastSound()->IsLooped());
  EXPECT_FLOAT_EQ(LastSound()->GetVolume(), 1.0f);

  // PlaySFXSound(effect, volume, position, near, far) on a positional effect.
  ASSERT_EQ(Run("SoundManager.AddSFXSound(47, 'sounds\\\\cannon_01.wav', false, true, 5.0)"), "");
  ASSERT_EQ(Run("s = SoundManager.PlaySFXSound(47, 0.5, Vector(1, 2, 3), 5, 50)"), "");
  VSoundObject* boom = LastSound();
  ASSERT_NE(boom, nullptr);
  EXPECT_TRUE(Bool("s ~= nil"));
  EXPECT_FLOAT_EQ(boom->GetVolume(), 0.5f);
  EXPECT_EQ(boom->GetPosition(), VisVector_cl(1, 2, 3));
  EXPECT_FLOAT_EQ(boom->Get3DFadeNear(), 5.0f);
  EXPECT_FLOAT_EQ(boom->Get3DFadeFar(), 50.0f);
  EXPECT_TRUE(boom->IsLooped());
  EXPECT_TRUE(Bool("SoundManager.PlaySFXSound(47) == nil")) << "within its 5 s";
  // StopSFXSound always fades.
  ASSERT_EQ(Run("SoundManager.StopSFXSound(47)"), "");
  EXPECT_TRUE(boom->IsFadingOut());
  EXPECT_FLOAT_EQ(boom->GetFadeDuration(), 1.0f);

  // AddSound(unit, sound, file): positional; PlaySound at 400 far, 0 near.
  ASSERT_EQ(Run("SoundManager.AddSound(6, 9, 'sounds\\\\cannon_02.wav')"), "");
  EXPECT_EQ(Sound()->GetPoolSize(PIRATE_HERO, SOUND_WEAPON_0), 1u);
  EXPECT_TRUE(Bool("SoundManager.PlaySound(6, 9) ~= nil"));
  EXPECT_TRUE(LastSound()->Is3D());
  EXPECT_FLOAT_EQ(LastSound()->Get3DFadeFar(), 400.0f);
  EXPECT_FLOAT_EQ(LastSound()->Get3DFadeNear(), 0.0f);
  // Nothing played: no result at all.
  EXPECT_EQ(Number("select('#', SoundManager.PlaySound(6, 4))"), 0);
  EXPECT_EQ(Number("select('#', SoundManager.PlaySFXSound(30))"), 0);
}

TEST_F(SoundManagerBindingsTest, MusicEntriesFillThePlaylistsAndPlay) {
  ASSERT_EQ(Run("SoundManager.AddMusic('music\\\\track_a.wav')\n"
                "SoundManager.AddMusic('music\\\\track_a.wav', 0.5)\n"
                "SoundManager.AddBattleMusic('music\\\\battle.wav')\n"
                "SoundManager.SetMenuMusic('music\\\\menu.wav')\n"
                "SoundManager.SetCreditsMusic('music\\\\credits.wav', 0.7)\n"
                "SoundManager.SetConversationMusic('music\\\\conversation.wav')\n"
                "SoundManager.SetSilenceBetweenTracks(5)"),
            "");
  ASSERT_EQ(Music()->GetPlaylist().size(), 2u) << "duplicates are kept";
  EXPECT_FLOAT_EQ(Music()->GetPlaylist()[0].m_fVolume, 1.0f);
  EXPECT_FLOAT_EQ(Music()->GetPlaylist()[1].m_fVolume, 0.5f);
  EXPECT_EQ(Music()->GetBattlePlaylist().size(), 1u);
  EXPECT_STREQ(Music()->GetMenuMusic().AsChar(), "music\\menu.wav");
  EXPECT_STREQ(Music()->GetCreditsMusic().AsChar(), "music\\credits.wav");
  EXPECT_STREQ(Music()->GetConversationMusic().AsChar(), "music\\conversation.wav");
  EXPECT_FLOAT_EQ(Music()->GetSilenceBetweenTracks(), 5.0f);

  // PlayMusic(name): volume 1.0 at once, the old track out over 0.5 s.
  ASSERT_EQ(Run("SoundManager.StartRandomMusic()"), "");
  EXPECT_EQ(Music()->GetMusicType(), MusicManager::MUSIC_PLAYLIST);
  VSmartPtr<VSoundObject> old = Music()->GetChannel(Music()->GetCurrentChannelIndex()).m_spInstance;
  ASSERT_EQ(Run("SoundManager.PlayMusic('music\\\\menu.wav')"), "");
  const MusicManager::Channel& cur = Music()->GetChannel(Music()->GetCurrentChannelIndex());
  EXPECT_STREQ(cur.m_trackName.AsChar(), "music\\menu.wav");
  EXPECT_FLOAT_EQ(cur.m_spInstance->GetVolume(), 1.0f);
  EXPECT_FALSE(cur.m_spInstance->IsFading());
  EXPECT_TRUE(old->IsFadingOut());
  EXPECT_FLOAT_EQ(old->GetFadeDuration(), 0.5f);

  ASSERT_EQ(Run("SoundManager.PauseMusic(true)"), "");
  EXPECT_TRUE(Music()->IsPaused());
  ASSERT_EQ(Run("SoundManager.ClearMusic()\nSoundManager.ClearBattleMusic()"), "");
  EXPECT_TRUE(Music()->GetPlaylist().empty());
  EXPECT_TRUE(Music()->GetBattlePlaylist().empty());
}

TEST_F(SoundManagerBindingsTest, MissingOrWrongArgumentsRaiseTheirErrorsAndChangeNothing) {
  struct Case {
    const char* code;
    int number;
    const char* function;
    const char* message;
  } cases[] = {
      {"SoundManager.AddSound()", 2, "AddSound", "Expected int"},
      {"SoundManager.AddSound(6, 'x', 'sounds\\\\click.wav')", 3, "AddSound", "Expected int"},
      {"SoundManager.AddSound(6, 2)", 4, "AddSound", "Expected const char*"},
      {"SoundManager.PlaySound(6)", 3, "PlaySound", "Expected int"},
      {"SoundManager.AddSFXSound(11)", 3, "AddSFXSound", "Expected const char*"},
      {"SoundManager.PlaySFXSound('x')", 2, "PlaySFXSound", "Expected int"},
      {"SoundManager.StopSFXSound()", 2, "StopSFXSound", "Expected int"},
      {"SoundManager.SetMenuMusic(3)", 2, "SetMenuMusic", "Expected const char*"},
      {"SoundManager.AddMusic()", 2, "AddMusic", "Expected const char*"},
      {"SoundManager.PlayMusic(nil, 1.0)", 2, "PlayMusic", "Expected const char*"},
      {"SoundManager.SetSilenceBetweenTracks('long')", 2, "SetSilenceBetweenTracks", "Expected float"},
      {"SoundManager.PauseMusic(1)", 2, "PauseMusic", "Expected bool"},
  };
  for (const Case& c : cases)
    EXPECT_THAT(Run(c.code), HasSubstr(ArgError(c.number, c.function, c.message))) << c.code;
  EXPECT_EQ(Sound()->GetPoolSize(PIRATE_HERO, SOUND_ORDER), 0u);
  EXPECT_TRUE(Music()->GetPlaylist().empty());
  EXPECT_FLOAT_EQ(Music()->GetSilenceBetweenTracks(), 60.0f);
  EXPECT_FALSE(Music()->IsPaused());
}

TEST_F(SoundManagerBindingsTest, TheBundledSoundScriptsDefineEverySoundTheyName) {
  ASSERT_EQ(Run("GameManager.LoadScript('\\\\Scripts\\\\SoundScript.lua')\n"
                "GameManager.LoadScript('\\\\Scripts\\\\SFXSoundInitScript.lua')"),
            "");
  EXPECT_FALSE(log.Contains("Lua error"));
  EXPECT_FALSE(log.Contains("cannot be read"));
  EXPECT_EQ(Sound()->GetPoolSize(PLAYER_HERO, SOUND_ORDER), 3u);
  EXPECT_EQ(Sound()->GetPoolSize(PIRATE_CANNONEER, SOUND_WEAPON_0), 2u);
  // The options screen's effects test sound.
  EXPECT_EQ(Sound()->GetPoolSize(WEAPON, SOUND_WEAPON_1), 1u);
  // The radar's attack alert of a hero's or a plain unit.
  for (UnitType unit : {PLAYER_HERO, PIRATE_HERO, PIRATE_SCALLYWAG})
    EXPECT_EQ(Sound()->GetPoolSize(unit, SOUND_UNDER_ATTACK), 1u) << unit;
  EXPECT_EQ(Music()->GetPlaylist().size(), 2u);
  EXPECT_FALSE(Music()->GetMenuMusic().IsEmpty());

  // Every sound named plays.
  log.Clear();
  EXPECT_NE(Sound()->PlaySoundA(PLAYER_HERO, SOUND_ORDER, 1.0f, VisVector_cl(0, 0, 0), 400.0f, 0.0f), nullptr);
  EXPECT_NE(Sound()->PlaySoundA(PIRATE_HERO, SOUND_UNDER_ATTACK, 1.0f, VisVector_cl(0, 0, 0), 400.0f, 0.0f), nullptr);
  for (SFXTypes t : {SOUND_SFX_INTERFACE_CLICK, SOUND_SFX_SHOOT_CANNON, SOUND_SFX_KRAKEN_IDLE, SOUND_SFX_HIT_SWORD,
                      SOUND_SFX_JOKE, SOUND_SFX_MOVE_SHIP, SOUND_SFX_SHOOT_HARPOON, SOUND_SFX_SHOOT_ROCKET_SHIP,
                      SOUND_SFX_HIT_ROCKET, SOUND_SFX_USE_GROG, SOUND_SFX_USE_GROG_WOMAN})
    EXPECT_NE(Sound()->PlaySFXSound(t, 1.0f, VisVector_cl(0, 0, 0), 0.0f, 400.0f, false), nullptr) << t;
  for (void (MusicManager::*play)() : {&MusicManager::PlayMenuMusic, &MusicManager::PlayBattleMusic,
                                        &MusicManager::PlayConversationMusic, &MusicManager::PlayCreditsMusic}) {
    (Music()->*play)();
    EXPECT_TRUE(Music()->GetChannel(Music()->GetCurrentChannelIndex()).m_spInstance);
  }
  for (int i = 0; i < 4; ++i) {
    Music()->StartRandomMusic(false);
    EXPECT_TRUE(Music()->GetChannel(Music()->GetCurrentChannelIndex()).m_spInstance);
  }
  EXPECT_FALSE(log.Contains("CANNOT PLAY"));
  EXPECT_FALSE(log.Contains("cannot be read"));
}

}  // namespace
