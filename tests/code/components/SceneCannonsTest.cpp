// The scene cannons: the tower cannon's reloads, visibility and aim on the ground;
// the monkey cannon's timer, aim at the player and its dangling monkey; the gate
// cannon's turn, single shot and stand-in shooter.
#include "code/entities/AreaEffectFixture.h"

#include "components/DLC1SpecialCannonComponent.h"
#include "components/LandCannonComponent.h"
#include "components/MonkeyCannonBallComponent.h"
#include "components/MonkeyCannonComponent.h"
#include "components/MonkeyComponent.h"
#include "components/RagdollComponent.h"
#include "core/ComponentMessages.h"
#include "entities/CannonEntity.h"
#include "entities/ProjectileEntity.h"
#include "Managers/TownManager.h"
#include "support/ArchiveRoundTrip.h"
#include "support/MessageRecorder.h"

#include "engine/core/VisPath.h"
#include "engine/core/VisPathNode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

class SceneCannonsTest : public AreaEffectFixture {
 protected:
  void TearDown() override {
    Vision::World.ClearTerrain();
    Vision::Game.RemoveAllScenePaths();
    TownManager::CleanInstance();
    AreaEffectFixture::TearDown();
  }

  // A cannon entity turned by yaw, optionally on a tower, with the component.
  template <class T>
  T* Cannon(const VisVector_cl& at, float yaw, BaseEntity* tower = nullptr, MessageRecorder** heard = nullptr) {
    auto* mount = static_cast<CannonEntity*>(Vision::Game.CreateEntity("CannonEntity", at));
    if (tower) mount->AttachToParent(tower);
    mount->SetPosition(at);
    mount->SetOrientation(yaw, 0, 0);
    auto* recorder = new MessageRecorder();
    mount->AddComponent(recorder);
    if (heard) *heard = recorder;
    auto* cannon = new T();
    EXPECT_TRUE(mount->AddComponent(cannon));
    return cannon;
  }
  static VisBaseEntity_cl* MountOf(IVObjectComponent* c) { return static_cast<VisBaseEntity_cl*>(c->GetOwner()); }
  static void Frame() {
    Vision::Timer.Update();
    Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
  }
  static std::vector<AreaEffectProjectileEntity*> Shells() {
    std::vector<AreaEffectProjectileEntity*> out;
    for (VisBaseEntity_cl* e : Vision::Game.GetEntities())
      if (e && !e->IsMarkedRemoved() && e->IsOfType(AreaEffectProjectileEntity::GetClassTypeId()))
        out.push_back(static_cast<AreaEffectProjectileEntity*>(e));
    return out;
  }
  UnitEntity* PlayerCharacter(const VisVector_cl& at) {
    auto* hero = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", at));
    hero->SetNation(1);
    hero->SetEntityKey("PlayerCharacter");
    ThePlayer()->AddPlayerUnit(hero);
    return hero;
  }
  static float Yaw(VisBaseEntity_cl* e) { return e->GetOrientation().x; }
};

// ---- the tower cannon ----------------------------------------------------------------------

// max x r raised to min: with 1 and 3 a third of the reloads last exactly 1 s; with the
// monkey cannon's 5 and 8, five eighths last exactly 5 s.
TEST_F(SceneCannonsTest, ReloadsAreRaisedToTheirMinimum) {
  VSeedRandom(1234u);
  const struct {
    float min, max, share;
  } cases[] = {{1.0f, 3.0f, 1.0f / 3.0f}, {5.0f, 8.0f, 5.0f / 8.0f}};
  LandCannonComponent* tower = Cannon<LandCannonComponent>(VisVector_cl(0, 0, 0), 0.0f);
  MonkeyCannonComponent* monkey = Cannon<MonkeyCannonComponent>(VisVector_cl(0, 0, 0), 0.0f);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.min);
    int atMinimum = 0;
    const int draws = 3000;
    for (int i = 0; i < draws; ++i) {
      float delay = 0.0f;
      if (c.min == 1.0f) {
        tower->Reload();
        delay = tower->GetReloadDelay();
      } else {
        monkey->Reload();
        delay = monkey->GetReloadDelay();
      }
      ASSERT_GE(delay, c.min);
      ASSERT_LE(delay, c.max);
      atMinimum += delay == c.min;
    }
    EXPECT_NEAR((float)atMinimum / draws, c.share, 0.03f);
  }
}

