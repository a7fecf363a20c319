// Sound a player hears: OpenAL Soft's wave back end mixes into a file in real time,
// read back with libsndfile. A 3D shot to one side of the camera is louder in that
// channel; music beside the listener is heard in both and keeps streaming.
#include "support/LogCapture.h"
#include "support/ScopedEnv.h"
#include "support/SoundTestEnvironment.h"

#include "engine/core/VisRenderContext.h"
#include "engine/sound/VOpenALBackend.h"

#include <AL/al.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A mono 16-bit sine of the given length, fading out like a shot's ring.
void WriteTone(const fs::path& file, float seconds, float hz, float decay) {
  const int rate = 22050;
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* sf = sf_open(file.c_str(), SFM_WRITE, &info);
  ASSERT_NE(sf, nullptr) << sf_strerror(nullptr);
  std::vector<float> samples((size_t)(seconds * rate));
  for (size_t i = 0; i < samples.size(); ++i) {
    const float t = (float)i / rate;
    samples[i] = 0.8f * std::exp(-decay * t) * std::sin(2.0f * 3.14159265f * hz * t);
  }
  sf_writef_float(sf, samples.data(), (sf_count_t)samples.size());
  sf_close(sf);
}

// Root mean square of each stereo channel over [from, to) seconds of the mix;
// values of 0 or less count back from its end.
struct Loudness {
  double left = 0, right = 0;
};
Loudness Measure(const fs::path& file, double from, double to) {
  SF_INFO info{};
  SNDFILE* sf = sf_open(file.c_str(), SFM_READ, &info);
  EXPECT_NE(sf, nullptr) << "no mixed file " << file;
  if (!sf) return {};
  EXPECT_EQ(info.channels, 2);
  std::vector<float> mix((size_t)(info.frames * info.channels));
  sf_readf_float(sf, mix.data(), info.frames);
  sf_close(sf);
  const double seconds = (double)info.frames / info.samplerate;
  if (to <= 0) to += seconds;
  if (from < 0) from += seconds;
  const sf_count_t a = (sf_count_t)(std::max(from, 0.0) * info.samplerate);
  const sf_count_t b = std::min((sf_count_t)(to * info.samplerate), (sf_count_t)info.frames);
  Loudness out;
  if (b <= a) return out;
  for (sf_count_t f = a; f < b; ++f) {
    out.left += (double)mix[f * 2] * mix[f * 2];
    out.right += (double)mix[f * 2 + 1] * mix[f * 2 + 1];
  }
  out.left = std::sqrt(out.left / (double)(b - a));
  out.right = std::sqrt(out.right / (double)(b - a));
  return out;
}

class VOpenALBackendTest : public ::testing::Test {
 protected:
  // OpenAL Soft reads its configuration once per process: one folder serves all.
  static void SetUpTestSuite() {
    s_dir = fs::temp_directory_path() / ("vsound_openal_" + std::to_string(getpid()));
    fs::create_directories(s_dir);
    s_mix = s_dir / "mix.wav";
    std::ofstream(s_dir / "alsoft.conf") << "[general]\ndrivers=wave\n\n[wave]\nfile=" << s_mix.string() << "\n";
    setenv("ALSOFT_CONF", (s_dir / "alsoft.conf").c_str(), 1);
    WriteTone(s_dir / "shot.wav", 1.0f, 330.0f, 1.0f);
    WriteTone(s_dir / "tune.wav", 0.3f, 440.0f, 0.0f);
  }
  static void TearDownTestSuite() { fs::remove_all(s_dir); }

  VOpenALBackendTest() {
    Vision::File.AddDataDirectory(s_dir.c_str());
    Vision::Camera.SetPosition(VisVector_cl(0, 0, 0));
    Vision::Camera.SetRotationMatrix(VisMatrix3x3_cl());
    Sound().SetListenerCamera(&Vision::Camera);
  }
  ~VOpenALBackendTest() override {
    Sound().SetInitialized(false);
    Vision::Camera.SetPosition(VisVector_cl(0, 0, 0));
    Vision::Camera.SetRotationMatrix(VisMatrix3x3_cl());
    Sound().SetListenerCamera(nullptr);
  }
  static VSoundManager& Sound() { return VSoundManager::GlobalManager(); }
  // Engine frames at 60 Hz, as long on the wall clock as on the engine's.
  static void Play(float seconds) {
    const int frames = (int)(seconds * 60.0f);
    for (int i = 0; i < frames; ++i) {
      SoundTestEnvironment::Frame(1.0f / 60.0f);
      std::this_thread::sleep_for(std::chrono::microseconds(16667));
    }
  }
  // Stops the sound engine, which closes the device and finishes the file.
  static void CloseDevice() { Sound().SetInitialized(false); }
  static unsigned SourceOf(VSoundObject* obj) {
    auto* backend = static_cast<VOpenALBackend*>(Sound().GetBackend());
    return backend ? backend->GetSource(obj) : 0;
  }

