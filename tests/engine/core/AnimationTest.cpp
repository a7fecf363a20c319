// Skeletal animation: sequences started by name, play positions, events delivered
// to the entities that play them, poses, animation files and bone proxies.
#include "engine/Vision.h"
#include "support/LogCapture.h"
#include "support/ScopedEnv.h"
#include "support/ScratchDataFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

const char* const kModel = R"(<model>
  <bone name="root" position="0/0/0"/>
  <bone name="arm" parent="root" position="1/0/0"/>
  <bone name="hand" parent="arm" position="2/0/0"/>
  <bone name="tilted" parent="root" position="0/0/1" rotation="90/0/0"/>
  <sequence name="Walk" length="1.0">
    <event time="0" name="step_a"/>
    <event time="0.5" name="step_b"/>
    <event time="1.0" name="cycle_end"/>
  </sequence>
  <sequence name="Die" length="0.5"><event time="0.5" name="end"/></sequence>
  <sequence name="Swing" length="1.0">
    <key bone="arm" time="0" rotation="0/0/0"/>
    <key bone="ARM" time="1" rotation="90/0/0"/>
  </sequence>
  <sequence name="Blink" type="vertex" length="1"/>
</model>)";

VDynamicMesh* MakeMesh(const char* xml = kModel) {
  VDynamicMesh* mesh = new VDynamicMesh("test.model");
  EXPECT_TRUE(mesh->LoadFromXml(xml));
  return mesh;
}

// Records the animation events it receives.
class Listener : public VisBaseEntity_cl {
 public:
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override {
    if (id == VIS_MSG_ANIMATION_EVENT) {
      EXPECT_EQ(p2, 0);
      const char* name = Vision::Animations.GetEventString((int)p1);
      events.push_back(name ? name : "?");
      ids.push_back(p1);
    }
    VisBaseEntity_cl::MessageFunction(id, p1, p2);
  }
  std::vector<std::string> events;
  std::vector<INT_PTR> ids;
};

void Frames(int n, float dt) {
  for (int i = 0; i < n; ++i) Vision::Animations.Update(dt);
}

using Names = std::vector<std::string>;

TEST(AnimationStartTest, SequencesStartByNameAndReportWhatCannotStart) {
  VSmartPtr<VDynamicMesh> mesh = MakeMesh();
  Listener e;
  EXPECT_EQ(VisAnimConfig_cl::StartSkeletalAnimation(&e, "Walk"), nullptr) << "no model";

  e.SetMesh(mesh);
  VisSkeletalAnimControl_cl* walk = VisAnimConfig_cl::StartSkeletalAnimation(&e, "walk");
  ASSERT_NE(walk, nullptr) << "names are found without regard to case";
  EXPECT_STREQ(walk->GetSequence()->GetName(), "Walk");
  EXPECT_EQ(e.GetAnimConfig()->GetSkeletalAnimControl(), walk);
  EXPECT_TRUE(walk->IsLooped());
  EXPECT_FLOAT_EQ(walk->GetSpeed(), 1.0f);

  // The caller falls back to another name; a refused start leaves the animation as it was.
  VisAnimConfig_cl* before = e.GetAnimConfig();
  for (const char* missing : {"Run", "Blink", "", static_cast<const char*>(nullptr)})
    EXPECT_EQ(VisAnimConfig_cl::StartSkeletalAnimation(&e, missing), nullptr) << (missing ? missing : "null");
  EXPECT_EQ(e.GetAnimConfig(), before);
  EXPECT_NE(VisAnimConfig_cl::StartSkeletalAnimation(&e, "Die", VANIMCTRL_PLAY_ONCE), nullptr);
  EXPECT_NE(e.GetAnimConfig(), before);

  VSmartPtr<VDynamicMesh> boneless = MakeMesh("<model><sequence name=\"Walk\" length=\"1\"/></model>");
  Listener plain;
  plain.SetMesh(boneless);
  EXPECT_EQ(VisAnimConfig_cl::StartSkeletalAnimation(&plain, "Walk"), nullptr) << "no skeleton";
  EXPECT_EQ(VisAnimConfig_cl::CreateSkeletalConfig(boneless), nullptr);
}

