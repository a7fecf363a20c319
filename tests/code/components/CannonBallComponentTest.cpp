// Cannon-ball flight and impacts: launch speed, drag and gravity, the water, the
// ground, hull and sail hits, a lost shooter, and the saved block.
#include "SeaBattleFixture.h"

#include "components/CannonBallComponent.h"
#include "core/ComponentMessages.h"
#include "entities/ClothEntity.h"
#include "entities/MsgPosOri.h"
#include "entities/ProjectileEntity.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierStats.h"
#include "entities/UnitEntity.h"
#include "support/ArchiveRoundTrip.h"

#include <string>

namespace {

class CannonBallComponentTest : public SeaBattleFixture {
 protected:
  void TearDown() override {
    Vision::World.UnloadWorld();
    SeaBattleFixture::TearDown();
  }
  // A ball at the position flying along yaw with the pitch, fired by the shooter at
  // the target (both may be null), launched.
  CannonBallComponent* Launch(const VisVector_cl& at, float yaw, float pitch, VisBaseEntity_cl* shooter,
                              VisBaseEntity_cl* target = nullptr) {
    projectile = static_cast<ProjectileEntity*>(Vision::Game.CreateEntity("ProjectileEntity", at));
    projectile->SetOrientation(yaw, pitch, 0.0f);
    projectile->SetShooter(shooter);
    projectile->SetTarget(target);
    auto* ball = new CannonBallComponent();
    EXPECT_TRUE(projectile->AddComponent(ball));
    ball->Fire();
    return ball;
  }
  static int EffectsOf(const char* file, VisVector_cl* where = nullptr) {
    int n = 0;
    VisParticleGroupManager_cl& particles = VisParticleGroupManager_cl::GlobalManager();
    for (int i = 0; i < particles.GetEffectCount(); ++i) {
      VisParticleEffect_cl* effect = particles.GetEffect(i);
      if (std::string(effect->GetSourceEffect()->GetFilename()).find(file) == std::string::npos) continue;
      if (where) *where = effect->GetPosition();
      ++n;
    }
    return n;
  }
  ProjectileEntity* projectile = nullptr;
};

TEST_F(CannonBallComponentTest, LaunchSpeedFollowsTheTargetDistanceLessARandomSpread) {
  ShipEntity* shooter = MakeShip("Shooter", 1, VisVector_cl(0, 0, 0));
  const struct {
    float targetDistance;  // 0: no target
    float speed;
  } cases[] = {{0.0f, 40.0f}, {10.0f, 24.0f}, {40.0f, 32.0f}, {200.0f, 44.0f}};
  for (const auto& c : cases) {
    ShipEntity* target = c.targetDistance > 0.0f ? MakeShip("Target", 2, VisVector_cl(0, c.targetDistance, 0)) : nullptr;
    CannonBallComponent* ball = Launch(VisVector_cl(0, 4, 2), 90.0f, -15.0f, shooter, target);
    const VisVector_cl v = ball->GetVelocity();
    EXPECT_EQ(v.x, v.y);
    EXPECT_EQ(v.x, v.z);
    EXPECT_LE(v.x, c.speed + 1e-4f) << c.targetDistance;
    EXPECT_GE(v.x, 0.9f * c.speed - 1e-4f) << c.targetDistance;
    if (target) target->Remove();
    projectile->Remove();
    Vision::Game.FreeRemovedEntities();
  }
  // A target the engine is removing is forgotten before the launch.
  ShipEntity* leaving = MakeShip("Leaving", 2, VisVector_cl(0, 10, 0));
  leaving->Remove();
  CannonBallComponent* ball = Launch(VisVector_cl(0, 4, 2), 90.0f, -15.0f, shooter, leaving);
  EXPECT_EQ(projectile->GetTarget(), nullptr);
  EXPECT_GE(ball->GetVelocity().x, 36.0f - 1e-4f);
}

TEST_F(CannonBallComponentTest, DragAndGravityActAlongTheDirectionAndAStalledBallFallsStraight) {
  ShipEntity* shooter = MakeShip("Shooter", 1, VisVector_cl(0, -100, 0));
  CannonBallComponent* ball = Launch(VisVector_cl(0, 0, 20), 0.0f, -15.0f, shooter);
  ball->SetVelocity(VisVector_cl(30, 30, 30));
  const VisVector_cl d = projectile->GetDirection();
  Frame();
  const float dt = kStep;
  EXPECT_NEAR(ball->GetVelocity().x, 30.0f - 4.0f * dt, 1e-4f);
  EXPECT_NEAR(ball->GetVelocity().z, 30.0f - (4.0f + 45.0f) * dt, 1e-4f);
  EXPECT_NEAR(projectile->GetPosition().x, ball->GetVelocity().x * d.x * dt, 1e-4f);
  EXPECT_NEAR(projectile->GetPosition().z, 20.0f + ball->GetVelocity().z * d.z * dt, 1e-4f);

  // The shooter's flight factor speeds the slowing up.
  shooter->GetStats()->SetBallFlightFactor(2.0f);
  const VisVector_cl before = ball->GetVelocity();
  Frame();
  EXPECT_NEAR(ball->GetVelocity().x, before.x - 8.0f * dt, 1e-4f);

  // Once the x speed would drop below 0 both horizontal speeds stop.
  ball->SetVelocity(VisVector_cl(0.05f, 0.5f, 0.0f));
  const VisVector_cl at = projectile->GetPosition();
  Frame();
  EXPECT_EQ(ball->GetVelocity().x, 0.0f);
  EXPECT_EQ(ball->GetVelocity().y, 0.0f);
  EXPECT_EQ(projectile->GetPosition().x, at.x);
  EXPECT_EQ(projectile->GetPosition().y, at.y);
  EXPECT_LT(projectile->GetPosition().z, at.z);

  // Paused, the ball hangs where it is.
  PauseManager::GetInstance()->SetGamePause(true);
  const VisVector_cl paused = projectile->GetPosition();
  Frame();
  EXPECT_EQ(projectile->GetPosition(), paused);
}

TEST_F(CannonBallComponentTest, ABallCrossingTheWaterSplashesAtItsSurfaceAndGoes) {
  ShipEntity* shooter = MakeShip("Shooter", 1, VisVector_cl(0, -100, 0));
  Launch(VisVector_cl(5, 7, 0.3f), 0.0f, 30.0f, shooter);
  VisParticleEffect_cl* trail = projectile->GetTrail();
  (void)trail;
  int frames = 0;
  while (Alive(projectile) && frames < 60) {
    Frame();
    ++frames;
  }
  EXPECT_LT(frames, 60);
  VisVector_cl splash;
  ASSERT_EQ(EffectsOf("cannon_splash_01", &splash), 1);
  EXPECT_FLOAT_EQ(splash.z, 0.2f);
  EXPECT_GT(splash.x, 5.0f);
  EXPECT_EQ(EffectsOf("cannon_hit_ground_01"), 0);
}

TEST_F(CannonBallComponentTest, AGroundHitEndsTheFlightWithDirtInsteadOfASplash) {
  Vision::World.SetFlatTerrain(1.0f);
  ShipEntity* shooter = MakeShip("Shooter", 1, VisVector_cl(0, -100, 0));
  Launch(VisVector_cl(0, 0, 3), 0.0f, 30.0f, shooter);
  Frames(60);
  EXPECT_FALSE(Alive(projectile));
  VisVector_cl dirt;
  ASSERT_EQ(EffectsOf("cannon_hit_ground_01", &dirt), 1);
  EXPECT_NEAR(dirt.z, 1.0f, 1e-3f);
  EXPECT_EQ(EffectsOf("cannon_splash_01"), 0);
}

TEST_F(CannonBallComponentTest, AHullHitSendsTheRecordToTheShipAndEndsTheBall) {
  ShipEntity* shooter = MakeShip("Shooter", 1, VisVector_cl(0, 0, 0));
  ShipEntity* enemy = MakeShip("Enemy", 2, VisVector_cl(0, 30, 0));
  MessageLog* log = Listen(enemy);
  // The record lives only during the message: copy what it says there.
  struct Seen : IVObjectComponent {
    void MessageFunction(int id, INT_PTR p1, INT_PTR) override {
      if (id == VIS_MSG_USR_SHIP_HIT_HULL) record = *reinterpret_cast<const MsgPosOri*>(p1);
    }
    MsgPosOri record;
  };
  auto* seen = new Seen();
  enemy->AddComponent(seen);
  CannonBallComponent* ball = Launch(VisVector_cl(0, 4, 2), 90.0f, -5.0f, shooter, enemy);
  ProjectileEntity* fired = projectile;
  int frames = 0;
  while (Alive(fired) && frames < 120) {
    Frame();
    ++frames;
  }
  (void)ball;
  ASSERT_EQ(log->Count(VIS_MSG_USR_SHIP_HIT_HULL), 1);
  EXPECT_EQ(seen->record.entity, fired);
  EXPECT_NE(seen->record.extra, 0);
  EXPECT_GT(seen->record.velocity.x, 0.0f);
  EXPECT_GE(seen->record.position.y, 27.0f - 1e-3f);  // on the hull's side
  EXPECT_LT(seen->record.position.y, 30.0f);
  EXPECT_FALSE(Alive(fired));
  // The default damage of a ball is below the ship's 100 hull points.
  EXPECT_LT(enemy->GetStats()->GetHull().GetCurrent(), 100);
}

TEST_F(CannonBallComponentTest, SailsWithoutDamageTextureAreHitEveryFrameTheBallPassesThem) {
  ShipEntity* shooter = MakeShip("Shooter", 1, VisVector_cl(0, 0, 0));
  ShipEntity* enemy = MakeShip("Enemy", 2, VisVector_cl(0, 30, 0));
  auto* sail = static_cast<ClothEntity*>(Vision::Game.CreateEntity("ClothEntity", VisVector_cl(0, 30, 8)));
  sail->SetEntityKey("Sails");
  sail->SetMesh("models\\testsail.model");
  sail->SetTraceAccuracy(VIS_TRACEACC_OBOX);
  sail->AttachToParent(enemy);
  MessageLog* shipLog = Listen(enemy);
  // A slow ball passing high, through the sail (y 28 to 32, z 8 to 16) and over the hull.
  CannonBallComponent* ball = Launch(VisVector_cl(0, 20, 12), 90.0f, 0.0f, shooter);
  ball->SetVelocity(VisVector_cl(60, 60, 0));
  int frames = 0;
  while (Alive(projectile) && projectile->GetPosition().y < 40.0f && frames < 120) {
    Frame();
    ++frames;
  }
  EXPECT_GE(shipLog->Count(VIS_MSG_USR_SHIP_HIT_SAILS), 2);
  EXPECT_EQ(shipLog->Count(VIS_MSG_USR_SHIP_HIT_HULL), 0);
  EXPECT_FALSE(ball->HasHitSails());
  EXPECT_TRUE(Alive(projectile));
  // The ship hands the hit on to its sail, which keeps the push for its cloth.
  EXPECT_TRUE(sail->HasPendingPush());
  EXPECT_FLOAT_EQ(sail->GetPendingPush().radius, 5.0f);
}

TEST_F(CannonBallComponentTest, ASoldiersShotHitsOnlySoldiersOfAnotherUnitAndNation) {
  auto makeUnit = [](int nation) {
    auto* unit = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0)));
    unit->SetNation(nation);
    return unit;
  };
  auto makeSoldier = [&](UnitEntity* unit, const VisVector_cl& at) {
    auto* soldier = static_cast<SoldierEntity*>(Vision::Game.CreateEntity("SoldierEntity", at));
    soldier->SetMesh("models\\testsail.model");
    soldier->SetTraceAccuracy(VIS_TRACEACC_OBOX);
    unit->AddSoldier(soldier);  // a unit without soldiers leaves the world
    soldier->SetParentUnit(unit);
    return soldier;
  };
  UnitEntity* gunners = makeUnit(1);
  SoldierEntity* gunner = makeSoldier(gunners, VisVector_cl(0, -50, 0));
  const struct {
    int nation;
    bool sameUnit;
    bool hit;
  } cases[] = {{2, false, true}, {1, false, false}, {2, true, false}};
  for (const auto& c : cases) {
    UnitEntity* unit = c.sameUnit ? gunners : makeUnit(c.nation);
    SoldierEntity* victim = makeSoldier(unit, VisVector_cl(0, 10, 0));
    MessageLog* log = Listen(victim);
    Launch(VisVector_cl(0, 0, 4), 90.0f, 0.0f, gunner);
    int frames = 0;
    while (Alive(projectile) && frames < 60) {
      Frame();
      ++frames;
    }
    EXPECT_FALSE(Alive(projectile));
    EXPECT_EQ(log->Count(22), c.hit ? 1 : 0) << "nation " << c.nation << (c.sameUnit ? ", same unit" : "");
    EXPECT_EQ(EffectsOf("cannon_splash_01"), 0);
    victim->Remove();
    Vision::Game.FreeRemovedEntities();
  }
}

