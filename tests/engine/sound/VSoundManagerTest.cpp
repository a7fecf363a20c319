// The sound plug-in's manager: resources read from real files, the live list, the
// per-frame advance and the clean-up of finished and old-scene sounds.
#include "support/SoundTestEnvironment.h"

#include "engine/core/VisPlugins.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

class VSoundManagerTest : public ::testing::Test {
 protected:
  VSoundManager& Sound() { return VSoundManager::GlobalManager(); }
  SoundTestEnvironment env;
};

TEST_F(VSoundManagerTest, LengthsAndFormatComeFromTheFiles) {
  struct Case {
    const char* file;
    float seconds;
  } cases[] = {
      {"sounds\\click.wav", 0.125f},
      {"\\Sounds\\CANNON_02.WAV", 0.375f},  // data-relative, other case, "\"
      {"music/track_b.wav", 0.75f},
      {"sounds/kraken_idle.wav", 1.0f},
  };
  for (const Case& c : cases) {
    VSmartPtr<VSoundResource> res = Sound().LoadSoundResource(c.file, VSOUNDRES_EFFECT);
    ASSERT_TRUE(res) << c.file;
    EXPECT_TRUE(res->IsLoaded());
    EXPECT_EQ(res->GetSampleRate(), 8000);
    EXPECT_EQ(res->GetChannels(), 1);
    EXPECT_FLOAT_EQ(res->GetLength(), c.seconds) << c.file;
    VSmartPtr<VSoundObject> obj = res->CreateInstance(VisVector_cl(1, 2, 3));
    ASSERT_TRUE(obj);
    EXPECT_FLOAT_EQ(obj->GetLength(), c.seconds);
    EXPECT_EQ(obj->GetPosition(), VisVector_cl(1, 2, 3));
  }
}

TEST_F(VSoundManagerTest, ResourcesAreSharedByNameAndFlags) {
  VSmartPtr<VSoundResource> a = Sound().LoadSoundResource("sounds\\click.wav", VSOUNDRES_EFFECT);
  VSmartPtr<VSoundResource> b = Sound().LoadSoundResource("SOUNDS/Click.wav", VSOUNDRES_EFFECT);
  VSmartPtr<VSoundResource> c = Sound().LoadSoundResource("sounds\\click.wav", VSOUNDRES_EFFECT | VSOUNDRES_3D);
  EXPECT_EQ(a.GetPtr(), b.GetPtr());
  EXPECT_NE(a.GetPtr(), c.GetPtr());
  EXPECT_FALSE(a->Is3D());
  EXPECT_TRUE(c->Is3D());
}

TEST_F(VSoundManagerTest, MissingUnreadableOrStoppedGivesNull) {
  // A file that is not a sound, written into a scratch data folder.
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "vsound_manager_test";
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "noise.wav") << "this is text, not a sound";
  Vision::File.AddDataDirectory(dir.string().c_str());

  EXPECT_EQ(Sound().LoadSoundResource("sounds\\nothing.wav", 0), nullptr);
  EXPECT_EQ(Sound().LoadSoundResource("noise.wav", 0), nullptr);
  EXPECT_EQ(Sound().LoadSoundResource("", 0), nullptr);
  EXPECT_EQ(Sound().LoadSoundResource(nullptr, 0), nullptr);
  EXPECT_EQ(Sound().CreateSoundInstance("sounds\\nothing.wav", 0x800, 0), nullptr);
  EXPECT_EQ(Sound().GetInstanceCount(), 0);

  // Until the plug-in starts it, the manager loads and makes nothing.
  VSmartPtr<VSoundResource> res = Sound().LoadSoundResource("sounds\\click.wav", 0);
  Sound().SetInitialized(false);
  EXPECT_EQ(Sound().LoadSoundResource("sounds\\click.wav", 0), nullptr);
  EXPECT_EQ(res->CreateInstance(VisVector_cl(0, 0, 0)), nullptr);
  Sound().SetInitialized(true);
  // A resource that has not finished loading makes no instance.
  res->SetLoaded(false);
  EXPECT_EQ(res->CreateInstance(VisVector_cl(0, 0, 0)), nullptr);
  res->SetLoaded(true);
  std::filesystem::remove_all(dir);
}