TEST(AnimationStartTest, LoopedAndOncePlayedSequencesAdvanceAtTheirSpeed) {
  VSmartPtr<VDynamicMesh> mesh = MakeMesh();
  struct Case {
    unsigned flags;
    float speed;
    int frames;
    float position;
    bool stopped;
  } cases[] = {
      {VANIMCTRL_LOOP, 1.0f, 3, 0.75f, false},
      {VANIMCTRL_LOOP, 2.0f, 3, 0.5f, false},        // wrapped once
      {VANIMCTRL_PLAY_ONCE, 1.0f, 5, 1.0f, true},    // stops at its end
      {VANIMCTRL_PLAY_ONCE, 0.5f, 3, 0.375f, false},
      {VANIMCTRL_LOOP, -1.0f, 3, 0.0f, false},       // a negative speed counts as 0
  };
  for (const Case& c : cases) {
    Listener e;
    e.SetMesh(mesh);
    VisSkeletalAnimControl_cl* ctrl = VisAnimConfig_cl::StartSkeletalAnimation(&e, "Walk", c.flags, c.speed);
    ASSERT_NE(ctrl, nullptr);
    Frames(c.frames, 0.25f);
    EXPECT_FLOAT_EQ(ctrl->GetCurrentSequencePosition(), c.position) << c.flags << " " << c.speed;
    EXPECT_EQ(ctrl->IsStopped(), c.stopped) << c.flags << " " << c.speed;
  }
}

TEST(AnimationStartTest, StopPlayAndPausedConfigurationsHoldThePosition) {
  VSmartPtr<VDynamicMesh> mesh = MakeMesh();
  Listener e;
  e.SetMesh(mesh);
  VisSkeletalAnimControl_cl* ctrl = VisAnimConfig_cl::StartSkeletalAnimation(&e, "Walk");
  Frames(1, 0.25f);
  ctrl->Stop();
  Frames(2, 0.25f);
  EXPECT_FLOAT_EQ(ctrl->GetCurrentSequencePosition(), 0.25f);
  ctrl->Play(false);
  Frames(1, 0.25f);
  EXPECT_FLOAT_EQ(ctrl->GetCurrentSequencePosition(), 0.5f);

  e.GetAnimConfig()->SetPause(true);
  Frames(2, 0.25f);
  EXPECT_FLOAT_EQ(ctrl->GetCurrentSequencePosition(), 0.5f);
  // A control also feeding an unpaused configuration keeps running.
  VSmartPtr<VisAnimConfig_cl> other = VisAnimConfig_cl::CreateSkeletalConfig(mesh);
  other->GetFinalResult()->SetSkeletalAnimInput(ctrl);
  Frames(1, 0.25f);
  EXPECT_FLOAT_EQ(ctrl->GetCurrentSequencePosition(), 0.75f);

  ctrl->Play(true);
  EXPECT_FLOAT_EQ(ctrl->GetCurrentSequencePosition(), 0.0f);
}

TEST(AnimationStartTest, RandomStartPointComesFromTheEngineRandomSource) {
  VSmartPtr<VDynamicMesh> mesh = MakeMesh();
  Listener e;
  e.SetMesh(mesh);
  VSeedRandom(4711);
  const float expected = (float)VRandomInt() / 32767.0f * 0.5f;
  VSeedRandom(4711);
  VisSkeletalAnimControl_cl* ctrl =
      VisAnimConfig_cl::StartSkeletalAnimation(&e, "Die", VANIMCTRL_LOOP | VANIMCTRL_RANDOM_START);
  ASSERT_NE(ctrl, nullptr);
  EXPECT_FLOAT_EQ(ctrl->GetCurrentSequencePosition(), expected);
  EXPECT_GT(expected, 0.0f);

  ctrl->SetCurrentSequencePosition(7.0f);
  EXPECT_FLOAT_EQ(ctrl->GetCurrentSequencePosition(), 0.5f) << "clamped to the length";
}