// The soldier hears the hit as a blast: it takes the shooter's melee damage.
TEST_F(CannonBallComponentTest, ASoldierStruckByASoldiersBallTakesTheShootersDamage) {
  SoldierStats gunnerStats, victimStats;
  gunnerStats.m_CombatSkills.m_iMeleeMinDamage = 7;
  gunnerStats.m_CombatSkills.m_iMeleeMaxDamage = 7;
  victimStats.m_Hitpoints.SetMaximum(100);
  victimStats.m_Hitpoints.SetCurrent(100);
  auto soldierOf = [](int nation, const VisVector_cl& at, SoldierStats* stats) {
    auto* unit = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0)));
    unit->SetNation(nation);
    auto* soldier = static_cast<SoldierEntity*>(Vision::Game.CreateEntity("SoldierEntity", at));
    soldier->SetMesh("models\\testsail.model");
    soldier->SetTraceAccuracy(VIS_TRACEACC_OBOX);
    soldier->SetStats(stats);
    soldier->CreateStateMachine(STATE_IDLE);  // its global state hears the hit
    unit->AddSoldier(soldier);
    soldier->SetParentUnit(unit);
    return soldier;
  };
  SoldierEntity* gunner = soldierOf(1, VisVector_cl(0, -50, 0), &gunnerStats);
  SoldierEntity* victim = soldierOf(2, VisVector_cl(0, 10, 0), &victimStats);
  Launch(VisVector_cl(0, 0, 4), 90.0f, 0.0f, gunner);
  for (int frames = 0; Alive(projectile) && frames < 60; ++frames) Frame();
  EXPECT_FALSE(Alive(projectile));
  EXPECT_EQ(victimStats.m_Hitpoints.GetCurrent(), 93);
  gunner->SetStats(nullptr);
  victim->SetStats(nullptr);
}

