// The harpoon the sloop's special cannon fires on order 53: its launch with barrel
// and rope, sticking in a ship that is not its shooter (which slows the ship until
// the harpoon goes), the pause hold, and floating, sinking and going in the water.
#include "components/AIShipComponent.h"
#include "components/CannonComponent.h"
#include "components/HarpoonComponent.h"
#include "components/ShipMovementComponent.h"
#include "core/ComponentMessages.h"
#include "entities/CannonEntity.h"
#include "entities/ClothEntity.h"
#include "entities/ProjectileEntity.h"
#include "Managers/PauseManager.h"
#include "support/SeaPhysicsTestWorld.h"

#include "engine/core/VisParticleGroupManager.h"
#include "engine/physics/NxActor.h"
#include "engine/physics/vPhysXContactRecord.h"
#include "engine/physics/vPhysXModule.h"
#include "engine/physics/vPhysXRigidBody.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

class HarpoonComponentTest : public SeaPhysicsTestWorld {
 protected:
  void SetUp() override {
    SeaPhysicsTestWorld::SetUp();
    // The player's sloop lies still at the origin, bow along +x: its special cannon
    // faces left (+y) with its muzzle 10 out.
    player = Sloop("Player", 1, VisVector_cl(0, 0, 0), true);
  }
  void TearDown() override {
    PauseManager::GetInstance()->SetGamePause(false);
    SeaPhysicsTestWorld::TearDown();
  }

  ShipEntity* Sloop(const char* name, int nation, const VisVector_cl& at, bool playerShip = false) {
    return StillSloop(name, nation, at, 0.0f, playerShip);
  }
  static ShipMovementComponent* Movement(ShipEntity* ship) { return ship->Components<ShipMovementComponent>(); }

  // Charges for the frames given, then order 53 with the weapon; the harpoon fired.
  ProjectileEntity* Fire(ProjectileType type, int chargeFrames = 0) {
    CannonComponent* cannon = player->GetSpecialCannon();
    EXPECT_NE(cannon, nullptr);
    if (!cannon) return nullptr;
    cannon->SetReloadDelay(0.0f);
    for (int i = 0; i < chargeFrames; ++i) {
      player->SendMsg(VIS_MSG_USER_CANNON_CHARGE_SPECIAL, 0, 0);
      Step();
    }
    power = cannon->GetSpecialPower();
    player->SendMsg(VIS_MSG_USER_CANNON_FIRE_SPECIAL, type, 0);
    StepUntil([&] { return cannon->GetShotsLeft() == 0; }, 60);
    EXPECT_EQ(cannon->GetShotsLeft(), 0);
    return Harpoon();
  }
  static ProjectileEntity* Harpoon() {
    VisBaseEntity_cl* e = Vision::Game.SearchEntity("Harpoon");
    return e && !e->IsMarkedRemoved() && e->IsOfType(ProjectileEntity::GetClassTypeId())
               ? static_cast<ProjectileEntity*>(e)
               : nullptr;
  }
  // A harpoon laid by hand (no cannon): at the place, facing along +y.
  ProjectileEntity* Lay(const VisVector_cl& at, float lifeTime = HarpoonComponent::DEFAULT_LIFE_TIME) {
    auto* p = static_cast<ProjectileEntity*>(Vision::Game.CreateEntity("ProjectileEntity", at));
    p->SetShooter(player);
    p->SetOrientation(90.0f, 0.0f, 0.0f);
    auto* harpoon = new HarpoonComponent();
    harpoon->SetShootPower(0.0f);
    harpoon->SetLifeTime(lifeTime);
    EXPECT_TRUE(p->AddComponent(harpoon));
    return p;
  }
  static HarpoonComponent* Of(ProjectileEntity* p) { return p->Components<HarpoonComponent>(); }

  ShipEntity* player = nullptr;
  float power = 0.0f;
};