TEST_F(VSoundManagerTest, InstancesAdvanceWithTheEngineClockAndFinishedOnesAreLetGo) {
  VSmartPtr<VSoundObject> held = Sound().CreateSoundInstance("sounds\\order_01.wav", 0x800, 0);  // 0.25 s
  Sound().CreateSoundInstance("sounds\\cannon_02.wav", 0x800, 0);                              // 0.375 s, not held
  VSmartPtr<VSoundObject> looped = Sound().CreateSoundInstance("sounds\\click.wav", 0x800, VSOUND_LOOPED | VSOUND_KEPT);
  ASSERT_EQ(Sound().GetInstanceCount(), 3);
  EXPECT_TRUE(held->IsPlaying());
  EXPECT_EQ(looped->GetStateFlags(), VSOUND_LOOPED | VSOUND_KEPT);

  SoundTestEnvironment::Frame(0.125f);
  EXPECT_FLOAT_EQ(held->GetPlayPosition(), 0.125f);
  EXPECT_FLOAT_EQ(looped->GetPlayPosition(), 0.0f) << "a 0.125 s loop wraps to its start";
  SoundTestEnvironment::Frames(2, 0.125f);
  EXPECT_FALSE(held->IsPlaying());
  EXPECT_TRUE(looped->IsPlaying());
  // The unheld effect has finished and is gone; the held one stays while held.
  EXPECT_EQ(Sound().GetInstanceCount(), 2);
  VSoundObject* raw = held.GetPtr();
  held = nullptr;
  SoundTestEnvironment::Frame(0.125f);
  ASSERT_EQ(Sound().GetInstanceCount(), 1);
  EXPECT_NE(Sound().GetInstance(0), raw);

  // Disposing takes it out of the list at once; the holder's object stays valid.
  looped->DisposeObject();
  EXPECT_EQ(Sound().GetInstanceCount(), 0);
  EXPECT_TRUE(looped->IsDisposed());
  EXPECT_FALSE(looped->IsPlaying());
}

TEST_F(VSoundManagerTest, StoppedSceneSoundsMarkTheOldSceneAndLetGoOfStoppedOnes) {
  VSmartPtr<VSoundObject> playing = Sound().CreateSoundInstance("sounds\\kraken_idle.wav", 0, VSOUND_LOOPED);
  Sound().CreateSoundInstance("sounds\\click.wav", 0, 0)->Stop();
  ASSERT_EQ(Sound().GetInstanceCount(), 2);
  Sound().SetSceneSoundsStopped(true);
  EXPECT_TRUE(Sound().AreSceneSoundsStopped());
  ASSERT_EQ(Sound().GetInstanceCount(), 1);
  EXPECT_NE(playing->GetStateFlags() & VSOUND_NOCOLLECT, 0);
  VSmartPtr<VSoundObject> next = Sound().CreateSoundInstance("sounds\\click.wav", 0, 0);
  EXPECT_EQ(next->GetStateFlags() & VSOUND_NOCOLLECT, 0);
}

TEST_F(VSoundManagerTest, StoppingTheEngineLetsGoOfEveryInstance) {
  VSmartPtr<VSoundObject> obj = Sound().CreateSoundInstance("sounds\\kraken_idle.wav", 0, VSOUND_LOOPED);
  Sound().SetInitialized(false);
  EXPECT_EQ(Sound().GetInstanceCount(), 0);
  EXPECT_FALSE(obj->IsPlaying());
  EXPECT_EQ(obj->GetRefCount(), 1);
  // No longer advanced.
  SoundTestEnvironment::Frame(0.5f);
  EXPECT_FLOAT_EQ(obj->GetPlayPosition(), 0.0f);
}

TEST_F(VSoundManagerTest, ThePlugInLibraryStartsAndStopsTheManager) {
  Sound().SetInitialized(false);
  Vision::Plugins.SetPluginDirectory(BRINEMARK_PROGRAM_DIR);
  ASSERT_TRUE(Vision::Plugins.LoadEnginePlugin("SoundEnginePlugin"));
  EXPECT_TRUE(Sound().IsInitialized());
  Vision::Plugins.UnloadAllEnginePlugins();
  Vision::Plugins.SetPluginDirectory(nullptr);
  EXPECT_FALSE(Sound().IsInitialized());
}

}  // namespace
