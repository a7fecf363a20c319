// The sea test scene with the physics simulation running: the player's sloop and
// an enemy sloop as the scene script makes them, sailing on the water plane
// through their rigid bodies, turning, and sinking free of the plane.
#include "components/AIShipComponent.h"
#include "components/CannonComponent.h"
#include "components/CannonObserverComponent.h"
#include "components/HumanCannonBallComponent.h"
#include "components/PlayerInputComponent.h"
#include "components/ShipMovementComponent.h"
#include "core/ComponentMessages.h"
#include "entities/ProjectileEntity.h"
#include "entities/ShipStats.h"
#include "gui/GUIManager.h"
#include "Managers/AchievementManager.h"
#include "Managers/TownManager.h"
#include "support/ShipTestWorld.h"

#include "engine/base/VisInput.h"
#include "engine/physics/NxActor.h"
#include "engine/physics/vPhysXRigidBody.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class SeaTestSceneTest : public ShipTestWorld {
 protected:
  void SetUp() override {
    ShipTestWorld::SetUp();
    GameManager* game = GameManager::GetInstance();
    game->AddNation(new Nation(3, "Corsair"));
    game->AddNation(new Nation(4, "Buccaneer"));
    game->AddNation(new Nation(5, "Colonials"));
    game->GetNation(1)->AddEnemy(5);
    game->GetNation(5)->AddEnemy(1);
    module = std::make_unique<vPhysXModule>();
    vPhysXModule::SetInstance(module.get());
    VSceneLoader loader;
    ASSERT_TRUE(loader.LoadScene("scenes\\SeaTest")) << loader.GetLastError();
    player = static_cast<ShipEntity*>(Vision::Game.SearchEntity("PlayerShip"));
    enemy = static_cast<ShipEntity*>(Vision::Game.SearchEntity("EnemyShip"));
    ASSERT_TRUE(player && enemy);
  }
  void TearDown() override {
    Vision::World.UnloadWorld();
    Vision::Game.RemoveAllEntities();
    module.reset();
    vPhysXModule::SetInstance(nullptr);
    ShipTestWorld::TearDown();
  }

  // An engine frame with the physics step.
  void PhysicsFrame() {
    Vision::Timer.Update();
    Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
    Vision::Game.RunThinkFunctions();
    module->OnRunPhysics(kStep);
    module->FetchPhysicsResults();
    Vision::Callbacks.OnPhysicsSimulationFinished.TriggerCallbacks();
    Vision::Game.FreeRemovedEntities();
  }
  void PhysicsFrames(int n) {
    for (int i = 0; i < n; ++i) PhysicsFrame();
  }

  std::unique_ptr<vPhysXModule> module;
  ShipEntity* player = nullptr;
  ShipEntity* enemy = nullptr;
};

TEST_F(SeaTestSceneTest, ThePlayersSloopAndAnEnemySloopReadyForBattle) {
  EXPECT_EQ(GameManager::GetInstance()->GetPlayerEntity(), player);
  EXPECT_NE(player->Components<PlayerInputComponent>(), nullptr);
  EXPECT_EQ(enemy->Components<AIShipComponent>()->GetAIMode(), AIShipComponent::AIMODE_IDLE);
  EXPECT_TRUE(GameManager::GetInstance()->GetNation(1)->IsEnemy(enemy->GetNation()));
  EXPECT_TRUE(enemy->GetPosition().IsEqual(VisVector_cl(0, 40, 0), 1e-4f));
  for (ShipEntity* ship : {player, enemy}) {
    const auto* observer = ship->Components<CannonObserverComponent>();
    ASSERT_NE(observer, nullptr);
    EXPECT_EQ(observer->GetCannonCount(CANNON_GROUP_LEFT), 2);
    EXPECT_EQ(observer->GetCannonCount(CANNON_GROUP_RIGHT), 2);
    EXPECT_EQ(ship->GetStats()->GetHull().GetCurrent(), 120);
    ASSERT_NE(ship->Components<vPhysXRigidBody>()->GetActor(), nullptr);
    EXPECT_TRUE(ship->Components<vPhysXRigidBody>()->GetActor()->readBodyFlag(NX_BF_FROZEN_POS_Z));
  }
}

TEST_F(SeaTestSceneTest, TheSloopSailsAndTurnsOnTheWaterPlane) {
  auto* movement = player->Components<ShipMovementComponent>();
  player->SendMsg(VIS_MSG_USER_SHIP_FULLSAILS);
  PhysicsFrames(300);  // five seconds: up to full speed after four
  EXPECT_NEAR(movement->GetCurrentSpeed(), 20.0f, 1e-3f);
  const VisVector_cl sailed = player->GetPosition();
  // Accelerating for four seconds and a second at 30 per second make 90.
  EXPECT_NEAR(sailed.x, 90.0f, 3.0f);
  EXPECT_NEAR(sailed.y, 0.0f, 0.05f);
  EXPECT_NEAR(sailed.z, 0.0f, 0.05f);  // floats on the water

  float target = 90.0f;
  player->SendMsg(VIS_MSG_USER_SHIP_SETTARGETHEADING, (INT_PTR)&target);
  PhysicsFrames(600);
  EXPECT_NEAR(movement->GetCurrentHeading(), 90.0f, 3.0f);
  const VisVector_cl before = player->GetPosition();
  PhysicsFrames(60);
  const VisVector_cl step = player->GetPosition() - before;
  EXPECT_NEAR(step.GetLength(), 30.0f, 1.0f);
  EXPECT_GT(step.y, 29.0f);
  EXPECT_NEAR(player->GetPosition().z, 0.0f, 0.05f);
}

