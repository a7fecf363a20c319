// Particle effects, record-only: files shared by name, layer counts over time,
// finishing and removal, layers by name, switches and attachment.
#include "engine/Vision.h"
#include "support/LogCapture.h"
#include "support/ScratchDataFolder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

VisParticleGroupManager_cl& Particles() { return VisParticleGroupManager_cl::GlobalManager(); }

// An effect file made from text (not shared through the manager).
VSmartPtr<VisParticleEffectFile_cl> MakeFile(const char* xml) {
  VSmartPtr<VisParticleEffectFile_cl> f = new VisParticleEffectFile_cl("test.xml");
  EXPECT_TRUE(f->LoadFromXml(xml)) << xml;
  return f;
}

bool IsRunning(const VisParticleEffect_cl* e) {
  for (int i = 0; i < Particles().GetEffectCount(); ++i)
    if (Particles().GetEffect(i) == e) return true;
  return false;
}

class ParticleTest : public ::testing::Test {
 protected:
  ~ParticleTest() override { Particles().RemoveAllEffects(); }
  const VisVector_cl zero{0, 0, 0};
};

TEST_F(ParticleTest, FilesAreSharedByNameAndMissingOrBadFilesGiveNoEffect) {
  ScratchDataFolder data;
  data.Write("particles/smoke.xml", "<particles><layer name=\"a\"/></particles>");
  data.Write("particles/bad_rate.xml", "<particles><layer rate=\"-1\"/></particles>");
  data.Write("particles/bad_start.xml", "<particles><layer start=\"yes\"/></particles>");
  data.Write("particles/bad_root.xml", "<effect/>");
  data.Write("particles/not_xml.xml", "<particles>");

  VisParticleEffectFile_cl* smoke = Particles().LoadFromFile("Particles\\smoke.xml", false);
  ASSERT_NE(smoke, nullptr);
  EXPECT_EQ(Particles().LoadFromFile("\\particles/SMOKE.xml"), smoke);
  VSmartPtr<VisParticleEffectFile_cl> unique = Particles().LoadFromFile("particles/smoke.xml", true);
  EXPECT_NE(unique.GetPtr(), smoke);
  EXPECT_EQ(unique->GetLayerCount(), 1);

  LogCapture log;
  for (const char* f : {"particles/missing.xml", "particles/bad_rate.xml", "particles/bad_start.xml",
                        "particles/bad_root.xml", "particles/not_xml.xml", ""})
    EXPECT_EQ(Particles().LoadFromFile(f), nullptr) << f;
  EXPECT_TRUE(log.Contains("missing.xml not found"));
  EXPECT_TRUE(log.Contains("rate \"-1\""));
  unique = nullptr;
  EXPECT_GE(Particles().PurgeUnusedFiles(), 1);
}

TEST_F(ParticleTest, LayersCountParticlesThatLiveTheirLifetime) {
  // 8 per second at 1/8 s frames: one particle a frame, each living half a second.
  auto file = MakeFile("<particles><layer name=\"a\" rate=\"8\" lifetime=\"0.5\"/>"
                       "<layer name=\"capped\" rate=\"80\" lifetime=\"10\" max=\"15\"/></particles>");
  VSmartPtr<VisParticleEffect_cl> fx = file->CreateParticleEffectInstance(zero, zero);
  std::vector<int> live;
  for (int i = 0; i < 6; ++i) {
    Particles().Tick(0.125f);
    live.push_back(fx->GetLayerByName("a")->GetNumOfParticles());
  }
  EXPECT_EQ(live, (std::vector<int>{1, 2, 3, 4, 4, 4}));
  EXPECT_EQ(fx->GetLayerByName("capped")->GetNumOfParticles(), 15);
  EXPECT_EQ(fx->GetNumOfParticles(), 19);
  EXPECT_DOUBLE_EQ(fx->GetAge(), 0.75);

  // Emission intensity scales the rate; 0 emits nothing and the old ones die out.
  VisParticleLayer_cl* a = fx->GetLayerByName("a");
  a->SetEmissionIntensity(2.0f);
  Particles().Tick(0.125f);
  EXPECT_EQ(a->GetNumOfParticles(), 5);
  a->SetEmissionIntensity(0.0f);
  for (int i = 0; i < 4; ++i) Particles().Tick(0.125f);
  EXPECT_EQ(a->GetNumOfParticles(), 0);
  EXPECT_FALSE(fx->IsFinished()) << "a layer without a duration runs until told";
}

TEST_F(ParticleTest, BurstFinishesByItselfAndLeavesTheSceneWhenNobodyHoldsIt) {
  auto file = MakeFile("<particles><layer rate=\"8\" lifetime=\"0.25\" duration=\"0.25\"/></particles>");
  VisParticleEffect_cl* fireAndForget = file->CreateParticleEffectInstance(zero, zero);
  VSmartPtr<VisParticleEffect_cl> held = file->CreateParticleEffectInstance(zero, zero);
  VSmartPtr<VisParticleEffect_cl> removed = file->CreateParticleEffectInstance(zero, zero);
  removed->SetRemoveWhenFinished(true);

  Particles().Tick(0.125f);
  Particles().Tick(0.125f);
  EXPECT_TRUE(held->IsFinished()) << "its only layer has emitted for all its duration";
  EXPECT_FALSE(held->IsDead());
  EXPECT_EQ(held->GetNumOfParticles(), 2);
  EXPECT_TRUE(IsRunning(fireAndForget));
  Particles().Tick(0.125f);
  Particles().Tick(0.125f);
  EXPECT_TRUE(held->IsDead());
  EXPECT_FALSE(IsRunning(fireAndForget)) << "dead and held by the engine only: gone";
  EXPECT_TRUE(IsRunning(held)) << "someone still holds it";
  EXPECT_FALSE(IsRunning(removed));
  EXPECT_TRUE(removed->IsRemoved());
  EXPECT_FALSE(held->IsRemoved());
}