TEST_F(HarpoonComponentTest, BothHarpoonShotsLeaveAtTheChargedPowerWithBarrelAndRope) {
  const struct {
    ProjectileType type;
    int chargeFrames;
  } shots[] = {{PROJECTILE_HARPOON, 0}, {PROJECTILE_SLOWINGBARREL, 60}};
  for (const auto& shot : shots) {
    SCOPED_TRACE((int)shot.type);
    ProjectileEntity* harpoon = Fire(shot.type, shot.chargeFrames);
    ASSERT_NE(harpoon, nullptr);
    HarpoonComponent* component = Of(harpoon);
    ASSERT_NE(component, nullptr);
    EXPECT_FLOAT_EQ(component->GetShootPower(), power);
    EXPECT_GT(power, shot.chargeFrames ? 40.0f : 19.0f);
    EXPECT_FLOAT_EQ(player->GetSpecialCannon()->GetSpecialPower(), 20.0f);
    EXPECT_EQ(harpoon->GetShooter(), player);
    ASSERT_NE(harpoon->GetTrail(), nullptr);
    EXPECT_NE(std::string(harpoon->GetTrail()->GetSourceEffect()->GetFilename()).find("harpoon_trail"),
              std::string::npos);
    EXPECT_FLOAT_EQ(harpoon->GetScaling().x, 0.5f);

    // Along the barrel at the power, sideways only; dropping from -0.5 since.
    const VisVector_cl d = harpoon->GetDirection();
    const VisVector_cl v = Body(harpoon)->GetVelocity();
    EXPECT_NEAR(v.x, d.x * power, 1e-2f);
    EXPECT_NEAR(v.y, d.y * power, 1e-2f);
    EXPECT_LT(v.z, -0.5f);
    EXPECT_EQ(Body(harpoon)->GetCollisionBitmask(), 0xffffffffu);

    // The barrel follows at a quarter of the speed and collides with nothing.
    VisBaseEntity_cl* barrel = component->GetBarrel();
    ASSERT_NE(barrel, nullptr);
    EXPECT_TRUE(barrel->HasObjectKey("AttachedDebris"));
    EXPECT_FLOAT_EQ(barrel->GetScaling().x, 1.25f);
    EXPECT_EQ(Body(barrel)->GetCollisionBitmask(), 0u);
    EXPECT_NEAR(Body(barrel)->GetVelocity().y, d.y * power * 0.25f, 1e-2f);

    // The rope hangs between the two, made from its configuration.
    ClothEntity* rope = component->GetRope();
    ASSERT_NE(rope, nullptr);
    EXPECT_STREQ(rope->GetConfigFile(), "cloths/rope.xml");
    EXPECT_FLOAT_EQ(rope->GetDescription().relativeGridSpacing, 0.4f);
    ASSERT_EQ(rope->GetAnchors().size(), 2u);
    EXPECT_EQ(rope->GetAnchors()[0], harpoon);
    EXPECT_EQ(rope->GetAnchors()[1], barrel);
    Step();
    EXPECT_EQ(rope->GetEndPoints()[0], harpoon->GetPosition());
    EXPECT_EQ(rope->GetEndPoints()[1], barrel->GetPosition());
    harpoon->RemoveAll();
    Step();
    EXPECT_FALSE(Alive(barrel)) << "the barrel goes with the harpoon";
    EXPECT_FALSE(Alive(rope));
  }
}