TEST(AnimationEventTest, EventIdsAreIndicesWithBit31AndRegisteredOnce) {
  const int before = Vision::Animations.GetEventCount();
  const std::string name = "anim_test_event_" + std::to_string(before);  // new in this run
  const int id = Vision::Animations.RegisterEvent(name.c_str());
  EXPECT_EQ(id & 0x80000000, (int)0x80000000);
  EXPECT_EQ(id & 0x7fffffff, before) << "the index in the run's list";
  EXPECT_EQ(Vision::Animations.RegisterEvent(name.c_str()), id);
  EXPECT_EQ(Vision::Animations.GetEventCount(), before + 1);
  EXPECT_EQ(Vision::Animations.GetEventID(name.c_str()), id);
  EXPECT_STREQ(Vision::Animations.GetEventString(id), name.c_str());

  EXPECT_EQ(Vision::Animations.RegisterEvent(""), 0);
  EXPECT_EQ(Vision::Animations.RegisterEvent(nullptr), 0);
  EXPECT_EQ(Vision::Animations.GetEventID("anim_test_never_registered"), 0);
  EXPECT_EQ(Vision::Animations.GetEventString(id & 0x7fffffff), nullptr) << "bit 31 missing";
  EXPECT_EQ(Vision::Animations.GetEventString(id + 1000), nullptr);
}

TEST(AnimationEventTest, LoopedEventsComeOncePerPassWithTheIdAsFirstParameter) {
  VSmartPtr<VDynamicMesh> mesh = MakeMesh();
  Listener e;
  e.SetMesh(mesh);
  VisAnimConfig_cl::StartSkeletalAnimation(&e, "Walk")->AddEventListener(&e);
  Frames(16, 0.125f);  // two passes; the third begins on the last frame
  EXPECT_EQ(e.events, (Names{"step_a", "step_b", "cycle_end", "step_a", "step_b", "cycle_end", "step_a"}));
  ASSERT_FALSE(e.ids.empty());
  EXPECT_EQ(e.ids[0], (INT_PTR)Vision::Animations.GetEventID("step_a")) << "the int id, widened with its sign";
  EXPECT_LT(e.ids[0], 0);

  // One long frame runs through every pass it covers.
  e.events.clear();
  Frames(1, 2.5f);
  EXPECT_EQ(e.events, (Names{"step_b", "cycle_end", "step_a", "step_b", "cycle_end", "step_a", "step_b"}));
}

TEST(AnimationEventTest, OncePlayedSequenceSendsItsEndOnceAndStops) {
  VSmartPtr<VDynamicMesh> mesh = MakeMesh();
  Listener e;
  e.SetMesh(mesh);
  VisSkeletalAnimControl_cl* die = VisAnimConfig_cl::StartSkeletalAnimation(&e, "Die", VANIMCTRL_PLAY_ONCE);
  die->AddEventListener(&e);
  die->AddEventListener(&e);
  EXPECT_EQ(die->GetEventListenerCount(), 1);
  Frames(3, 0.125f);
  EXPECT_TRUE(e.events.empty());
  Frames(5, 0.125f);
  EXPECT_EQ(e.events, (Names{"end"}));
  EXPECT_TRUE(die->IsStopped());
  EXPECT_FLOAT_EQ(die->GetCurrentSequencePosition(), 0.5f);
}

TEST(AnimationEventTest, EventsReachOnlyListenersThatPlayTheControl) {
  VSmartPtr<VDynamicMesh> mesh = MakeMesh();
  Listener a, b, deaf;
  for (Listener* e : {&a, &b, &deaf}) e->SetMesh(mesh);
  VisSkeletalAnimControl_cl* ca = VisAnimConfig_cl::StartSkeletalAnimation(&a, "Walk");
  VisSkeletalAnimControl_cl* cb = VisAnimConfig_cl::StartSkeletalAnimation(&b, "Walk");
  VisAnimConfig_cl::StartSkeletalAnimation(&deaf, "Walk");
  ca->AddEventListener(&a);
  cb->AddEventListener(&b);
  cb->AddEventListener(&a);  // a does not play b's control: it hears nothing of it
  cb->SetCurrentSequencePosition(0.5f);
  Frames(2, 0.125f);
  EXPECT_EQ(a.events, (Names{"step_a"}));
  EXPECT_EQ(b.events, (Names{"step_b"}));
  EXPECT_TRUE(deaf.events.empty()) << "not a listener";
}