TEST_F(ParticleTest, SetFinishedStopsEmissionForGoodAndTheParticlesFadeOut) {
  auto file = MakeFile("<particles><layer name=\"a\" rate=\"8\" lifetime=\"0.25\"/></particles>");
  VSmartPtr<VisParticleEffect_cl> fx = file->CreateParticleEffectInstance(zero, zero);
  fx->SetRemoveWhenFinished(true);
  Particles().Tick(0.125f);
  Particles().Tick(0.125f);
  fx->SetFinished();
  EXPECT_TRUE(fx->IsFinished());
  EXPECT_FALSE(fx->IsDead());
  fx->GetLayerByName("a")->Start();  // too late: the effect has ended
  Particles().Tick(0.125f);
  EXPECT_EQ(fx->GetNumOfParticles(), 1);
  Particles().Tick(0.125f);
  EXPECT_TRUE(fx->IsRemoved());
  EXPECT_EQ(fx->GetNumOfParticles(), 0);
}

TEST_F(ParticleTest, LayersByNameStartAndStopAndPauseHoldsEverything) {
  ScratchDataFolder data;
  data.Write("particles/damage_smoke.xml",
             "<particles><layer name=\"damage_10\" rate=\"8\" lifetime=\"1\" start=\"0\"/>"
             "<layer name=\"damage_90\" rate=\"8\" lifetime=\"1\" start=\"0\"/></particles>");
  VisParticleEffectFile_cl* file = Particles().LoadFromFile("particles/damage_smoke.xml");
  ASSERT_NE(file, nullptr);
  VSmartPtr<VisParticleEffect_cl> fx = file->CreateParticleEffectInstance(zero, zero);
  EXPECT_EQ(fx->GetLayerCount(), 2);
  EXPECT_EQ(fx->GetLayerByName("damage_50"), nullptr);
  VisParticleLayer_cl* low = fx->GetLayerByName("damage_10");
  VisParticleLayer_cl* high = fx->GetLayerByName("damage_90");
  Particles().Tick(0.125f);
  EXPECT_EQ(fx->GetNumOfParticles(), 0) << "all layers start stopped";

  low->Start();
  Particles().Tick(0.125f);
  EXPECT_TRUE(low->IsRunning());
  EXPECT_EQ(low->GetNumOfParticles(), 1);
  EXPECT_EQ(high->GetNumOfParticles(), 0);

  fx->SetPause(true);
  Particles().Tick(0.125f);
  EXPECT_EQ(low->GetNumOfParticles(), 1);
  EXPECT_DOUBLE_EQ(fx->GetAge(), 0.25);
  fx->SetPause(false);
  high->Start();
  low->SetPause(true);
  Particles().Tick(0.125f);
  EXPECT_EQ(low->GetNumOfParticles(), 1) << "a paused layer is held";
  EXPECT_EQ(high->GetNumOfParticles(), 1);

  low->SetPause(false);
  low->Stop();
  Particles().Tick(0.125f);
  EXPECT_FALSE(low->IsRunning());
  EXPECT_EQ(low->GetNumOfParticles(), 1) << "the particles alive live on after Stop";
}

TEST_F(ParticleTest, EffectsFollowTheObjectTheyAreAttachedToAndKeepTheirSwitches) {
  auto file = MakeFile("<particles><layer/></particles>");
  VSmartPtr<VisParticleEffect_cl> fx =
      file->CreateParticleEffectInstance(VisVector_cl(1, 2, 3), VisVector_cl(90, 0, 0), 2.0f);
  EXPECT_TRUE(fx->GetPosition().IsEqual(VisVector_cl(1, 2, 3), 1e-6f));
  EXPECT_FLOAT_EQ(fx->GetOrientation().x, 90.0f);
  EXPECT_FLOAT_EQ(fx->GetScaling(), 2.0f);

  VisBaseEntity_cl ship;
  ship.SetPosition(VisVector_cl(100, 0, 0));
  fx->AttachToParent(&ship);
  fx->SetLocalPosition(VisVector_cl(7.5f, 0, 0));
  EXPECT_TRUE(fx->GetPosition().IsEqual(VisVector_cl(107.5f, 0, 0), 1e-5f));
  ship.SetPosition(VisVector_cl(200, 10, 0));
  EXPECT_TRUE(fx->GetPosition().IsEqual(VisVector_cl(207.5f, 10, 0), 1e-5f));

  // The game walks the running effects to find those on an entity.
  int onShip = 0;
  for (int i = 0; i < Particles().GetEffectCount(); ++i)
    if (Particles().GetEffect(i)->GetParent() == &ship) ++onShip;
  EXPECT_EQ(onShip, 1);

  fx->DetachFromParent();
  ship.SetPosition(VisVector_cl(0, 0, 0));
  EXPECT_TRUE(fx->GetPosition().IsEqual(VisVector_cl(207.5f, 10, 0), 1e-5f));

  fx->SetColor(VColorRef(255, 187, 85, 255));
  fx->SetVisible(false);
  fx->SetHandleWhenVisible(false);
  EXPECT_TRUE(fx->GetColor() == VColorRef(255, 187, 85, 255));
  EXPECT_FALSE(fx->IsVisible());
  EXPECT_FALSE(fx->GetHandleWhenVisible());

  // Taken out of the scene while attached: it lets go of the parent.
  fx->AttachToParent(&ship);
  Particles().RemoveAllEffects();
  EXPECT_EQ(fx->GetParent(), nullptr);
  EXPECT_EQ(ship.GetNumChildren(), 0);
}

}  // namespace