TEST_F(SceneCannonsTest, TheTowerLobsItsBallOntoTheGroundInFrontOfTheBarrel) {
  Vision::World.SetFlatTerrain(2.0f);
  TownManager::GetInstance()->GetCurrentTownInfo().sceneType = 2;
  auto* tower = static_cast<BaseEntity*>(Vision::Game.CreateEntity("BaseEntity", VisVector_cl(0, 0, 0)));
  MessageRecorder* heard = nullptr;
  // Facing +y: the barrel's back, where the ball lands, is toward -y.
  LandCannonComponent* cannon = Cannon<LandCannonComponent>(VisVector_cl(0, 0, 8), 90.0f, tower, &heard);
  // The soldier that sets it off stands elsewhere: the ball goes to the same spot.
  Soldier(1, VisVector_cl(10, 3, 2));
  for (int i = 0; i < 200 && Shells().empty(); ++i) Frame();
  const std::vector<AreaEffectProjectileEntity*> shells = Shells();
  ASSERT_EQ(shells.size(), 1u);
  AreaEffectProjectileEntity* ball = shells[0];
  EXPECT_TRUE(ball->GetTarget().IsEqual(VisVector_cl(0, -15, 2), 1e-4f)) << ball->GetTarget().y;
  EXPECT_EQ(ball->GetShooter(), tower);
  EXPECT_EQ(tower->GetNation(), 2) << "the tower fights for the town";
  EXPECT_EQ(ball->GetDamage(), 20);
  EXPECT_FLOAT_EQ(ball->GetSpeed(), 20.0f);
  EXPECT_FLOAT_EQ(ball->GetMaxHeight(), 1.0f);
  EXPECT_NE(cannon->GetMuzzleFlash(), nullptr);
  EXPECT_EQ(heard->Count(VIS_MSG_USER_CANNON_STATE_LOADING), 1);
  EXPECT_GE(cannon->GetReloadDelay(), 1.0f);

  // The reload runs out with 58; an ignition only reports "firing".
  while (cannon->GetReloadDelay() > 0.0f) Frame();
  EXPECT_EQ(heard->Count(VIS_MSG_USER_CANNON_STATE_READY), 1);
  MountOf(cannon)->SendMsg(VIS_MSG_USER_CANNON_IGNITE);
  EXPECT_EQ(heard->Count(VIS_MSG_USER_CANNON_STATE_FIRING), 1);
  EXPECT_EQ(cannon->GetLoadedType(), PROJECTILE_BALL);
  EXPECT_LE(cannon->GetFireDelay(), LandCannonComponent::MAX_FUSE);
}

// A hidden tower neither reloads nor fires; without a town nation nothing fires.
TEST_F(SceneCannonsTest, AHiddenTowerOrOneWithoutTownNationStaysSilent) {
  auto* tower = static_cast<BaseEntity*>(Vision::Game.CreateEntity("BaseEntity", VisVector_cl(0, 0, 0)));
  LandCannonComponent* cannon = Cannon<LandCannonComponent>(VisVector_cl(0, 0, 8), 0.0f, tower);
  Soldier(1, VisVector_cl(3, 0, 0));
  const int nations[] = {0, -1};
  for (int nation : nations) {
    TownManager::GetInstance()->GetCurrentTownInfo().sceneType = nation;
    for (int i = 0; i < 200; ++i) Frame();
    EXPECT_TRUE(Shells().empty()) << nation;
  }
  TownManager::GetInstance()->GetCurrentTownInfo().sceneType = 2;
  cannon->SetReloadDelay(1.0f);
  MountOf(cannon)->SetVisibleBitmask(0);
  for (int i = 0; i < 200; ++i) Frame();
  EXPECT_TRUE(Shells().empty());
  EXPECT_FLOAT_EQ(cannon->GetReloadDelay(), 1.0f);
}

// ---- the monkey cannon ----------------------------------------------------------------------

TEST_F(SceneCannonsTest, TheMonkeyCannonAimsAtThePlayerAndLobsADanglingMonkey) {
  UnitEntity* hero = PlayerCharacter(VisVector_cl(40, 0, 0));
  Soldier(2, VisVector_cl(90, 90, 0))->SetEntityKey("script_doruzuza");
  MonkeyCannonComponent* cannon = Cannon<MonkeyCannonComponent>(VisVector_cl(0, 0, 0), 0.0f);
  cannon->SetReloadDelay(0.3f);
  Frame();
  EXPECT_TRUE(MountOf(cannon)->GetDirection().IsEqual(VisVector_cl(0, -1, 0), 1e-4f))
      << "looking at the player, turned by -90";
  EXPECT_TRUE(Shells().empty());
  Frame();
  const std::vector<AreaEffectProjectileEntity*> shells = Shells();
  ASSERT_EQ(shells.size(), 1u);
  AreaEffectProjectileEntity* monkey = shells[0];
  EXPECT_EQ(monkey->GetProjectileType(), PROJECTILE_MONKEYCANNONBALL);
  EXPECT_EQ(monkey->GetShooter(), nullptr);
  EXPECT_FLOAT_EQ(monkey->GetSpeed(), MonkeyCannonComponent::MONKEY_SPEED);
  EXPECT_STREQ(monkey->GetEntityKey(), "MonkeyCannonball");
  EXPECT_NE(monkey->GetTrail(), nullptr);
  ASSERT_NE(monkey->GetMesh(), nullptr);
  EXPECT_NE(monkey->Components<MonkeyCannonBallComponent>(), nullptr) << "the monkey dangles from its ball";
  EXPECT_NE(monkey->Components<RagdollComponent>(), nullptr);
  // No path: the monkey lands within 10 of the player in x and y.
  EXPECT_LE(std::fabs(monkey->GetTarget().x - hero->GetPosition().x), 10.0f);
  EXPECT_LE(std::fabs(monkey->GetTarget().y - hero->GetPosition().y), 10.0f);
  EXPECT_GE(cannon->GetReloadDelay(), 5.0f);
}