TEST_F(CannonBallComponentTest, ABallWithoutShooterGoesAndALeavingShooterIsForgottenFirst) {
  Launch(VisVector_cl(0, 0, 10), 0.0f, -15.0f, nullptr);
  Frame();
  EXPECT_FALSE(Alive(projectile));

  ShipEntity* shooter = MakeShip("Shooter", 1, VisVector_cl(0, -100, 0));
  Launch(VisVector_cl(0, 0, 10), 0.0f, -15.0f, shooter);
  ProjectileEntity* second = projectile;
  Vision::Timer.Update();
  shooter->Remove();
  Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
  EXPECT_EQ(second->GetShooter(), nullptr);
  EXPECT_TRUE(Alive(second));
  Vision::Game.FreeRemovedEntities();
  Frame();
  EXPECT_FALSE(Alive(second));
}

TEST_F(CannonBallComponentTest, SavedBlockComesBeforeTheComponentData) {
  CannonBallComponent original, fresh;
  original.SetVelocity(VisVector_cl(1, 2, 3, 0.5f));
  archive_test::Bytes bytes;
  ASSERT_TRUE(archive_test::RoundTrip(
      original, fresh, [](CannonBallComponent& c, VArchive& ar) { c.Serialize(ar); },
      [](CannonBallComponent& c, VArchive& ar) { c.Serialize(ar); }, &bytes));
  EXPECT_EQ(fresh.GetVelocity(), VisVector_cl(1, 2, 3));
  EXPECT_FLOAT_EQ(fresh.GetVelocity().w, 0.5f);
  EXPECT_EQ(std::string(bytes.begin() + 4, bytes.begin() + 8), "ARCH");

  // A block without its end mark fails: nothing of it is taken and the component
  // data after it is not read.
  archive_test::Bytes broken = archive_test::SaveBytes([](VArchive& ar) {
    ar << "ARCH" << (char)2 << VisVector_cl(5, 5, 5) << 45.0f << 4.0f << 40.0f << 0.1f << "END" << 7;
  });
  CannonBallComponent other;
  const VisVector_cl before = other.GetVelocity();
  archive_test::ReadArchive in(broken);
  other.Serialize(*in);
  EXPECT_FALSE(in->IsOK());
  EXPECT_EQ(other.GetVelocity(), before);
  EXPECT_EQ(in->GetRemaining(), 4);
}

}  // namespace
