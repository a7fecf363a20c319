// The sound listener: it sits on the main camera or an object, and 3D sounds fade
// with their distance from it. The headless back end keeps every value.
#include "support/LogCapture.h"
#include "support/ScopedEnv.h"
#include "support/SoundTestEnvironment.h"

#include "engine/core/VisCallbacks.h"
#include "engine/core/VisRenderContext.h"
#include "engine/core/VisTypedEngineObject.h"

#include <gtest/gtest.h>

namespace {

void ExpectNear(const VisVector_cl& a, const VisVector_cl& b) {
  EXPECT_NEAR(a.x, b.x, 1e-4f);
  EXPECT_NEAR(a.y, b.y, 1e-4f);
  EXPECT_NEAR(a.z, b.z, 1e-4f);
}

class VSoundListenerTest : public ::testing::Test {
 protected:
  ~VSoundListenerTest() override {
    // The camera and the listener back at the origin facing +x for the next test.
    Vision::Camera.Detach();
    Vision::Camera.SetPosition(VisVector_cl(0, 0, 0));
    Vision::Camera.SetRotationMatrix(VisMatrix3x3_cl());
    Sound().SetListenerCamera(&Vision::Camera);
    Sound().SetListenerCamera(nullptr);
  }
  static VSoundManager& Sound() { return VSoundManager::GlobalManager(); }
  SoundTestEnvironment env;
};

TEST_F(VSoundListenerTest, TheListenerSitsOnTheMainCameraAndMovesWithIt) {
  VisObject3D_cl cameraEntity;
  cameraEntity.SetPosition(VisVector_cl(30, 0, 400));
  cameraEntity.SetOrientation(90, 0, 0);
  Vision::Camera.AttachToEntity(&cameraEntity, VisVector_cl(0, 0, 0));
  Sound().SetListenerCamera(&Vision::Camera);
  EXPECT_EQ(Sound().GetListenerCamera(), &Vision::Camera);
  ExpectNear(Sound().GetListenerPosition(), VisVector_cl(30, 0, 400));
  ExpectNear(Sound().GetListenerRotation().GetColumn(0), VisVector_cl(0, 1, 0));  // facing +y

  // The camera follows its entity each frame, the listener with it.
  cameraEntity.SetPosition(VisVector_cl(-5, 12, 80));
  cameraEntity.SetOrientation(180, 0, 0);
  Vision::Camera.Update();
  ExpectNear(Sound().GetListenerPosition(), VisVector_cl(-5, 12, 80));
  ExpectNear(Sound().GetListenerRotation().GetColumn(0), VisVector_cl(-1, 0, 0));
  ExpectNear(Sound().GetListenerRotation().GetColumn(2), VisVector_cl(0, 0, 1));
  Vision::Camera.Detach();
}

TEST_F(VSoundListenerTest, AnObjectListenerIsFollowedUntilTheWorldDestroysIt) {
  VisObject3D_cl ear;
  ear.SetPosition(VisVector_cl(1, 2, 3));
  Sound().SetListenerObject(&ear);
  EXPECT_EQ(Sound().GetListenerCamera(), nullptr);
  ear.SetPosition(VisVector_cl(4, 5, 6));
  ear.SetOrientation(-90, 0, 0);
  ExpectNear(Sound().GetListenerPosition(), VisVector_cl(4, 5, 6));
  ExpectNear(Sound().GetListenerRotation().GetColumn(0), VisVector_cl(0, -1, 0));

  // Another object's end changes nothing; its own leaves the listener where it was.
  VisObject3D_cl other;
  VisObjectDataObject_cl otherGone(&Vision::Callbacks.OnObjectDestroyed, &other);
  Vision::Callbacks.OnObjectDestroyed.TriggerCallbacks(&otherGone);
  EXPECT_EQ(Sound().GetListenerObject(), &ear);
  VisObjectDataObject_cl gone(&Vision::Callbacks.OnObjectDestroyed, &ear);
  Vision::Callbacks.OnObjectDestroyed.TriggerCallbacks(&gone);
  EXPECT_EQ(Sound().GetListenerObject(), nullptr);
  ear.SetPosition(VisVector_cl(100, 100, 100));
  ExpectNear(Sound().GetListenerPosition(), VisVector_cl(4, 5, 6));
  ExpectNear(Sound().GetListenerRotation().GetColumn(0), VisVector_cl(0, -1, 0));
}

TEST_F(VSoundListenerTest, ThreeDimensionalFadesAreMeasuredFromTheListener) {
  // Near 100, far 400: full up to 100, a straight line down to 0 at 400.
  struct Case {
    float distance;
    float fade;
  } cases[] = {{0, 1}, {100, 1}, {250, 0.5f}, {340, 0.2f}, {400, 0}, {900, 0}};
  VisObject3D_cl ear;
  ear.SetPosition(VisVector_cl(1000, -300, 50));
  Sound().SetListenerObject(&ear);
  Sound().SetMasterVolume(0.5f);
  VSmartPtr<VSoundObject> shot =
      Sound().CreateSoundInstance("sounds\\cannon_02.wav", VSOUNDRES_3D | VSOUNDRES_EFFECT, VSOUND_LOOPED);
  VSmartPtr<VSoundObject> flat = Sound().CreateSoundInstance("sounds\\click.wav", VSOUNDRES_EFFECT, VSOUND_LOOPED);
  ASSERT_TRUE(shot && flat);
  shot->Set3DFadeDistance(100, 400);
  shot->SetVolume(0.8f);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.distance);
    // Placed relative to the listener, not the origin.
    shot->SetPosition(ear.GetPosition() + VisVector_cl(0, c.distance, 0));
    EXPECT_NEAR(shot->GetDistanceFade(), c.fade, 1e-5f);
    EXPECT_NEAR(shot->GetAudibleVolume(), 0.8f * c.fade * 0.5f, 1e-5f);
  }
  // The listener moving changes the fade; the volume the game set stays.
  shot->SetPosition(VisVector_cl(0, 0, 0));
  ear.SetPosition(VisVector_cl(0, 0, 250));
  EXPECT_NEAR(shot->GetDistanceFade(), 0.5f, 1e-5f);
  EXPECT_FLOAT_EQ(shot->GetVolume(), 0.8f);
  // A sound that is not 3D does not fade with distance.
  flat->SetPosition(VisVector_cl(5000, 0, 0));
  EXPECT_FLOAT_EQ(flat->GetDistanceFade(), 1.0f);
  // Far not beyond near: full inside near, silent outside, no division by zero.
  shot->Set3DFadeDistance(300, 300);
  EXPECT_FLOAT_EQ(shot->GetDistanceFade(), 1.0f);
  shot->Set3DFadeDistance(100, 50);
  EXPECT_FLOAT_EQ(shot->GetDistanceFade(), 0.0f);
  Sound().SetListenerObject(nullptr);
}