TEST(AnimationEventTest, SharedConfigurationDeliversToEachEntityThatPlaysIt) {
  VSmartPtr<VDynamicMesh> mesh = MakeMesh();
  Listener first, second;
  first.SetMesh(mesh);
  second.SetMesh(mesh);
  VSmartPtr<VisAnimConfig_cl> shared = VisAnimConfig_cl::CreateSkeletalConfig(mesh);
  VSmartPtr<VisSkeletalAnimControl_cl> ctrl =
      VisSkeletalAnimControl_cl::Create(mesh->GetSkeleton(), mesh->GetSequenceSetCollection()->GetSequence("Walk"),
                                        VANIMCTRL_LOOP, 1.0f, true);
  ASSERT_TRUE(shared->GetFinalResult()->SetSkeletalAnimInput(ctrl));
  for (Listener* e : {&first, &second}) {
    e->SetAnimConfig(shared);
    ctrl->AddEventListener(e);
  }
  Frames(1, 0.125f);
  EXPECT_EQ(first.events, (Names{"step_a"}));
  EXPECT_EQ(second.events, (Names{"step_a"}));

  // The first one moves on: the shared animation's events stay with the second.
  VisAnimConfig_cl::StartSkeletalAnimation(&first, "Die", VANIMCTRL_PLAY_ONCE);
  Frames(3, 0.125f);
  EXPECT_EQ(first.events, (Names{"step_a"}));
  EXPECT_EQ(second.events, (Names{"step_a", "step_b"}));

  // A destroyed listener is forgotten, never called.
  {
    Listener third;
    third.SetAnimConfig(shared);
    ctrl->AddEventListener(&third);
    EXPECT_EQ(ctrl->GetEventListenerCount(), 3);
  }
  EXPECT_EQ(ctrl->GetEventListenerCount(), 2);
  Frames(4, 0.125f);
  EXPECT_EQ(second.events, (Names{"step_a", "step_b", "cycle_end", "step_a"}));
}

TEST(AnimationEventTest, HandlerMayReplaceTheAnimationWhileEventsGoOut) {
  VSmartPtr<VDynamicMesh> mesh = MakeMesh();
  class Switcher : public Listener {
   public:
    void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override {
      Listener::MessageFunction(id, p1, p2);
      // Dropping the playing control from inside its own event.
      if (id == VIS_MSG_ANIMATION_EVENT) VisAnimConfig_cl::StartSkeletalAnimation(this, "Die", VANIMCTRL_PLAY_ONCE);
    }
  } e;
  e.SetMesh(mesh);
  VisAnimConfig_cl::StartSkeletalAnimation(&e, "Walk")->AddEventListener(&e);
  const int live = Vision::Animations.GetLiveControlCount();
  Frames(1, 1.0f);  // step_a, step_b and cycle_end are due; the first one switches
  EXPECT_EQ(e.events, (Names{"step_a"}));
  Frames(1, 0.0f);
  EXPECT_EQ(Vision::Animations.GetLiveControlCount(), live) << "the old control is gone, the new one lives";
}

