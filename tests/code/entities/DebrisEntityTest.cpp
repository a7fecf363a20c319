// Wreckage: left to the physics above the water, one splash where it meets the sea,
// then sinking ever faster until it is gone below -10; a pause holds it.
#include "entities/DebrisEntity.h"

#include "Managers/PauseManager.h"

#include "engine/Vision.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/physics/vPhysXModule.h"
#include "engine/physics/vPhysXRigidBody.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

const float kDt = 1.0f / 60.0f;

class DebrisEntityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data");
    Vision::Timer.Reset();
    Vision::Timer.SetFixedTimeStep(kDt);
    Vision::Timer.SetMaxTimeDifference(0.0f);
  }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    Vision::Game.FreeRemovedEntities();
    VisParticleGroupManager_cl::GlobalManager().RemoveAllEffects();
    if (physics) {
      vPhysXModule::SetInstance(nullptr);
      physics.reset();
    }
    PauseManager::CleanInstance();
    Vision::Timer.SetFixedTimeStep(0.0f);
    Vision::File.RemoveAllDataDirectories();
  }

  static DebrisEntity* MakeDebris(const VisVector_cl& at, bool withBody) {
    auto* debris = static_cast<DebrisEntity*>(
        Vision::Game.CreateEntity("DebrisEntity", at, "Models\\props\\debris\\debris_plank_01.Model"));
    if (debris && withBody) {
      auto* body = new vPhysXRigidBody();
      body->Initialize();
      body->SetShapeType(VPHYSX_SHAPETYPE_CONVEX);
      debris->AddComponent(body);
    }
    return debris;
  }
  static bool HasBody(DebrisEntity* debris) {
    return debris->GetComponentOfType(vPhysXRigidBody::GetClassTypeId()) != nullptr;
  }
  static int Splashes() {
    VisParticleGroupManager_cl& effects = VisParticleGroupManager_cl::GlobalManager();
    int n = 0;
    for (int i = 0; i < effects.GetEffectCount(); ++i) {
      const VisParticleEffectFile_cl* file = effects.GetEffect(i)->GetSourceEffect();
      n += file && std::string(file->GetFilename()).find("debris_splash_01") != std::string::npos;
    }
    return n;
  }
  static bool Alive(const VisBaseEntity_cl* entity) {
    for (VisBaseEntity_cl* e : Vision::Game.GetEntities())
      if (e == entity && !e->IsMarkedRemoved()) return true;
    return false;
  }
  void Frame() {
    Vision::Timer.Update();
    if (physics) {
      physics->OnRunPhysics(kDt);
      physics->FetchPhysicsResults();
    }
    Vision::Game.RunThinkFunctions();
    Vision::Game.FreeRemovedEntities();
  }

  std::unique_ptr<vPhysXModule> physics;
};

TEST_F(DebrisEntityTest, AboveTheWaterItIsLeftAlone) {
  DebrisEntity* debris = MakeDebris(VisVector_cl(3, 4, 0.5f), true);
  ASSERT_NE(debris, nullptr);
  for (int i = 0; i < 30; ++i) Frame();
  EXPECT_TRUE(HasBody(debris));
  EXPECT_EQ(Splashes(), 0);
  EXPECT_FLOAT_EQ(debris->GetPosition().z, 0.5f);
  EXPECT_FLOAT_EQ(debris->GetSinkSpeed(), 0.15f);
}

TEST_F(DebrisEntityTest, AtTheSeaItSplashesOnceAndSinksEverFasterUntilItIsGone) {
  DebrisEntity* debris = MakeDebris(VisVector_cl(3, 4, 0.0f), true);
  ASSERT_NE(debris, nullptr);
  Frame();
  EXPECT_FALSE(HasBody(debris));
  EXPECT_EQ(Splashes(), 1);
  EXPECT_LT(debris->GetPosition().z, 0.0f);

  float speed = debris->GetSinkSpeed();
  float z = debris->GetPosition().z;
  int frames = 1;
  while (Alive(debris) && frames < 20 * 60) {
    Frame();
    ++frames;
    if (!Alive(debris)) break;
    EXPECT_GT(debris->GetSinkSpeed(), speed) << frames;
    EXPECT_LT(debris->GetPosition().z, z) << frames;
    speed = debris->GetSinkSpeed();
    z = debris->GetPosition().z;
    EXPECT_GE(z, -10.0f);
  }
  EXPECT_FALSE(Alive(debris));
  // Some seconds: the sinking speeds up with the depth.
  EXPECT_GT(frames, 5 * 60);
  EXPECT_LT(frames, 15 * 60);
  EXPECT_EQ(Splashes(), 1);
}

TEST_F(DebrisEntityTest, APauseHoldsItWhereItIs) {
  DebrisEntity* debris = MakeDebris(VisVector_cl(0, 0, -2.0f), false);
  PauseManager::GetInstance()->SetGamePause(true);
  for (int i = 0; i < 10; ++i) Frame();
  EXPECT_FLOAT_EQ(debris->GetPosition().z, -2.0f);
  PauseManager::GetInstance()->SetGamePause(false);
  Frame();
  EXPECT_LT(debris->GetPosition().z, -2.0f);
  // Without a body there is nothing to splash.
  EXPECT_EQ(Splashes(), 0);
}

TEST_F(DebrisEntityTest, ThrowingGivesTheBodyItsVelocityAndWithoutOneDoesNothing) {
  DebrisEntity* bare = MakeDebris(VisVector_cl(0, 0, 5), false);
  bare->Throw(VisVector_cl(0, 0, 5), VisVector_cl(1, 2, 3));
  EXPECT_EQ(bare->GetPhysicsObject(), nullptr);
  EXPECT_TRUE(bare->GetPosition().IsEqual(VisVector_cl(0, 0, 5), 1e-6f));

  DebrisEntity* thrown = MakeDebris(VisVector_cl(0, 0, 5), true);
  thrown->Throw(VisVector_cl(9, 9, 9), VisVector_cl(1, 2, 3));
  auto* body = static_cast<vPhysXRigidBody*>(thrown->GetComponentOfType(vPhysXRigidBody::GetClassTypeId()));
  EXPECT_TRUE(body->GetVelocity().IsEqual(VisVector_cl(1, 2, 3), 1e-6f));
  // The position argument moves nothing.
  EXPECT_TRUE(thrown->GetPosition().IsEqual(VisVector_cl(0, 0, 5), 1e-6f));
}

TEST_F(DebrisEntityTest, AThrownBitFallsIntoTheSeaAndGoesDown) {
  physics = std::make_unique<vPhysXModule>();
  vPhysXModule::SetInstance(physics.get());
  physics->SetPhysicsTickCount(60, 8);
  DebrisEntity* debris = MakeDebris(VisVector_cl(0, 0, 4), true);
  debris->Throw(VisVector_cl(0, 0, 4), VisVector_cl(2, 0, 3));
  Frame();
  EXPECT_GT(debris->GetPosition().z, 4.0f);
  EXPECT_GT(debris->GetPosition().x, 0.0f);
  int frames = 0;
  while (HasBody(debris) && frames++ < 5 * 60) Frame();
  EXPECT_FALSE(HasBody(debris));
  EXPECT_EQ(Splashes(), 1);
  while (Alive(debris) && frames++ < 30 * 60) Frame();
  EXPECT_FALSE(Alive(debris));
  EXPECT_EQ(Splashes(), 1);
}

}  // namespace
