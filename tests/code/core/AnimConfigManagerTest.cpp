// Shared animation configurations on the bundled soldier model: four per model and
// sequence, made once, and events that reach the soldier whose animation raised them.
#include "core/AnimConfigManager.h"
#include "core/RtsManager.h"
#include "util/MathTools.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

class EventRecorder : public VisBaseEntity_cl {
 public:
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override {
    if (id == VIS_MSG_ANIMATION_EVENT) {
      const char* name = Vision::Animations.GetEventString((int)p1);
      events.push_back(name ? name : "?");
    }
    VisBaseEntity_cl::MessageFunction(id, p1, p2);
  }
  std::vector<std::string> events;
};

class AnimConfigManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Vision::File.RemoveAllDataDirectories();
    ASSERT_TRUE(Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data"));
    mesh = Vision::Game.LoadDynamicMesh("Models\\Characters\\Soldier.model");
    ASSERT_NE(mesh.GetPtr(), nullptr);
  }
  void TearDown() override {
    MathTools::SetUseFixedRandom(false);
    Vision::File.RemoveAllDataDirectories();
  }
  static void Frames(int n, float dt) {
    for (int i = 0; i < n; ++i) Vision::Animations.Update(dt);
  }
  VSmartPtr<VDynamicMesh> mesh;
};

TEST_F(AnimConfigManagerTest, SoldierModelHasTheBonesAndSequencesTheSoldierStatesUse) {
  for (const char* bone : {"Bip01", "Bip01 Pelvis", "Bip01 Spine1", "Bip01 Head", "Bip01 L UpperArm",
                           "Bip01 R Forearm", "Bip01 L Hand", "Bip01 R Thigh", "Bip01 L Calf", "Bip01 R Foot",
                           "weapon01", "weapon02"})
    EXPECT_GE(mesh->GetBoneIndexByName(bone), 0) << bone;
  struct Sequence {
    const char* name;
    std::vector<std::string> events;
  } sequences[] = {
      {"Idle", {}},
      {"Run", {"footstep_left", "footstep_right"}},
      {"Attack", {"trail_start", "attack", "trail_end", "end"}},
      {"Attack1", {"trail_start", "attack1", "trail_end", "end"}},
      {"Attack2", {"trail_start", "attack2", "trail_end", "end"}},
      {"Die", {"end"}},
      {"Dizzy", {}},
  };
  for (const Sequence& s : sequences) {
    VisAnimSequence_cl* seq = mesh->GetSequenceSetCollection()->GetSequence(s.name, VIS_MODELANIM_SKELETAL);
    ASSERT_NE(seq, nullptr) << s.name;
    EXPECT_GT(seq->GetLength(), 0.0f) << s.name;
    std::vector<std::string> events;
    for (int i = 0; i < seq->GetEventCount(); ++i)
      events.push_back(Vision::Animations.GetEventString(seq->GetEvent(i).id));
    EXPECT_EQ(events, s.events) << s.name;
  }
  // "Move" is only the fallback name of "Run": the soldier states start "Run".
  EXPECT_EQ(mesh->GetSequenceSetCollection()->GetSequence("Move"), nullptr);
}

TEST_F(AnimConfigManagerTest, FourConfigurationsPerModelAndSequenceAreMadeOnce) {
  AnimConfigManager manager;
  VisBaseEntity_cl soldier;
  soldier.SetMesh(mesh);
  VSeedRandom(99);
  std::set<VisAnimConfig_cl*> seen;
  for (int i = 0; i < 40; ++i) {
    VisAnimConfig_cl* config = manager.GetAnimConfig(&soldier, "Run");
    ASSERT_NE(config, nullptr);
    seen.insert(config);
  }
  EXPECT_EQ(manager.GetCachedKeyCount(), 1);
  EXPECT_EQ(seen.size(), 4u) << "a request picks among the four";
  for (VisAnimConfig_cl* config : seen) {
    VisSkeletalAnimControl_cl* control = config->GetSkeletalAnimControl();
    ASSERT_NE(control, nullptr);
    EXPECT_STREQ(control->GetSequence()->GetName(), "Run");
    EXPECT_TRUE(control->IsLooped());
    EXPECT_GE(control->GetSpeed(), 1.0f);
    EXPECT_LE(control->GetSpeed(), 2.0f);
    EXPECT_NE(config->GetFlags() & VANIMCFG_FLAG_SHARED, 0u);
    EXPECT_EQ(config->GetSkinningMode(), 1);
    EXPECT_EQ(config->GetRefCount(), 1) << "the cache's reference";
  }
  manager.GetAnimConfig(&soldier, "Idle");
  EXPECT_EQ(manager.GetCachedKeyCount(), 2);

  manager.ClearAnimConfigs();
  EXPECT_EQ(manager.GetCachedKeyCount(), 0);
}