  ScopedEnv m_audio{"ENGINE_AUDIO", "openal"};
  SoundTestEnvironment m_env;
  static fs::path s_dir, s_mix;
};
fs::path VOpenALBackendTest::s_dir, VOpenALBackendTest::s_mix;

TEST_F(VOpenALBackendTest, AShotBesideTheCameraIsLouderOnThatSide) {
  // The camera's local y points left, so its right is -y; turned round, the same
  // point lies on its left.
  struct Case {
    float yaw;
    bool rightLouder;
  } cases[] = {{0.0f, true}, {180.0f, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.yaw);
    Sound().SetInitialized(true);
    ASSERT_STREQ(Sound().GetBackendName(), "openal");
    VisMatrix3x3_cl rot;
    rot.SetEulerAngles(c.yaw, 0, 0);
    Vision::Camera.SetPosition(VisVector_cl(500, 200, 40));
    Vision::Camera.SetRotationMatrix(rot);
    VSmartPtr<VSoundObject> shot =
        Sound().CreateSoundInstance("shot.wav", VSOUNDRES_3D | VSOUNDRES_EFFECT, 0);
    ASSERT_TRUE(shot);
    shot->SetPosition(VisVector_cl(500, 170, 40));  // 30 to the camera's right at yaw 0
    shot->Set3DFadeDistance(100, 400);
    Play(0.4f);
    // A short effect is one buffer played by a static source.
    ALint type = 0;
    alGetSourcei(SourceOf(shot), AL_SOURCE_TYPE, &type);
    EXPECT_EQ(type, AL_STATIC);
    CloseDevice();
    const Loudness l = Measure(s_mix, 0, 0);
    const double loud = std::max(l.left, l.right), quiet = std::min(l.left, l.right);
    EXPECT_GT(loud, 0.05) << "the shot did not reach the mix";
    EXPECT_GT(loud, 2.0 * quiet) << "left " << l.left << " right " << l.right;
    EXPECT_EQ(l.right > l.left, c.rightLouder) << "left " << l.left << " right " << l.right;
  }
}

TEST_F(VOpenALBackendTest, ShotsBeyondTheFarDistanceAreNotHeard) {
  VSmartPtr<VSoundObject> shot = Sound().CreateSoundInstance("shot.wav", VSOUNDRES_3D | VSOUNDRES_EFFECT, 0);
  ASSERT_TRUE(shot);
  shot->SetPosition(VisVector_cl(0, -500, 0));
  shot->Set3DFadeDistance(100, 400);
  Play(0.25f);
  CloseDevice();
  const Loudness l = Measure(s_mix, 0, 0);
  EXPECT_LT(std::max(l.left, l.right), 1e-4);
}

TEST_F(VOpenALBackendTest, MusicStreamsBesideTheListenerInBothChannels) {
  // A 0.3 s looped track outlasts the queued buffers only if they are refilled.
  VSmartPtr<VSoundObject> music = Sound().CreateSoundInstance("tune.wav", VSOUNDRES_STREAM, VSOUND_LOOPED);
  ASSERT_TRUE(music);
  // Wherever the instance and the camera are, music sits at the listener.
  music->SetPosition(VisVector_cl(0, -300, 0));
  Vision::Camera.SetPosition(VisVector_cl(-50, 20, 10));
  Play(1.4f);
  ALint type = 0;
  alGetSourcei(SourceOf(music), AL_SOURCE_TYPE, &type);
  EXPECT_EQ(type, AL_STREAMING);
  CloseDevice();
  const Loudness whole = Measure(s_mix, 0, 0);
  EXPECT_GT(whole.left, 0.05);
  EXPECT_GT(whole.right, 0.05);
  EXPECT_NEAR(whole.left / whole.right, 1.0, 0.1);
  // Still playing after the first second of queued sound.
  const Loudness late = Measure(s_mix, -0.3, -0.1);
  EXPECT_GT(std::min(late.left, late.right), 0.05) << "the stream ran dry";
}