TEST_F(VSoundListenerTest, PitchMovesThePlayPosition) {
  VSmartPtr<VSoundObject> s = Sound().CreateSoundInstance("sounds\\kraken_idle.wav", 0, VSOUND_LOOPED);  // 1 s
  s->SetPitch(2.0f);
  s->SetPitch(0.0f);  // refused: a rate must be above 0
  EXPECT_FLOAT_EQ(s->GetPitch(), 2.0f);
  SoundTestEnvironment::Frame(0.25f);
  EXPECT_FLOAT_EQ(s->GetPlayPosition(), 0.5f);
  const unsigned seeks = s->GetSeekCount();
  s->Play(0.25f);
  EXPECT_EQ(s->GetSeekCount(), seeks + 1);
}

TEST_F(VSoundListenerTest, HeadlessTheBackEndIsNullUnlessAsked) {
  struct Case {
    const char* audio;
    const char* video;
    bool warns;
  } cases[] = {{nullptr, nullptr, false}, {"null", "gl", false}, {"loud", nullptr, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.audio ? c.audio : "(unset)");
    Sound().SetInitialized(false);
    ScopedEnv audio("ENGINE_AUDIO", c.audio);
    ScopedEnv video("ENGINE_VIDEO", c.video);
    LogCapture log;
    Sound().SetInitialized(true);
    EXPECT_STREQ(Sound().GetBackendName(), "null");
    EXPECT_EQ(Sound().GetBackend(), nullptr);
    EXPECT_EQ(log.Contains("ENGINE_AUDIO=loud is unknown"), c.warns);
  }
}

TEST_F(VSoundListenerTest, ASoundAttachedToItsObjectFollowsItAndKeepsTheGamesFlagBits) {
  VisObject3D_cl ear;
  Sound().SetListenerObject(&ear);
  VSmartPtr<VSoundObject> engine =
      Sound().CreateSoundInstance("sounds\\cannon_02.wav", VSOUNDRES_3D | VSOUNDRES_EFFECT, VSOUND_LOOPED);
  ASSERT_TRUE(engine);
  engine->Set3DFadeDistance(100, 400);
  // Bits the engine gives no meaning stay in the word for the game (a rocket marks its
  // flight sound with bit 16).
  engine->AddStateFlags(1 << 16);
  {
    VisObject3D_cl rocket;
    rocket.SetPosition(VisVector_cl(50, 0, 0));
    engine->SetPosition(rocket.GetPosition());
    engine->AttachToParent(&rocket);
    rocket.SetPosition(VisVector_cl(250, 0, 0));
    ExpectNear(engine->GetPosition(), VisVector_cl(250, 0, 0));
    EXPECT_NEAR(engine->GetDistanceFade(), 0.5f, 1e-5f);
  }
  // The object gone, the sound stays where it last was.
  EXPECT_EQ(engine->GetParent(), nullptr);
  ExpectNear(engine->GetPosition(), VisVector_cl(250, 0, 0));
  EXPECT_NE(engine->GetStateFlags() & (1 << 16), 0);
  Sound().SetListenerObject(nullptr);
}

}  // namespace
