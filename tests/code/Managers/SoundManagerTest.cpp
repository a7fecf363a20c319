// SoundManager: volume products, variant pools, effect plays and their repeat
// limits and log lines, looped effects and their stop, and the scene sounds.
#include "AudioFixture.h"

#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisWorld.h"

#include <filesystem>
#include <vector>

namespace {

const VisVector_cl kOrigin(0.0f, 0.0f, 0.0f);

class SoundManagerTest : public AudioFixture {
 protected:
  SoundManager* Sound() { return SoundManager::GetInstance(); }
  static void SceneLoaded() { Vision::Callbacks.OnAfterSceneLoaded.TriggerCallbacks(); }
};

TEST_F(SoundManagerTest, VolumesAreProductsOfTheirFactors) {
  Sound()->AddSound(PIRATE_HERO, SOUND_ORDER, "sounds\\order_01.wav", true);
  Sound()->AddSound(PIRATE_HERO, SOUND_WEAPON_0, "sounds\\cannon_01.wav", false);
  Sound()->AddSFXSound(SOUND_SFX_EXPLOSION, "sounds\\cannon_02.wav", true, false, -100.0f);
  Sound()->SetFXVolume(0.5f);
  Sound()->SetSpeechVolume(0.75f);
  Sound()->SetMusicVolume(0.3f);
  EXPECT_FLOAT_EQ(SpeechManager::GetInstance()->GetSpeechVolume(), 0.75f);
  EXPECT_FLOAT_EQ(MusicManager::GetInstance()->GetMusicVolume(), 0.3f);
  EXPECT_FLOAT_EQ(Sound()->GetMusicVolume(), 0.3f);

  // Twice lowers once; lifting at 1.0 changes nothing.
  Sound()->SetConversation(false);
  EXPECT_FLOAT_EQ(Sound()->GetConversationFactor(), 1.0f);
  Sound()->SetConversation(true);
  Sound()->SetConversation(true);
  EXPECT_FLOAT_EQ(Sound()->GetConversationFactor(), 0.25f);

  // The master volume goes to the plug-in only.
  Sound()->SetMasterVolume(0.4f);
  EXPECT_FLOAT_EQ(Sound()->GetMasterVolume(), 0.4f);
  EXPECT_FLOAT_EQ(Plugin().GetMasterVolume(), 0.4f);

  struct Case {
    const char* name;
    VSoundObject* obj;
    float expected;
    float base;
  } cases[] = {
      {"voice: speech volume", Sound()->PlaySoundA(PIRATE_HERO, SOUND_ORDER, 0.8f, kOrigin, 400.0f, 0.0f),
       0.25f * 0.75f * 0.8f, 0.8f},
      {"weapon: effect volume", Sound()->PlaySoundA(PIRATE_HERO, SOUND_WEAPON_0, 0.8f, kOrigin, 400.0f, 0.0f),
       0.25f * 0.5f * 0.8f, 0.8f},
      {"effect", Sound()->PlaySFXSound(SOUND_SFX_EXPLOSION, 0.6f, kOrigin, 0.0f, 400.0f, false), 0.5f * 0.6f * 0.25f,
       0.6f},
  };
  for (const Case& c : cases) {
    ASSERT_NE(c.obj, nullptr) << c.name;
    EXPECT_FLOAT_EQ(c.obj->GetVolume(), c.expected) << c.name;
    EXPECT_FLOAT_EQ(c.obj->GetUserValue(), c.base) << c.name;
  }
  Sound()->SetConversation(false);
  EXPECT_FLOAT_EQ(Sound()->GetConversationFactor(), 1.0f);
}

TEST_F(SoundManagerTest, PoolsStartWithTheFirstFileAndNeverRepeatAVariant) {
  const char* files[] = {"sounds\\order_01.wav", "sounds\\order_02.wav", "sounds\\order_03.wav"};
  for (const char* f : files) EXPECT_TRUE(Sound()->AddSound(CORSAIR_HERO, SOUND_ACTIVATE, f, true));
  EXPECT_EQ(Sound()->GetPoolSize(CORSAIR_HERO, SOUND_ACTIVATE), 3u);
  EXPECT_EQ(Sound()->GetPoolSize(CORSAIR_HERO, SOUND_DEATH), 0u);
  EXPECT_EQ(Sound()->GetPoolSize(PIRATE_HERO, SOUND_ACTIVATE), 0u);

  std::string last;
  std::vector<int> seen(3, 0);
  for (int i = 0; i < 60; ++i) {
    const std::string file = FileOf(Sound()->PlaySoundA(CORSAIR_HERO, SOUND_ACTIVATE, 1.0f, kOrigin, 400.0f, 0.0f));
    if (i == 0) {
      EXPECT_EQ(file, files[0]);
    }
    EXPECT_NE(file, last) << "play " << i;
    for (int k = 0; k < 3; ++k) seen[k] += file == files[k];
    last = file;
  }
  for (int k = 0; k < 3; ++k) EXPECT_GT(seen[k], 0) << files[k];

  // A new file sends the pool back to its first variant.
  Sound()->AddSound(CORSAIR_HERO, SOUND_ACTIVATE, "sounds\\click.wav", true);
  EXPECT_EQ(FileOf(Sound()->PlaySoundA(CORSAIR_HERO, SOUND_ACTIVATE, 1.0f, kOrigin, 400.0f, 0.0f)), files[0]);

  // A pool of one plays it every time.
  Sound()->AddSound(CORSAIR_HERO, SOUND_DEATH, "sounds\\order_02.wav", true);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(FileOf(Sound()->PlaySoundA(CORSAIR_HERO, SOUND_DEATH, 1.0f, kOrigin, 400.0f, 0.0f)), files[1]);
}

TEST_F(SoundManagerTest, AFixedRandomSourceFallsBackToTheNextVariant) {
  const char* files[] = {"sounds\\order_01.wav", "sounds\\order_02.wav", "sounds\\order_03.wav"};
  struct Case {
    bool returnMax;
    int order[4];
  } cases[] = {
      {false, {0, 1, 0, 1}},  // every draw is 0: after variant 0 comes the next index
      {true, {0, 2, 0, 2}},   // every draw is 2: after variant 2 comes the next index, 0
  };
  MathTools::SetUseFixedRandom(true);
  for (const Case& c : cases) {
    CleanManagers();
    MathTools::SetTestRandReturnMax(c.returnMax);
    for (const char* f : files) Sound()->AddSound(PIRATE_HERO, SOUND_ORDER, f, true);
    for (int k = 0; k < 4; ++k) {
      const std::string file = FileOf(Sound()->PlaySoundA(PIRATE_HERO, SOUND_ORDER, 1.0f, kOrigin, 400.0f, 0.0f));
      EXPECT_EQ(file, files[c.order[k]]) << "max " << c.returnMax << " play " << k;
    }
  }
}

TEST_F(SoundManagerTest, UnitSoundsPlacePositionalSoundsAndFallBackToTheFileName) {
  Sound()->AddSound(PIRATE_CANNONEER, SOUND_WEAPON_1, "sounds\\cannon_01.wav", false);
  VSoundObject* s = Sound()->PlaySoundA(PIRATE_CANNONEER, SOUND_WEAPON_1, 1.0f, VisVector_cl(5, 6, 7), 300.0f, 20.0f);
  ASSERT_NE(s, nullptr);
  EXPECT_TRUE(s->Is3D());
  EXPECT_EQ(s->GetPosition(), VisVector_cl(5, 6, 7));
  EXPECT_FLOAT_EQ(s->Get3DFadeNear(), 20.0f);
  EXPECT_FLOAT_EQ(s->Get3DFadeFar(), 300.0f);

  // No type, no pool, or a file that never loads: nothing plays.
  EXPECT_EQ(Sound()->PlaySoundA(UNIT_NONE, SOUND_WEAPON_1, 1.0f, kOrigin, 400.0f, 0.0f), nullptr);
  EXPECT_EQ(Sound()->PlaySoundA(PIRATE_CANNONEER, SOUND_DEATH, 1.0f, kOrigin, 400.0f, 0.0f), nullptr);
  // A file missing when defined is tried again by name at every play.
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "sound_manager_late_file";
  std::filesystem::create_directories(dir);
  ASSERT_TRUE(Vision::File.AddDataDirectory(dir.string().c_str()));
  Sound()->AddSound(PIRATE_CANNONEER, SOUND_WEAPON_2, "late.wav", false);
  EXPECT_EQ(Sound()->GetPoolSize(PIRATE_CANNONEER, SOUND_WEAPON_2), 1u);
  EXPECT_EQ(Sound()->PlaySoundA(PIRATE_CANNONEER, SOUND_WEAPON_2, 1.0f, kOrigin, 400.0f, 0.0f), nullptr);
  std::filesystem::copy_file(BRINEMARK_SOURCE_DIR "/data/sounds/click.wav", dir / "late.wav");
  Vision::File.ClearCache();
  VSoundObject* late = Sound()->PlaySoundA(PIRATE_CANNONEER, SOUND_WEAPON_2, 1.0f, VisVector_cl(5, 6, 7), 300.0f, 20.0f);
  ASSERT_NE(late, nullptr);
  EXPECT_TRUE(late->Is3D());
  EXPECT_EQ(late->GetPosition(), VisVector_cl(5, 6, 7));
  EXPECT_FLOAT_EQ(late->Get3DFadeFar(), 300.0f);
  std::filesystem::remove_all(dir);

  // A resource that never reports loaded: the wait ends and nothing plays.
  VSmartPtr<VSoundResource> res = Plugin().LoadSoundResource("sounds\\cannon_01.wav", VSOUNDRES_EFFECT | VSOUNDRES_3D);
  res->SetLoaded(false);
  EXPECT_EQ(Sound()->PlaySoundA(PIRATE_CANNONEER, SOUND_WEAPON_1, 1.0f, kOrigin, 400.0f, 0.0f), nullptr);
  res->SetLoaded(true);
}

TEST_F(SoundManagerTest, EffectFailuresAndTheirLogLines) {
  LogCapture log;
  EXPECT_EQ(Sound()->PlaySFXSound(SOUND_SFX_NONE, 1.0f, kOrigin, 0.0f, 400.0f, false), nullptr);
  EXPECT_TRUE(log.Lines().empty());

  EXPECT_EQ(Sound()->PlaySFXSound(SOUND_SFX_USE_GROG, 1.0f, kOrigin, 0.0f, 400.0f, false), nullptr);
  EXPECT_TRUE(log.Contains("CANNOT PLAY SOUND ID 7"));

  log.Clear();
  Sound()->AddSFXSound(SOUND_SFX_MONKEY, "sounds\\missing.wav", true, false, -100.0f);
  EXPECT_EQ(Sound()->PlaySFXSound(SOUND_SFX_MONKEY, 1.0f, kOrigin, 0.0f, 400.0f, false), nullptr);
  ASSERT_EQ(log.Matching("CANNOT PLAY SOUND ID").size(), 2u);
  EXPECT_TRUE(log.Contains("CANNOT PLAY SOUND ID 18 filename: sounds\\missing.wav"));

  // A resource that never reports loaded: the wait ends with the short line.
  log.Clear();
  Sound()->AddSFXSound(SOUND_SFX_WHALE, "sounds\\click.wav", true, false, -100.0f);
  VSmartPtr<VSoundResource> res = Plugin().LoadSoundResource("sounds\\click.wav", VSOUNDRES_EFFECT);
  res->SetLoaded(false);
  EXPECT_EQ(Sound()->PlaySFXSound(SOUND_SFX_WHALE, 1.0f, kOrigin, 0.0f, 400.0f, false), nullptr);
  EXPECT_EQ(log.Matching("CANNOT PLAY SOUND ID 37").size(), 1u);
  res->SetLoaded(true);
  EXPECT_NE(Sound()->PlaySFXSound(SOUND_SFX_WHALE, 1.0f, kOrigin, 0.0f, 400.0f, false), nullptr);
}

TEST_F(SoundManagerTest, RepeatIntervalsLimitAnEffectUntilTheNextSceneLoad) {
  LogCapture log;
  Sound()->AddSFXSound(SOUND_SFX_SHOOT_CANNON, "sounds\\cannon_01.wav", false, false, 0.5f);
  Sound()->AddSFXSound(SOUND_SFX_SHOOT_RIFLE, "sounds\\cannon_02.wav", true, false, -100.0f);
  auto play = [this](SFXTypes t) { return Sound()->PlaySFXSound(t, 1.0f, kOrigin, 0.0f, 400.0f, false); };

  EXPECT_NE(play(SOUND_SFX_SHOOT_CANNON), nullptr);
  SoundTestEnvironment::Frame(0.25f);
  EXPECT_EQ(play(SOUND_SFX_SHOOT_CANNON), nullptr) << "within 0.5 s";
  EXPECT_TRUE(log.Lines().empty()) << "a limited play is silent";
  SoundTestEnvironment::Frame(0.25f);
  EXPECT_NE(play(SOUND_SFX_SHOOT_CANNON), nullptr);

  // The script's default interval never limits.
  for (int i = 0; i < 3; ++i) EXPECT_NE(play(SOUND_SFX_SHOOT_RIFLE), nullptr);

  // A scene load forgets the last plays.
  SceneLoaded();
  EXPECT_NE(play(SOUND_SFX_SHOOT_CANNON), nullptr);

  // A timer that went back counts from now.
  SoundTestEnvironment::Frames(4, 0.25f);
  Vision::Timer.Reset();
  EXPECT_EQ(play(SOUND_SFX_SHOOT_CANNON), nullptr);
  SoundTestEnvironment::Frames(2, 0.25f);
  EXPECT_NE(play(SOUND_SFX_SHOOT_CANNON), nullptr);
}

TEST_F(SoundManagerTest, PositionalEffectsGetTheirDistancesInTheirOwnOrder) {
  Sound()->AddSFXSound(SOUND_SFX_HIT_HULL, "sounds\\cannon_01.wav", false, false, -100.0f);
  Sound()->AddSFXSound(SOUND_SFX_INTERFACE_CLICK, "sounds\\click.wav", true, false, -100.0f);
  VSoundObject* hit = Sound()->PlaySFXSound(SOUND_SFX_HIT_HULL, 1.0f, VisVector_cl(1, 2, 3), 10.0f, 250.0f, true);
  ASSERT_NE(hit, nullptr);
  EXPECT_FLOAT_EQ(hit->Get3DFadeNear(), 10.0f);
  EXPECT_FLOAT_EQ(hit->Get3DFadeFar(), 250.0f);
  EXPECT_FLOAT_EQ(hit->GetConeInside(), -1.0f);
  EXPECT_FLOAT_EQ(hit->GetConeOutside(), -1.0f);
  EXPECT_EQ(hit->GetPosition(), VisVector_cl(1, 2, 3));
  EXPECT_FALSE(hit->IsLooped());
  VSoundObject* click = Sound()->PlaySFXSound(SOUND_SFX_INTERFACE_CLICK, 1.0f, VisVector_cl(1, 2, 3), 10.0f, 250.0f,
                                              false);
  ASSERT_NE(click, nullptr);
  EXPECT_FALSE(click->Is3D());
  EXPECT_FALSE(Sound()->IsSFXPlaying(SOUND_SFX_INTERFACE_CLICK)) << "only looped effects are kept";
}

TEST_F(SoundManagerTest, LoopedEffectsAreKeptUntilStopped) {
  Sound()->AddSFXSound(SOUND_SFX_KRAKEN_IDLE, "sounds\\kraken_idle.wav", false, true, -100.0f);
  EXPECT_FALSE(Sound()->IsSFXPlaying(SOUND_SFX_KRAKEN_IDLE));
  EXPECT_FALSE(Sound()->IsSFXPlaying(SOUND_SFX_MERMAID)) << "unknown effect";
  Sound()->StopSFXSound(SOUND_SFX_MERMAID, true);  // nothing to stop

  // At once.
  VSmartPtr<VSoundObject> idle = Sound()->PlaySFXSound(SOUND_SFX_KRAKEN_IDLE, 1.0f, kOrigin, 0.0f, 400.0f, false);
  ASSERT_TRUE(idle);
  EXPECT_TRUE(idle->IsLooped());
  EXPECT_NE(idle->GetStateFlags() & VSOUND_KEPT, 0);
  SoundTestEnvironment::Frames(8, 0.25f);
  EXPECT_TRUE(Sound()->IsSFXPlaying(SOUND_SFX_KRAKEN_IDLE)) << "a loop outlives its file";
  Sound()->StopSFXSound(SOUND_SFX_KRAKEN_IDLE, false);
  EXPECT_FALSE(Sound()->IsSFXPlaying(SOUND_SFX_KRAKEN_IDLE));
  EXPECT_TRUE(idle->IsDisposed());

  // Faded: the caller repeats the stop every frame; it stays audible about 1 s.
  idle = Sound()->PlaySFXSound(SOUND_SFX_KRAKEN_IDLE, 1.0f, kOrigin, 0.0f, 400.0f, false);
  float audible = 0.0f;
  for (int frame = 0; frame < 20 && Sound()->IsSFXPlaying(SOUND_SFX_KRAKEN_IDLE); ++frame) {
    Sound()->StopSFXSound(SOUND_SFX_KRAKEN_IDLE, true);
    SoundTestEnvironment::Frame(0.125f);
    if (idle->IsPlaying()) audible += 0.125f;
  }
  EXPECT_FALSE(Sound()->IsSFXPlaying(SOUND_SFX_KRAKEN_IDLE));
  EXPECT_FLOAT_EQ(audible, 0.875f);
  EXPECT_FLOAT_EQ(idle->GetVolume(), 0.0f);
  Sound()->StopSFXSound(SOUND_SFX_KRAKEN_IDLE, true);
  EXPECT_TRUE(idle->IsDisposed());
}

TEST_F(SoundManagerTest, ASceneLoadCollectsOnlyTheNewScenesSounds) {
  Sound()->SetFXVolume(0.5f);
  Sound()->SetConversation(true);
  Sound()->SetPaused(true);
  Sound()->AddSFXSound(SOUND_SFX_KRAKEN_IDLE, "sounds\\kraken_idle.wav", false, true, -100.0f);
  VSmartPtr<VSoundObject> kept = Sound()->PlaySFXSound(SOUND_SFX_KRAKEN_IDLE, 1.0f, kOrigin, 0.0f, 400.0f, false);
  VSmartPtr<VSoundObject> old = Plugin().CreateSoundInstance("sounds\\kraken_idle.wav", 0, VSOUND_LOOPED);

  // The scene loader empties the world, then the new scene makes its sounds: one
  // with a base volume, one without, and one the game must not collect.
  Vision::World.UnloadWorld();
  VSmartPtr<VSoundObject> surf = Plugin().CreateSoundInstance("sounds\\kraken_idle.wav", 0, VSOUND_LOOPED);
  surf->SetUserValue(0.8f);
  VSmartPtr<VSoundObject> gulls = Plugin().CreateSoundInstance("sounds\\click.wav", 0, VSOUND_LOOPED);
  gulls->SetVolume(0.6f);
  VSmartPtr<VSoundObject> music = Plugin().CreateSoundInstance("music\\menu.wav", VSOUNDRES_STREAM, 0x70);
  SceneLoaded();

  ASSERT_EQ(Sound()->GetSceneSoundCount(), 2);
  EXPECT_EQ(Sound()->GetSceneSound(0), surf.GetPtr());
  EXPECT_EQ(Sound()->GetSceneSound(1), gulls.GetPtr());
  EXPECT_FLOAT_EQ(surf->GetVolume(), 0.5f * 0.8f * 0.25f);
  EXPECT_FLOAT_EQ(gulls->GetUserValue(), 0.6f) << "an unset base takes the volume";
  EXPECT_FLOAT_EQ(gulls->GetVolume(), 0.5f * 0.6f * 0.25f);
  for (VSoundObject* s : {surf.GetPtr(), gulls.GetPtr()}) {
    EXPECT_TRUE(s->IsPaused());
    EXPECT_NE(s->GetStateFlags() & VSOUND_KEPT, 0);
  }
  // The kept effect instances of the last scene are stopped and forgotten.
  EXPECT_FALSE(kept->IsPlaying());
  EXPECT_FALSE(Sound()->IsSFXPlaying(SOUND_SFX_KRAKEN_IDLE));

  // Volumes: a base above 1 counts as 1, faded over 2 s.
  surf->SetUserValue(1.5f);
  Sound()->SetConversation(false);
  EXPECT_FLOAT_EQ(surf->GetFadeTargetVolume(), 0.5f);
  EXPECT_FLOAT_EQ(surf->GetFadeDuration(), 2.0f);
  EXPECT_FLOAT_EQ(gulls->GetFadeTargetVolume(), 0.3f);

  Sound()->SetPaused(false);
  EXPECT_FALSE(surf->IsPaused());
  gulls->Stop();
  Sound()->PlaySceneSounds();
  EXPECT_TRUE(gulls->IsPlaying());

  // Another pass lists nothing twice.
  SceneLoaded();
  EXPECT_EQ(Sound()->GetSceneSoundCount(), 2);

  // Leaving the scene stops its sounds; the next scene brings only its own.
  Sound()->ResetSceneSounds();
  EXPECT_EQ(Sound()->GetSceneSoundCount(), 0);
  EXPECT_FALSE(surf->IsPlaying());
  EXPECT_TRUE(Plugin().AreSceneSoundsStopped());
  Vision::World.UnloadWorld();
  VSmartPtr<VSoundObject> rain = Plugin().CreateSoundInstance("sounds\\kraken_idle.wav", 0, VSOUND_LOOPED);
  SceneLoaded();
  ASSERT_EQ(Sound()->GetSceneSoundCount(), 1);
  EXPECT_EQ(Sound()->GetSceneSound(0), rain.GetPtr());
}

}  // namespace