TEST(AnimationPoseTest, BonesFollowTheAnimationAndCustomOverrides) {
  VSmartPtr<VDynamicMesh> mesh = MakeMesh();
  Listener e;
  e.SetMesh(mesh);
  e.SetPosition(VisVector_cl(10, 0, 0));
  const int hand = mesh->GetBoneIndexByName("hand");
  VisVector_cl p;
  VisQuaternion_cl q;
  ASSERT_TRUE(e.GetBoneCurrentWorldSpaceTransformation(hand, p, q));
  EXPECT_TRUE(p.IsEqual(VisVector_cl(12, 0, 0), 1e-5f)) << "rest pose";

  VisSkeletalAnimControl_cl* swing = VisAnimConfig_cl::StartSkeletalAnimation(&e, "Swing", VANIMCTRL_PLAY_ONCE);
  Frames(1, 0.5f);  // the arm has turned 45 degrees about z, carrying the hand
  ASSERT_TRUE(e.GetBoneCurrentWorldSpaceTransformation(hand, p, q));
  const float h = std::sqrt(0.5f);
  EXPECT_TRUE(p.IsEqual(VisVector_cl(11 + h, h, 0), 1e-4f)) << p.x << " " << p.y;
  Frames(1, 0.5f);
  ASSERT_TRUE(e.GetBoneCurrentWorldSpaceTransformation(hand, p, q));
  EXPECT_TRUE(p.IsEqual(VisVector_cl(11, 1, 0), 1e-4f)) << p.x << " " << p.y;
  EXPECT_TRUE(q.ToMatrix().GetColumn(0).IsEqual(VisVector_cl(0, 1, 0), 1e-4f)) << "the hand turned with the arm";
  EXPECT_TRUE(swing->IsStopped());

  // Custom bone poses (a ragdoll) replace the animation's; the bones below follow.
  VisAnimFinalSkeletalResult_cl* result = e.GetAnimConfig()->GetFinalResult();
  EXPECT_TRUE(result->SetCustomBoneRotation(mesh->GetBoneIndexByName("arm"), VisQuaternion_cl()));
  EXPECT_TRUE(result->SetCustomBoneTranslation(mesh->GetBoneIndexByName("arm"), VisVector_cl(0, 0, 5)));
  EXPECT_FALSE(result->SetCustomBoneRotation(99, VisQuaternion_cl()));
  ASSERT_TRUE(e.GetBoneCurrentWorldSpaceTransformation(hand, p, q));
  EXPECT_TRUE(p.IsEqual(VisVector_cl(11, 0, 5), 1e-4f)) << p.x << " " << p.y << " " << p.z;
  result->ClearCustomBoneTransformations();
  ASSERT_TRUE(e.GetBoneCurrentWorldSpaceTransformation(hand, p, q));
  EXPECT_TRUE(p.IsEqual(VisVector_cl(11, 1, 0), 1e-4f));

  // The rest rotation of a bone is part of its world rotation.
  const int tilted = mesh->GetBoneIndexByName("tilted");
  EXPECT_TRUE(mesh->GetSkeleton()->GetBoneRestRotation(tilted).ToMatrix().GetColumn(0).IsEqual(VisVector_cl(0, 1, 0),
                                                                                              1e-5f));
  e.SetOrientation(90, 0, 0);
  ASSERT_TRUE(e.GetBoneCurrentWorldSpaceTransformation(tilted, p, q));
  EXPECT_TRUE(q.ToMatrix().GetColumn(0).IsEqual(VisVector_cl(-1, 0, 0), 1e-4f));
}

TEST(AnimationPoseTest, TrackTimesOutsideTheKeysHoldTheEndKeys) {
  VisSkeletalAnimSequence_cl sequence("Nod", 2.0f);
  VisMatrix3x3_cl turned;
  turned.SetEulerAngles(90, 0, 0);
  sequence.AddKey("head", 0.5f, VisQuaternion_cl());
  sequence.AddKey("head", 1.5f, VisQuaternion_cl::FromMatrix(turned));
  const VisVector_cl x(1, 0, 0);
  // Before the first key, and for a time that is not a number, the first key holds.
  for (float time : {-1.0f, 0.5f, std::nanf("")})
    EXPECT_TRUE(sequence.EvalTrack(0, time).ToMatrix().GetColumn(0).IsEqual(x, 1e-5f)) << time;
  EXPECT_TRUE(sequence.EvalTrack(0, 9.0f).ToMatrix().GetColumn(0).IsEqual(VisVector_cl(0, 1, 0), 1e-5f));
}

TEST(AnimationPoseTest, ControlOfAnotherSkeletonIsRefused) {
  VSmartPtr<VDynamicMesh> a = MakeMesh();
  VSmartPtr<VDynamicMesh> b = MakeMesh();
  VSmartPtr<VisAnimConfig_cl> config = VisAnimConfig_cl::CreateSkeletalConfig(a);
  VSmartPtr<VisSkeletalAnimControl_cl> foreign = VisSkeletalAnimControl_cl::Create(
      b->GetSkeleton(), b->GetSequenceSetCollection()->GetSequence("Walk"), VANIMCTRL_LOOP, 1.0f, true);
  LogCapture log;
  EXPECT_FALSE(config->GetFinalResult()->SetSkeletalAnimInput(foreign));
  EXPECT_EQ(config->GetSkeletalAnimControl(), nullptr);
  EXPECT_TRUE(log.Contains("another skeleton"));
  EXPECT_EQ(VisSkeletalAnimControl_cl::Create(nullptr, nullptr, 0, 1.0f, true), nullptr);
}