TEST_F(HarpoonComponentTest, AHarpoonIgnoresItsShooterAndSlowsTheShipItSticksInUntilItIsDetached) {
  ShipEntity* target = Sloop("Target", 2, VisVector_cl(0, 30, 0));
  ProjectileEntity* harpoon = Fire(PROJECTILE_HARPOON);
  ASSERT_NE(harpoon, nullptr);
  HarpoonComponent* component = Of(harpoon);

  Touch(harpoon, player);
  EXPECT_EQ(harpoon->GetParent(), nullptr);
  EXPECT_EQ(Body(harpoon)->GetPhysicsMode(), VPHYSX_MODE_DYNAMIC);
  EXPECT_FLOAT_EQ(Movement(player)->GetTurnFactor(), 1.0f);

  Movement(target)->SetSpeedFactor(1.0f);
  Touch(harpoon, target);
  EXPECT_EQ(harpoon->GetParent(), target);
  EXPECT_EQ(component->GetStuckShip(), target);
  EXPECT_EQ(Body(harpoon)->GetPhysicsMode(), VPHYSX_MODE_KINEMATIC);
  EXPECT_EQ(Body(harpoon)->GetCollisionBitmask(), 0u);
  EXPECT_TRUE(Body(harpoon)->GetVelocity().IsZero());
  // In the ship's axes.
  const VisVector_cl offset =
      target->GetRotationMatrix().GetTransposed() * (harpoon->GetPosition() - target->GetPosition());
  EXPECT_TRUE(harpoon->GetParentOffset().IsEqual(offset, 1e-4f));
  EXPECT_FLOAT_EQ(Movement(target)->GetSpeedFactor(), 0.5f);
  EXPECT_FLOAT_EQ(Movement(target)->GetTurnFactor(), 0.5f);

  // A second ship's contact in the same frame does not pull it out of the first.
  ShipEntity* other = Sloop("Other", 2, VisVector_cl(40, 30, 0));
  Touch(harpoon, other);
  EXPECT_EQ(harpoon->GetParent(), target);
  EXPECT_FLOAT_EQ(Movement(other)->GetTurnFactor(), 1.0f);


  harpoon->RemoveComponent(component);
  component->DisposeObject();
  EXPECT_FLOAT_EQ(Movement(target)->GetSpeedFactor(), 1.0f);
  EXPECT_FLOAT_EQ(Movement(target)->GetTurnFactor(), 1.0f);
}

// The ship carries the harpoon along while it sails, turns and rolls: its place and
// its turn on the ship stay as they were when it struck, frame after frame.
TEST_F(HarpoonComponentTest, AHarpoonStuckInASailingRollingShipStaysAtItsPlaceOnTheShip) {
  ShipEntity* target = Sloop("Target", 2, VisVector_cl(0, 30, 0));
  vPhysXRigidBody* hull = Body(target);
  // Heeled and turned when the harpoon strikes, so that world and ship axes differ.
  VisMatrix3x3_cl start;
  start.SetEulerAngles(30.0f, 0.0f, 6.0f);
  hull->SetPose(target->GetPosition(), start);
  ProjectileEntity* harpoon = Lay(VisVector_cl(3, 33, 2.5f));
  Of(harpoon)->HandleShipCollision(target);
  ASSERT_EQ(harpoon->GetParent(), target);
  const VisMatrix3x3_cl toShip = target->GetRotationMatrix().GetTransposed();
  const VisVector_cl onShip = toShip * (harpoon->GetPosition() - target->GetPosition());
  const VisMatrix3x3_cl turnOnShip = toShip * harpoon->GetRotationMatrix();

  for (int frame = 1; frame <= 300; ++frame) {
    // Moved by hand on top of its own motion on the waves: several moves a frame.
    const float t = frame * kStep;
    VisMatrix3x3_cl rocking;
    rocking.SetEulerAngles(30.0f + 20.0f * t, 4.0f * std::sin(3.0f * t), 6.0f + 8.0f * std::sin(2.0f * t));
    hull->SetPose(target->GetPosition() + VisVector_cl(0.1f, 0.05f, 0.0f), rocking);
    Step();
    const VisMatrix3x3_cl& r = target->GetRotationMatrix();
    const VisVector_cl expected = target->GetPosition() + r * onShip;
    ASSERT_TRUE(harpoon->GetPosition().IsEqual(expected, 0.02f))
        << "frame " << frame << ": at " << harpoon->GetPosition().x << ", " << harpoon->GetPosition().y << ", "
        << harpoon->GetPosition().z << " instead of " << expected.x << ", " << expected.y << ", " << expected.z;
    ASSERT_TRUE(Body(harpoon)->GetPosition().IsEqual(expected, 0.02f)) << "frame " << frame;
  }
  const VisMatrix3x3_cl turn = target->GetRotationMatrix() * turnOnShip;
  for (int c = 0; c < 3; ++c) EXPECT_TRUE(harpoon->GetRotationMatrix().GetColumn(c).IsEqual(turn.GetColumn(c), 1e-3f));
  EXPECT_EQ(harpoon->GetParent(), target);
}