TEST_F(SceneCannonsTest, TheMonkeyAimsAtThePathNodeAfterTheOneNearestThePlayer) {
  PlayerCharacter(VisVector_cl(21, 1, 0));
  auto* path = new VisPath_cl(3, false);
  path->SetObjectKey("MonkeyPath1");
  for (const VisVector_cl& p : {VisVector_cl(0, 0, 0), VisVector_cl(20, 0, 0), VisVector_cl(20, 100, 0)})
    path->AddPathNode(VisPathNode_cl(p, VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0)));
  Vision::Game.AddScenePath(path);
  MonkeyCannonComponent* cannon = Cannon<MonkeyCannonComponent>(VisVector_cl(-50, 0, 0), 0.0f);
  cannon->Fire(0);
  ASSERT_EQ(Shells().size(), 1u);
  const VisVector_cl target = Shells()[0]->GetTarget();
  EXPECT_LE(std::fabs(target.x - 20.0f), 10.0f);
  EXPECT_LE(std::fabs(target.y - 100.0f), 10.0f);
}

// An inactive cannon neither turns nor fires; a loaded one is always active.
TEST_F(SceneCannonsTest, AnInactiveMonkeyCannonWaitsUntilLoaded) {
  PlayerCharacter(VisVector_cl(0, 40, 0));
  MonkeyCannonComponent* cannon = Cannon<MonkeyCannonComponent>(VisVector_cl(0, 0, 0), 30.0f);
  cannon->SetCannonActive(false);
  cannon->SetReloadDelay(0.1f);
  for (int i = 0; i < 40; ++i) Frame();
  EXPECT_FLOAT_EQ(Yaw(MountOf(cannon)), 30.0f);
  EXPECT_TRUE(Shells().empty());
  EXPECT_FLOAT_EQ(cannon->GetReloadDelay(), 0.1f);

  cannon->m_fShootingRange = 22.0f;
  MonkeyCannonComponent loaded;
  const archive_test::Bytes bytes = archive_test::SaveBytes([&](VArchive& ar) { cannon->Serialize(ar); });
  ASSERT_TRUE(archive_test::LoadBytes(bytes, [&](VArchive& ar) { loaded.Serialize(ar); }));
  EXPECT_TRUE(loaded.IsCannonActive());
  EXPECT_FLOAT_EQ(loaded.m_fShootingRange, 22.0f);
}

TEST_F(SceneCannonsTest, TheMonkeyComponentsTakeBothProjectileKinds) {
  auto* plain = Vision::Game.CreateEntity("BaseEntity", VisVector_cl(0, 0, 0));
  auto* projectile = Vision::Game.CreateEntity("ProjectileEntity", VisVector_cl(0, 0, 0));
  auto* shell = Vision::Game.CreateEntity("AreaEffectProjectileEntity", VisVector_cl(0, 0, 0));
  VString reason;
  MonkeyCannonBallComponent ball;
  MonkeyComponent flier;
  EXPECT_FALSE(ball.CanAttachToObject(plain, reason));
  EXPECT_NE(std::string(reason.AsChar()).find("ProjectileEntity or AreaEffectProjectileEntity"), std::string::npos)
      << reason.AsChar();
  EXPECT_FALSE(flier.CanAttachToObject(plain, reason));
  for (VisBaseEntity_cl* owner : {projectile, shell}) {
    EXPECT_TRUE(ball.CanAttachToObject(owner, reason));
    EXPECT_TRUE(flier.CanAttachToObject(owner, reason));
  }

  // The factory-made monkey takes the MIRV shell's launch values.
  auto* made = static_cast<MonkeyComponent*>(VType::CreateObject("MonkeyComponent"));
  ASSERT_NE(made, nullptr);
  made->Initialize();
  projectile->SetOrientation(90.0f, 0, 0);
  ASSERT_TRUE(projectile->AddComponent(made));
  EXPECT_STREQ(projectile->GetEntityKey(), "Monkey");
  EXPECT_TRUE(made->GetLaunchDirection().IsEqual(VisVector_cl(0, 1, 0), 1e-5f));
  EXPECT_FLOAT_EQ(made->GetVelocity().x, 60.0f);
  EXPECT_GE(made->GetTimer(), 6.0f);
  EXPECT_LE(made->GetTimer(), 8.0f);
}