TEST_F(SeaTestSceneTest, ASinkingShipLeavesTheWaterPlane) {
  NxActor* actor = enemy->Components<vPhysXRigidBody>()->GetActor();
  enemy->SendMsg(VIS_MSG_USER_SHIP_SINK);
  EXPECT_FALSE(actor->readBodyFlag(NX_BF_FROZEN_POS_Z));
  actor->setLinearVelocity(VisVector_cl(0, 0, -1));
  PhysicsFrames(60);
  EXPECT_LT(enemy->GetPosition().z, -0.5f);
}

// A pirate dropped onto the enemy sloop (a plain body standing in for his ragdoll)
// boards it through the physics contact and takes it after the scene's 5 s.
TEST_F(SeaTestSceneTest, APirateOnTheEnemySloopTakesItAfterFiveSeconds) {
  EXPECT_FLOAT_EQ(enemy->GetStats()->GetBoardingTime(), 5.0f);
  auto* pirate = static_cast<ProjectileEntity*>(
      Vision::Game.CreateEntity("ProjectileEntity", enemy->GetPosition() + VisVector_cl(0, 0, 10)));
  pirate->SetMesh("models\\props\\cannon_ball\\cannon_ball.MODEL");
  pirate->SetNation(1);
  pirate->SetShooter(player);
  auto* boarding = new HumanCannonBallComponent();
  ASSERT_TRUE(pirate->AddComponent(boarding));
  auto* body = new vPhysXRigidBody();
  body->SetBoxSize(VisVector_cl(1, 1, 1));
  body->SetLocalOffset(VisVector_cl(0, 0, 0));
  ASSERT_TRUE(pirate->AddComponent(body));

  for (int i = 0; i < 240 && !boarding->IsFighting(); ++i) PhysicsFrame();
  ASSERT_TRUE(boarding->IsFighting());
  EXPECT_EQ(boarding->GetBoardedShip(), enemy);
  PhysicsFrames(280);
  EXPECT_EQ(enemy->GetNation(), 5) << "still fighting before 5 s";
  PhysicsFrames(30);
  EXPECT_EQ(enemy->GetNation(), 1);
  EXPECT_TRUE(AchievementManager::GetInstance()->IsUnlocked(21));
  TownManager::CleanInstance();
  GUIManager::CleanInstance();
}

// The sloop's own special cannon with the human cannon ball as the ship's weapon:
// Space held charges it, its release fires a pirate out to the left, onto the
// enemy lying 20 abeam, who takes it after its 5 s.
TEST_F(SeaTestSceneTest, SpaceHeldAndReleasedFiresAPirateWhoTakesTheEnemyAbeam) {
  ASSERT_NE(player->GetSpecialCannon(), nullptr);
  player->GetStats()->AddSpecialWeapon(PROJECTILE_HUMANCANNONBALL);
  player->GetStats()->SetCurrentSpecialWeapon(PROJECTILE_HUMANCANNONBALL);
  enemy->Components<vPhysXRigidBody>()->SetPosition(VisVector_cl(0, 20, 0));
  PhysicsFrame();

  // Looked up each time: a pirate in the sea is gone.
  auto pirate = [] {
    VisBaseEntity_cl* entity = Vision::Game.SearchEntity("HumanCannonball");
    return entity ? entity->Components<HumanCannonBallComponent>() : nullptr;
  };
  Vision::Key.InjectKey(-1, 0x39, true);
  PhysicsFrames(30);
  Vision::Key.InjectKey(-1, 0x39, false);
  for (int i = 0; i < 60 && !pirate(); ++i) PhysicsFrame();
  ASSERT_NE(pirate(), nullptr) << "no pirate fired";
  auto* ball = static_cast<ProjectileEntity*>(pirate()->GetOwner());
  EXPECT_EQ(ball->GetShooter(), player);
  EXPECT_GT(ball->GetPosition().y, 8.0f) << "out on the left";

  for (int i = 0; i < 120 && pirate() && !pirate()->IsFighting(); ++i) PhysicsFrame();
  ASSERT_TRUE(pirate() && pirate()->IsFighting());
  EXPECT_EQ(pirate()->GetBoardedShip(), enemy);
  PhysicsFrames(280);
  EXPECT_EQ(enemy->GetNation(), 5) << "still fighting before 5 s";
  PhysicsFrames(30);
  EXPECT_EQ(enemy->GetNation(), 1);
  EXPECT_TRUE(AchievementManager::GetInstance()->IsUnlocked(21));
  Vision::Key.Reset();
  TownManager::CleanInstance();
  GUIManager::CleanInstance();
}

}  // namespace