TEST_F(VOpenALBackendTest, SourcesAndTheListenerMirrorTheSoundState) {
  VisMatrix3x3_cl rot;
  rot.SetEulerAngles(90, 0, 0);
  Vision::Camera.SetPosition(VisVector_cl(10, 20, 30));
  Vision::Camera.SetRotationMatrix(rot);
  Sound().SetMasterVolume(0.5f);
  VSmartPtr<VSoundObject> shot = Sound().CreateSoundInstance("shot.wav", VSOUNDRES_3D | VSOUNDRES_EFFECT, 0);
  VSmartPtr<VSoundObject> flat = Sound().CreateSoundInstance("shot.wav", VSOUNDRES_EFFECT, VSOUND_LOOPED);
  ASSERT_TRUE(shot && flat);
  shot->SetPosition(VisVector_cl(10, 20, 280));  // 250 away: half way between 100 and 400
  shot->Set3DFadeDistance(100, 400);
  shot->SetVolume(0.8f);
  shot->SetPitch(1.5f);
  SoundTestEnvironment::Frame(0.01f);
  const ALuint s = SourceOf(shot), f = SourceOf(flat);
  ASSERT_NE(s, 0u);
  ASSERT_NE(f, 0u);
  EXPECT_NE(s, f);
  auto state = [](ALuint src) {
    ALint v = 0;
    alGetSourcei(src, AL_SOURCE_STATE, &v);
    return v;
  };
  auto floatOf = [](ALuint src, ALenum what) {
    ALfloat v = 0;
    alGetSourcef(src, what, &v);
    return v;
  };
  auto intOf = [](ALuint src, ALenum what) {
    ALint v = 0;
    alGetSourcei(src, what, &v);
    return v;
  };

  // The listener on the camera: its place, forward (local x), up (local z) and the
  // master volume.
  ALfloat pos[3] = {}, ori[6] = {}, master = 0;
  alGetListenerfv(AL_POSITION, pos);
  alGetListenerfv(AL_ORIENTATION, ori);
  alGetListenerf(AL_GAIN, &master);
  EXPECT_FLOAT_EQ(pos[0], 10.0f);
  EXPECT_FLOAT_EQ(pos[1], 20.0f);
  EXPECT_FLOAT_EQ(pos[2], 30.0f);
  EXPECT_NEAR(ori[0], 0.0f, 1e-5f);
  EXPECT_NEAR(ori[1], 1.0f, 1e-5f);
  EXPECT_NEAR(ori[5], 1.0f, 1e-5f);
  EXPECT_FLOAT_EQ(master, 0.5f);

  // Placement, gain (volume x distance fade), pitch and looping.
  ALfloat at[3] = {};
  alGetSourcefv(s, AL_POSITION, at);
  EXPECT_FLOAT_EQ(at[2], 280.0f);
  EXPECT_EQ(intOf(s, AL_SOURCE_RELATIVE), AL_FALSE);
  EXPECT_EQ(intOf(f, AL_SOURCE_RELATIVE), AL_TRUE);
  EXPECT_NEAR(floatOf(s, AL_GAIN), 0.4f, 1e-4f);
  EXPECT_FLOAT_EQ(floatOf(s, AL_PITCH), 1.5f);
  EXPECT_EQ(intOf(s, AL_LOOPING), AL_FALSE);
  EXPECT_EQ(intOf(f, AL_LOOPING), AL_TRUE);
  EXPECT_EQ(state(s), AL_PLAYING);

  // Pause, fades, stop and a restart part-way in.
  shot->SetPaused(true);
  flat->FadeTo(0.0f, 1.0f);
  SoundTestEnvironment::Frame(0.25f);
  EXPECT_EQ(state(s), AL_PAUSED);
  EXPECT_NEAR(floatOf(f, AL_GAIN), 0.75f, 1e-4f);
  shot->SetPaused(false);
  SoundTestEnvironment::Frame(0.01f);
  EXPECT_EQ(state(s), AL_PLAYING);
  shot->Stop();
  SoundTestEnvironment::Frame(0.01f);
  EXPECT_EQ(state(s), AL_STOPPED);
  shot->Play(0.5f);
  SoundTestEnvironment::Frame(0.01f);
  EXPECT_EQ(state(s), AL_PLAYING);
  EXPECT_NEAR(floatOf(s, AL_SEC_OFFSET), 0.5f, 0.1f);

  // Instances of one resource share its one decoded buffer.
  VSmartPtr<VSoundObject> again = Sound().CreateSoundInstance("shot.wav", VSOUNDRES_3D | VSOUNDRES_EFFECT, 0);
  SoundTestEnvironment::Frame(0.01f);
  EXPECT_NE(intOf(s, AL_BUFFER), 0);
  EXPECT_EQ(intOf(SourceOf(again), AL_BUFFER), intOf(s, AL_BUFFER));
  // A disposed instance gives its source back.
  flat->DisposeObject();
  SoundTestEnvironment::Frame(0.01f);
  EXPECT_EQ(SourceOf(flat), 0u);
  EXPECT_FALSE(alIsSource(f));
}

TEST(VOpenALBackendOpenTest, WithoutADeviceOneLineIsLoggedAndNothingIsHeard) {
  // A fresh process, so that OpenAL Soft reads a configuration naming no driver.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        const fs::path dir = fs::temp_directory_path() / ("vsound_nodevice_" + std::to_string(getpid()));
        fs::create_directories(dir);
        std::ofstream(dir / "alsoft.conf") << "[general]\ndrivers=nosuchdriver\n";
        setenv("ALSOFT_CONF", (dir / "alsoft.conf").c_str(), 1);
        setenv("ENGINE_AUDIO", "openal", 1);
        bool ok = false;
        {
          LogCapture log;
          SoundTestEnvironment env;
          VSmartPtr<VSoundObject> s = VSoundManager::GlobalManager().CreateSoundInstance("sounds\\click.wav", 0, 0);
          SoundTestEnvironment::Frame(0.05f);
          ok = std::string(VSoundManager::GlobalManager().GetBackendName()) == "null" && s && s->IsPlaying() &&
               log.Matching("OpenAL").size() == 1 && log.Contains("nothing is heard");
        }
        fs::remove_all(dir);
        std::exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