// ---- the gate cannon ------------------------------------------------------------------------

TEST_F(SceneCannonsTest, TheGateCannonTurnsAt40PerSecondAndFiresOnce) {
  PlayerCharacter(VisVector_cl(5, 5, 0));
  auto* gate = Vision::Game.CreateEntity("BaseEntity", VisVector_cl(100, 100, 0));
  gate->SetEntityKey("GateDestroyable");
  auto* owner = static_cast<BaseEntity*>(Vision::Game.CreateEntity("BaseEntity", VisVector_cl(100, 0, 0)));
  auto* cannon = new DLC1SpecialCannonComponent();
  ASSERT_TRUE(owner->AddComponent(cannon));

  for (int i = 0; i < 8; ++i) Frame();
  EXPECT_FLOAT_EQ(Yaw(owner), 0.0f) << "inactive: no turn";
  cannon->SetActive(true);
  Frame();
  EXPECT_NEAR(Yaw(owner), 40.0f * kStep, 1e-3f);
  // The gate is straight ahead along +y from the cannon (90 degrees): aimed within
  // 15, the cannon fires on the next frame.
  int frames = 1;
  while (cannon->GetState() == DLC1SpecialCannonComponent::STATE_AIMING && frames < 100) {
    Frame();
    ++frames;
  }
  EXPECT_NEAR(Yaw(owner), 75.0f, 40.0f * kStep);
  EXPECT_TRUE(Shells().empty());
  Frame();
  ASSERT_EQ(Shells().size(), 1u);
  EXPECT_EQ(cannon->GetState(), DLC1SpecialCannonComponent::STATE_SPENT);
  EXPECT_FALSE(cannon->IsActive());
  AreaEffectProjectileEntity* ball = Shells()[0];
  EXPECT_EQ(ball->GetDamage(), 5000);
  EXPECT_FLOAT_EQ(ball->GetSpeed(), 60.0f);
  EXPECT_EQ(ball->GetTarget(), gate->GetPosition());

  // The shooter is of nation 1 but no soldier any range query could find, and it
  // goes with the ball.
  BaseEntity* shooter = ball->GetShooter();
  ASSERT_NE(shooter, nullptr);
  EXPECT_EQ(shooter->GetNation(), 1);
  EXPECT_FALSE(shooter->IsOfType(SoldierEntity::GetClassTypeId()));
  EXPECT_EQ(RtsManager::GlobalManager().GetClosestEnemyInRange(shooter->GetPosition(), 50.0f, 2), nullptr);
  ball->RemoveAll();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(cannon->GetShooter(), nullptr);
  const auto& entities = Vision::Game.GetEntities();
  if (std::find(entities.begin(), entities.end(), static_cast<VisBaseEntity_cl*>(shooter)) != entities.end()) {
    EXPECT_TRUE(shooter->IsMarkedRemoved());
  }

  cannon->SetActive(true);
  const float yaw = Yaw(owner);
  for (int i = 0; i < 40; ++i) Frame();
  EXPECT_EQ(Shells().size(), 0u) << "spent";
  EXPECT_FLOAT_EQ(Yaw(owner), yaw);
}

// Without a player to aim at, the ball gets neither shooter nor target: rather than
// hang in the air for good it bursts where it is, harming no one.
TEST_F(SceneCannonsTest, AnUnaimedBallBurstsAtOnce) {
  Vision::Game.CreateEntity("BaseEntity", VisVector_cl(0, 50, 0))->SetEntityKey("GateDestroyable");
  auto* owner = static_cast<BaseEntity*>(Vision::Game.CreateEntity("BaseEntity", VisVector_cl(0, 0, 6)));
  auto* cannon = new DLC1SpecialCannonComponent();
  ASSERT_TRUE(owner->AddComponent(cannon));
  SoldierEntity* bystander = Soldier(2, VisVector_cl(0, 1, 6));
  cannon->Fire();
  ASSERT_EQ(Shells().size(), 1u);
  AreaEffectProjectileEntity* ball = Shells()[0];
  EXPECT_EQ(ball->GetShooter(), nullptr);
  EXPECT_EQ(cannon->GetShooter(), nullptr);
  Think(ball);
  EXPECT_TRUE(ball->IsMarkedRemoved());
  EXPECT_EQ(HitPoints(bystander), 100);
}

}  // namespace