TEST(AnimationFileTest, AnimationFilesAreSharedAndReplaceTheModelsSequences) {
  ScratchDataFolder data;
  data.Write("anims/extra.anim", R"(<animation>
      <sequence name="Walk" length="2"><event time="1" name="anim_file_event"/></sequence>
      <sequence name="Wave" length="0.5"/>
    </animation>)");
  data.Write("anims/bad.anim", "<animation><sequence name=\"NoLength\"/></animation>");
  data.Write("anims/wrong.anim", "<scene/>");

  VisAnimSequenceSet_cl* set = Vision::Animations.LoadAnimSequenceSet("anims\\extra.anim");
  ASSERT_NE(set, nullptr);
  EXPECT_EQ(Vision::Animations.LoadAnimSequenceSet("\\ANIMS/Extra.anim"), set) << "one per name";
  EXPECT_EQ(set->GetSequenceCount(), 2);
  EXPECT_NE(set->GetSequence("wave", VIS_MODELANIM_SKELETAL), nullptr);
  EXPECT_EQ(set->GetSequence("wave", VIS_MODELANIM_VERTEX), nullptr);
  {
    LogCapture log;
    for (const char* refused : {"anims/bad.anim", "anims/wrong.anim", "anims/missing.anim"})
      EXPECT_EQ(Vision::Animations.LoadAnimSequenceSet(refused), nullptr) << refused;
    EXPECT_TRUE(log.Contains("NoLength"));
    EXPECT_TRUE(log.Contains("missing.anim"));
  }

  // The model's own set first; a game replaces the sets of a model with its file.
  VSmartPtr<VDynamicMesh> mesh = MakeMesh();
  VisAnimSequenceSetCollection_cl* sets = mesh->GetSequenceSetCollection();
  ASSERT_EQ(sets->GetSequenceSetCount(), 1);
  EXPECT_FLOAT_EQ(sets->GetSequence("Walk", VIS_MODELANIM_SKELETAL)->GetLength(), 1.0f);
  EXPECT_TRUE(sets->Add(set));
  EXPECT_FALSE(sets->Add(set)) << "added once";
  EXPECT_FLOAT_EQ(sets->GetSequence("Walk")->GetLength(), 1.0f) << "earlier sets win";
  sets->Clear();
  sets->Add(set);
  Listener e;
  e.SetMesh(mesh);
  EXPECT_EQ(VisAnimConfig_cl::StartSkeletalAnimation(&e, "Swing"), nullptr);
  VisSkeletalAnimControl_cl* wave = VisAnimConfig_cl::StartSkeletalAnimation(&e, "Wave");
  ASSERT_NE(wave, nullptr);
  EXPECT_FLOAT_EQ(wave->GetSequenceLength(), 0.5f);

  sets->Clear();
  e.SetAnimConfig(nullptr);
  EXPECT_EQ(Vision::Animations.PurgeUnusedSequenceSets(), 1);
}