// In the water a harpoon floats for its life time, a quarter of it away from a ship,
// then sinks ever faster and is gone below -10 with its rope and barrel; the ship
// it stuck in sails at full speed again.
TEST_F(HarpoonComponentTest, InTheWaterAHarpoonFloatsItsLifeTimeThenSinksAndGoes) {
  ShipEntity* target = Sloop("Target", 2, VisVector_cl(0, 30, 0));
  const struct {
    bool onShip;
    float life;
  } cases[] = {{false, 3.75f}, {true, 15.0f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.onShip);
    ProjectileEntity* harpoon = Lay(VisVector_cl(50, 60, -0.1f));
    HarpoonComponent* component = Of(harpoon);
    ClothEntity* rope = component->GetRope();
    VisBaseEntity_cl* barrel = component->GetBarrel();
    if (c.onShip) component->HandleShipCollision(target);
    EXPECT_FLOAT_EQ(Movement(target)->GetTurnFactor(), c.onShip ? 0.5f : 1.0f);
    Step();
    ASSERT_TRUE(component->IsInWater());
    EXPECT_FLOAT_EQ(component->GetLifeTime(), c.life);
    EXPECT_NEAR(component->GetTimeLeft(), c.life - kStep, 1e-4f);
    EXPECT_FLOAT_EQ(rope->GetParameters().stretchingStiffness, 0.2f);
    EXPECT_TRUE(Body(harpoon)->GetActor()->readBodyFlag(NX_BF_FROZEN_POS_Z));
    EXPECT_FLOAT_EQ(Body(barrel)->GetActor()->getMass(), 20.0f);
    if (c.onShip) {
      // Let go before it sinks: the ship's rocking is no part of this.
      harpoon->RemoveAll();
      Step();
      EXPECT_FALSE(Alive(rope));
      EXPECT_FLOAT_EQ(Movement(target)->GetTurnFactor(), 1.0f);
      continue;
    }

    // Afloat for its life time, then below -10 within a few seconds.
    const int floating = StepUntil([&] { return component->GetTimeLeft() < 0.0f; });
    EXPECT_NEAR((floating + 1) * kStep, c.life, 1.5f * kStep);
    EXPECT_NEAR(harpoon->GetPosition().z, -0.1f, 0.05f);
    const int sinking = StepUntil([&] { return !Alive(harpoon); }, 600);
    EXPECT_GT(sinking * kStep, 2.0f);
    EXPECT_LT(sinking * kStep, 3.0f);
    EXPECT_FALSE(Alive(rope));
    EXPECT_FALSE(Alive(barrel));
  }
}

TEST_F(HarpoonComponentTest, APauseInFlightHoldsHarpoonAndBarrelAndGivesTheirVelocitiesBack) {
  ProjectileEntity* harpoon = Fire(PROJECTILE_HARPOON);
  ASSERT_NE(harpoon, nullptr);
  HarpoonComponent* component = Of(harpoon);
  VisBaseEntity_cl* barrel = component->GetBarrel();
  Body(harpoon)->SetAngularVelocity(VisVector_cl(0, 0, 1));
  const VisVector_cl flying = Body(harpoon)->GetVelocity();
  const VisVector_cl drifting = Body(barrel)->GetVelocity();
  const VisVector_cl at = harpoon->GetPosition();

  PauseManager::GetInstance()->SetGamePause(true);
  for (int i = 0; i < 30; ++i) Step(false);
  EXPECT_TRUE(component->AreVelocitiesHeld());
  EXPECT_TRUE(Body(harpoon)->GetVelocity().IsZero());
  EXPECT_TRUE(Body(harpoon)->GetAngularVelocity().IsZero());
  EXPECT_TRUE(Body(barrel)->GetVelocity().IsZero());
  EXPECT_TRUE(harpoon->GetPosition().IsEqual(at, 1e-4f));
  EXPECT_FALSE(component->IsInWater());

  PauseManager::GetInstance()->SetGamePause(false);
  Vision::Timer.Update();
  Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
  EXPECT_FALSE(component->AreVelocitiesHeld());
  EXPECT_TRUE(Body(harpoon)->GetVelocity().IsEqual(flying, 1e-4f));
  EXPECT_TRUE(Body(harpoon)->GetAngularVelocity().IsEqual(VisVector_cl(0, 0, 1), 1e-4f));
  EXPECT_TRUE(Body(barrel)->GetVelocity().IsEqual(drifting, 1e-4f));
}

}  // namespace