TEST_F(AnimConfigManagerTest, MissingSequenceOrModelGivesNullAndCachesNothing) {
  AnimConfigManager manager;
  VisBaseEntity_cl soldier, bare;
  soldier.SetMesh(mesh);
  EXPECT_EQ(manager.GetAnimConfig(&bare, "Run"), nullptr);
  EXPECT_EQ(manager.GetAnimConfig(nullptr, "Run"), nullptr);
  EXPECT_EQ(manager.GetAnimConfig(&soldier, "Wave"), nullptr);
  EXPECT_EQ(manager.GetCachedKeyCount(), 0);

  // The next request tries again: a sequence set added meanwhile is found.
  VSmartPtr<VisAnimSequenceSet_cl> extra = new VisAnimSequenceSet_cl("extra.anim");
  ASSERT_TRUE(extra->LoadFromXml("<animation><sequence name=\"Wave\" length=\"1\"/></animation>"));
  mesh->GetSequenceSetCollection()->Add(extra);
  EXPECT_NE(manager.GetAnimConfig(&soldier, "Wave"), nullptr);
  mesh->GetSequenceSetCollection()->Remove(extra);
}

TEST_F(AnimConfigManagerTest, EventsOfASharedConfigurationReachTheSoldierThatPlaysIt) {
  MathTools::SetUseFixedRandom(true);  // every request picks the first configuration
  AnimConfigManager manager;
  EventRecorder first, second;
  first.SetMesh(mesh);
  second.SetMesh(mesh);
  VisAnimConfig_cl* shared = manager.GetAnimConfig(&first, "Attack");
  ASSERT_NE(shared, nullptr);
  first.SetAnimConfig(shared);
  ASSERT_EQ(manager.GetAnimConfig(&second, "Attack"), shared);
  second.SetAnimConfig(shared);
  VisSkeletalAnimControl_cl* control = shared->GetSkeletalAnimControl();
  control->SetSpeed(1.0f);

  Frames(5, 0.1f);  // past "trail_start" at 0.2 and "attack" at 0.45
  const std::vector<std::string> strike = {"trail_start", "attack"};
  EXPECT_EQ(first.events, strike);
  EXPECT_EQ(second.events, strike) << "not only the soldier that asked first";

  // The first soldier plays something else now: the shared animation's events are
  // no longer its own.
  ASSERT_NE(VisAnimConfig_cl::StartSkeletalAnimation(&first, "Idle"), nullptr);
  Frames(3, 0.1f);
  EXPECT_EQ(first.events, strike);
  EXPECT_EQ(second.events, (std::vector<std::string>{"trail_start", "attack", "trail_end"}));

  // A soldier that is gone is never called again.
  {
    EventRecorder third;
    third.SetMesh(mesh);
    third.SetAnimConfig(manager.GetAnimConfig(&third, "Attack"));
  }
  Frames(3, 0.1f);
  EXPECT_EQ(second.events.back(), "end");
}

TEST_F(AnimConfigManagerTest, EngineDeInitAndTheOwnerEmptyTheCache) {
  AnimConfigManager manager;
  VisBaseEntity_cl soldier;
  soldier.SetMesh(mesh);
  ASSERT_NE(manager.GetAnimConfig(&soldier, "Run"), nullptr);
  Vision::Callbacks.OnEngineDeInit.TriggerCallbacks();
  EXPECT_EQ(manager.GetCachedKeyCount(), 0);

  const int liveBefore = Vision::Animations.GetLiveControlCount();
  RtsManager& rts = RtsManager::GlobalManager();
  AnimConfigManager* owned = rts.GetAnimConfigManager();
  ASSERT_NE(owned, nullptr);
  EXPECT_EQ(rts.GetAnimConfigManager(), owned) << "made on first use";
  owned->GetAnimConfig(&soldier, "Run");
  rts.OneTimeDeInit();  // deletes it with its cache
  EXPECT_EQ(Vision::Animations.GetLiveControlCount(), liveBefore);
}

}  // namespace
