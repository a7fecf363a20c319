// Sound instances: fades over engine frames, fade-out and fading back, pause, play
// position and the volume range.
#include "support/SoundTestEnvironment.h"

#include <gtest/gtest.h>

namespace {

class VSoundObjectTest : public ::testing::Test {
 protected:
  // A looped 1 s sound, so that fades are not cut by its end.
  VSmartPtr<VSoundObject> Make() {
    return VSoundManager::GlobalManager().CreateSoundInstance("sounds\\kraken_idle.wav", 0, VSOUND_LOOPED);
  }
  SoundTestEnvironment env;
};

TEST_F(VSoundObjectTest, FadesMoveLinearlyWithTheFrames) {
  struct Case {
    const char* name;
    float start, target, seconds;
    bool fromTo;
    float after1, after2;  // volume after 0.25 s and after 1.0 s
  } cases[] = {
      {"FadeTo down", 1.0f, 0.0f, 0.5f, false, 0.5f, 0.0f},
      {"FadeTo up", 0.2f, 1.0f, 1.0f, false, 0.4f, 1.0f},
      {"FadeFromTo", 0.7f, 0.8f, 1.0f, true, 0.2f, 0.8f},  // from 0 whatever the volume
      {"at once", 1.0f, 0.3f, 0.0f, false, 0.3f, 0.3f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    VSmartPtr<VSoundObject> s = Make();
    s->SetVolume(c.start);
    if (c.fromTo)
      s->FadeFromTo(0.0f, c.target, c.seconds);
    else
      s->FadeTo(c.target, c.seconds);
    SoundTestEnvironment::Frame(0.25f);
    EXPECT_NEAR(s->GetVolume(), c.after1, 1e-6f);
    SoundTestEnvironment::Frames(3, 0.25f);
    EXPECT_NEAR(s->GetVolume(), c.after2, 1e-6f);
    EXPECT_FALSE(s->IsFading());
    EXPECT_TRUE(s->IsPlaying());
  }
}

TEST_F(VSoundObjectTest, AFadeInReportsItselfAndUpdateFadingOnlyAppliesWhenAsked) {
  VSmartPtr<VSoundObject> s = Make();
  s->FadeFromTo(0.0f, 1.0f, 1.0f);
  EXPECT_TRUE(s->IsFadingIn());
  SoundTestEnvironment::Frame(0.5f);
  s->SetPaused(true);  // keeps the fade where it is
  SoundTestEnvironment::Frame(0.25f);
  EXPECT_FLOAT_EQ(s->UpdateFading(false), 0.5f);
  EXPECT_FLOAT_EQ(s->GetVolume(), 0.5f);
  s->SetPaused(false);
  SoundTestEnvironment::Frame(0.25f);
  EXPECT_FLOAT_EQ(s->GetVolume(), 0.75f);
  // Setting the volume ends the fade.
  s->SetVolume(0.1f);
  EXPECT_FALSE(s->IsFading());
  SoundTestEnvironment::Frame(0.25f);
  EXPECT_FLOAT_EQ(s->GetVolume(), 0.1f);
}

TEST_F(VSoundObjectTest, FadeOutStopsTheSoundAndMarksItOnItsWayOut) {
  VSmartPtr<VSoundObject> s = Make();
  s->SetVolume(0.8f);
  s->FadeOut(1.0f);
  EXPECT_TRUE(s->IsFadingOut());
  EXPECT_FALSE(s->IsFadingIn());
  SoundTestEnvironment::Frame(0.5f);
  EXPECT_FLOAT_EQ(s->GetVolume(), 0.4f);
  EXPECT_EQ(s->GetStateFlags() & VSOUND_FADED_OUT, 0);
  SoundTestEnvironment::Frame(0.5f);
  EXPECT_FLOAT_EQ(s->UpdateFading(true), 0.0f);
  EXPECT_FALSE(s->IsPlaying());
  EXPECT_TRUE(s->IsFadingOut()) << "still on its way out";
  EXPECT_NE(s->GetStateFlags() & VSOUND_FADED_OUT, 0);
  const float where = s->GetPlayPosition();

  // Fading it back brings it back where it stopped.
  s->FadeTo(0.6f, 1.0f);
  EXPECT_TRUE(s->IsPlaying());
  EXPECT_FALSE(s->IsFadingOut());
  EXPECT_EQ(s->GetStateFlags() & VSOUND_FADED_OUT, 0);
  EXPECT_FLOAT_EQ(s->GetPlayPosition(), where);
  SoundTestEnvironment::Frame(1.0f);
  EXPECT_FLOAT_EQ(s->GetVolume(), 0.6f);
}

TEST_F(VSoundObjectTest, FadeOutOfAStoppedSoundEndsAtOnce) {
  VSmartPtr<VSoundObject> s = Make();
  s->Stop();
  s->FadeOut(1.0f);
  EXPECT_FLOAT_EQ(s->UpdateFading(true), 0.0f);
  EXPECT_NE(s->GetStateFlags() & VSOUND_FADED_OUT, 0);
}

TEST_F(VSoundObjectTest, PlayPositionPauseAndRestart) {
  VSmartPtr<VSoundObject> s = Make();
  s->SetPlayPosition(0.25f);
  s->SetPaused(true);
  SoundTestEnvironment::Frame(0.5f);
  EXPECT_FLOAT_EQ(s->GetPlayPosition(), 0.25f);
  EXPECT_TRUE(s->IsPlaying()) << "a paused sound still plays";
  s->SetPaused(false);
  SoundTestEnvironment::Frame(0.5f);
  EXPECT_FLOAT_EQ(s->GetPlayPosition(), 0.75f);
  s->Play(0.5f, false);
  EXPECT_FLOAT_EQ(s->GetPlayPosition(), 0.75f) << "already playing, not restarted";
  s->Play();
  EXPECT_FLOAT_EQ(s->GetPlayPosition(), 0.0f);
  s->SetPlayPosition(5.0f);
  EXPECT_FLOAT_EQ(s->GetPlayPosition(), 1.0f);
  s->Stop();
  EXPECT_FALSE(s->IsPlaying());
  EXPECT_FLOAT_EQ(s->GetPlayPosition(), 0.0f);
  SoundTestEnvironment::Frame(0.5f);
  EXPECT_FLOAT_EQ(s->GetPlayPosition(), 0.0f);
}

TEST_F(VSoundObjectTest, VolumeIsClampedAndStateWordKeepsItsBits) {
  VSmartPtr<VSoundObject> s =
      VSoundManager::GlobalManager().CreateSoundInstance("music\\menu.wav", VSOUNDRES_STREAM, 0x70 | VSOUND_FADED_OUT);
  EXPECT_EQ(s->GetStateFlags(), 0x70) << "the way-out bit is not given at creation";
  s->SetVolume(1.5f);
  EXPECT_FLOAT_EQ(s->GetVolume(), 1.0f);
  s->SetVolume(-1.0f);
  EXPECT_FLOAT_EQ(s->GetVolume(), 0.0f);
  s->RemoveStateFlags(VSOUND_KEPT);
  EXPECT_EQ(s->GetStateFlags(), 0x60);
  s->SetUserValue(1.5f);
  EXPECT_FLOAT_EQ(s->GetUserValue(), 1.5f);
}

}  // namespace