TEST(AnimationFileTest, ModelWithAMalformedSequenceLoadsWithoutSequences) {
  LogCapture log;
  VSmartPtr<VDynamicMesh> mesh = new VDynamicMesh("broken.model");
  ASSERT_TRUE(mesh->LoadFromXml(R"(<model><bone name="b"/>
      <sequence name="Ok" length="1"/>
      <sequence name="Bad" length="1"><key bone="b" time="x" rotation="0/0/0"/></sequence></model>)"));
  EXPECT_EQ(mesh->GetBoneCount(), 1);
  EXPECT_EQ(mesh->GetSequenceSetCollection()->GetSequenceSetCount(), 0);
  EXPECT_TRUE(log.Contains("<key> needs"));
}

TEST(BoneProxyTest, ProxyCarriesAttachedObjectsWithTheBoneUntilTheEntityGoes) {
  VSmartPtr<VDynamicMesh> mesh = MakeMesh();
  auto* e = new Listener();
  e->SetMesh(mesh);
  VisAnimConfig_cl::StartSkeletalAnimation(e, "Swing", VANIMCTRL_PLAY_ONCE);
  VSmartPtr<VSkeletalBoneProxyObject> proxy = new VSkeletalBoneProxyObject();
  EXPECT_FALSE(proxy->AttachToEntityBone(e, "no such bone"));
  ASSERT_TRUE(proxy->AttachToEntityBone(e, "hand"));
  EXPECT_TRUE(proxy->GetPosition().IsEqual(VisVector_cl(2, 0, 0), 1e-5f)) << "placed at once";

  VisVector_cl ori(0, 0, 0);
  VSmartPtr<VisParticleEffectFile_cl> file = new VisParticleEffectFile_cl("trail");
  ASSERT_TRUE(file->LoadFromXml("<particles><layer name=\"t\"/></particles>"));
  VSmartPtr<VisParticleEffect_cl> trail = file->CreateParticleEffectInstance(VisVector_cl(0, 0, 0), ori);
  trail->AttachToParent(proxy);
  trail->SetLocalPosition(VisVector_cl(0, 0, 0));
  Frames(1, 1.0f);
  EXPECT_TRUE(trail->GetPosition().IsEqual(VisVector_cl(1, 1, 0), 1e-4f))
      << trail->GetPosition().x << " " << trail->GetPosition().y;

  e->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_FALSE(proxy->IsAttachedToBone());
  EXPECT_EQ(proxy->GetEntity(), nullptr);
  Frames(1, 0.1f);
  EXPECT_TRUE(trail->GetPosition().IsEqual(VisVector_cl(1, 1, 0), 1e-4f)) << "stays where the bone was";
  trail->SetFinished();
  VisParticleGroupManager_cl::GlobalManager().RemoveAllEffects();
}

TEST(BoneProxyTest, ProxyNobodyUsesIsDroppedByTheEngine) {
  VSmartPtr<VDynamicMesh> mesh = MakeMesh();
  Listener e;
  e.SetMesh(mesh);
  const int before = Vision::Animations.GetBoneProxyCount();
  VSkeletalBoneProxyObject* proxy = new VSkeletalBoneProxyObject();
  ASSERT_TRUE(proxy->AttachToEntityBone(&e, "arm"));
  VisObject3D_cl child;
  child.AttachToParent(proxy);
  Frames(1, 0.1f);
  EXPECT_EQ(Vision::Animations.GetBoneProxyCount(), before + 1) << "something is attached to it";
  child.DetachFromParent();
  Frames(1, 0.1f);
  EXPECT_EQ(Vision::Animations.GetBoneProxyCount(), before);
}

TEST(AnimationFrameTest, EngineFrameAdvancesAnimationsAndParticles) {
  ScopedEnv step("ENGINE_TIMESTEP", "0.125");
  VisionApp_cl app;
  ASSERT_TRUE(app.InitEngine());
  VSmartPtr<VDynamicMesh> mesh = MakeMesh();
  auto* e = new Listener();  // the world unload frees it
  e->SetMesh(mesh);
  VisAnimConfig_cl::StartSkeletalAnimation(e, "Walk")->AddEventListener(e);
  VSmartPtr<VisParticleEffectFile_cl> file = new VisParticleEffectFile_cl("fx");
  ASSERT_TRUE(file->LoadFromXml("<particles><layer name=\"a\" rate=\"8\" lifetime=\"10\"/></particles>"));
  VSmartPtr<VisParticleEffect_cl> fx = file->CreateParticleEffectInstance(VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0));
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(app.Run());
  EXPECT_EQ(e->events, (Names{"step_a", "step_b"}));
  EXPECT_DOUBLE_EQ(fx->GetAge(), 0.5);
  EXPECT_EQ(fx->GetNumOfParticles(), 4);
  app.DeInitEngine();
  EXPECT_TRUE(fx->IsRemoved()) << "the world unload takes effects out";
}

}  // namespace
