// The special weapons the sloop's special cannon fires on order 53, flown by the
// physics: the sea mine and the stink bomb dropped behind the ship, the mortar
// shell and the MIRV shell with its clusters; the stink bomb's saved cloud.
#include "components/AIShipComponent.h"
#include "components/CannonComponent.h"
#include "components/MirvClusterComponent.h"
#include "components/MirvComponent.h"
#include "components/MortarComponent.h"
#include "components/ShipMovementComponent.h"
#include "core/ComponentMessages.h"
#include "entities/CannonEntity.h"
#include "entities/FartBombEntity.h"
#include "entities/MineEntity.h"
#include "entities/ShipStats.h"
#include "Managers/SaveGameManager.h"
#include "support/ArchiveRoundTrip.h"
#include "support/ShipTestWorld.h"

#include "engine/core/VisParticleGroupManager.h"
#include "engine/physics/NxActor.h"
#include "engine/physics/vPhysXContactRecord.h"
#include "engine/physics/vPhysXModule.h"
#include "engine/physics/vPhysXRigidBody.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace {

using archive_test::Bytes;
using archive_test::LoadBytes;
using archive_test::SaveBytes;

const int kMsgMineHit = 20;
const int kMsgMirvHit = 21;
const int kMsgMortarHit = 23;

class SpecialWeaponsTest : public ShipTestWorld {
 protected:
  void SetUp() override {
    ShipTestWorld::SetUp();
    vPhysXModule::SetInstance(&physics);
    // The player's sloop lies still at the origin, bow along +x: its special cannon
    // faces left (+y) with its muzzle 10 out, and it drops behind at (-14, 0, -3).
    player = Sloop("Player", 1, VisVector_cl(0, 0, 0), true);
  }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    VisParticleGroupManager_cl::GlobalManager().RemoveAllEffects();
    ShipTestWorld::TearDown();
    vPhysXModule::SetInstance(nullptr);
  }

  // A sloop that keeps its place (its movement runs at no speed) and records what it hears.
  ShipEntity* Sloop(const char* name, int nation, const VisVector_cl& at, bool playerShip = false) {
    ShipEntity* ship = MakeSloop(name, nation, at, 0.0f, playerShip);
    EXPECT_NE(ship, nullptr);
    ship->Components<ShipMovementComponent>()->SetSpeedFactor(0.0f);
    // Without a captain: no sails set or headings steered behind the weapons' backs.
    if (AIShipComponent* captain = ship->Components<AIShipComponent>()) captain->DisposeObject();
    heard[ship] = Listen(ship);
    return ship;
  }
  int Heard(ShipEntity* ship, int id) { return heard[ship]->Count(id); }

  // One engine frame of the fixed step with a physics step (or without one).
  void Step(bool withPhysics = true) {
    Vision::Timer.Update();
    Vision::Callbacks.OnUpdateSceneBegin.TriggerCallbacks();
    Vision::Game.RunThinkFunctions();
    if (withPhysics) {
      physics.OnRunPhysics(Vision::Timer.GetTimeDifference());
      physics.FetchPhysicsResults();
    }
    Vision::Callbacks.OnPhysicsSimulationFinished.TriggerCallbacks();
    Vision::Game.FreeRemovedEntities();
  }
  // Frames until the condition holds (at most limit); the frames it took.
  template <class Pred>
  int StepUntil(Pred pred, int limit = 1200, bool withPhysics = true) {
    int frames = 0;
    while (!pred() && frames < limit) {
      Step(withPhysics);
      ++frames;
    }
    return frames;
  }

  // Order 53 with the weapon; frames until the special cannon has fired it.
  void Fire(ProjectileType type) {
    CannonComponent* cannon = player->GetSpecialCannon();
    ASSERT_NE(cannon, nullptr);
    player->SendMsg(VIS_MSG_USER_CANNON_FIRE_SPECIAL, type, 0);
    ASSERT_EQ(cannon->GetShotsLeft(), 1);
    StepUntil([&] { return cannon->GetShotsLeft() == 0; }, 60);
    ASSERT_EQ(cannon->GetShotsLeft(), 0);
  }

  template <class T>
  static T* Find(const char* key) {
    VisBaseEntity_cl* e = Vision::Game.SearchEntity(key);
    return e && !e->IsMarkedRemoved() && e->IsOfType(T::GetClassTypeId()) ? static_cast<T*>(e) : nullptr;
  }
  static bool Alive(const VisBaseEntity_cl* entity) {
    for (VisBaseEntity_cl* e : Vision::Game.GetEntities())
      if (e == entity && !e->IsMarkedRemoved()) return true;
    return false;
  }
  static std::vector<ProjectileEntity*> Keyed(const char* key) {
    std::vector<ProjectileEntity*> out;
    for (VisBaseEntity_cl* e : Vision::Game.GetEntities())
      if (e && !e->IsMarkedRemoved() && e->HasObjectKey(key) && e->IsOfType(ProjectileEntity::GetClassTypeId()))
        out.push_back(static_cast<ProjectileEntity*>(e));
    return out;
  }
  static int Effects(const char* file) {
    int n = 0;
    VisParticleGroupManager_cl& particles = VisParticleGroupManager_cl::GlobalManager();
    for (int i = 0; i < particles.GetEffectCount(); ++i)
      n += std::string(particles.GetEffect(i)->GetSourceEffect()->GetFilename()).find(file) != std::string::npos;
    return n;
  }
  static vPhysXRigidBody* Body(VisBaseEntity_cl* e) { return e->Components<vPhysXRigidBody>(); }
  static void MoveShip(ShipEntity* ship, const VisVector_cl& to) { Body(ship)->SetPosition(to); }

  // A contact of the projectile's body with the ship's, as the physics delivers it.
  static void Touch(ProjectileEntity* projectile, ShipEntity* ship) {
    vPhysXContactRecord contact;
    contact.participant[0].pObject = Body(ship);
    contact.participant[1].pObject = Body(projectile);
    contact.vPoint = projectile->GetPosition();
    projectile->SendMsg(VIS_MSG_PHYSICS_CONTACT, reinterpret_cast<INT_PTR>(&contact), VPHYSX_CONTACT_NOTIFY);
  }

  vPhysXModule physics;
  ShipEntity* player = nullptr;
  std::map<ShipEntity*, MessageRecorder*> heard;
};

// ---- the sea mine ----------------------------------------------------------------------

TEST_F(SpecialWeaponsTest, AMineRisesSplashesOnceAndExplodesAfterItsFuseOnTheShipsInRange) {
  ShipEntity* near = Sloop("Near", 2, VisVector_cl(-14, 15, 0));
  ShipEntity* far = Sloop("Far", 2, VisVector_cl(-14, 45, 0));
  Fire(PROJECTILE_MINE);
  auto* mine = Find<MineEntity>("Mine");
  ASSERT_NE(mine, nullptr);
  EXPECT_EQ(mine->GetShooter(), player);
  EXPECT_NEAR(mine->GetPosition().x, -14.0f, 1e-3f);
  EXPECT_NEAR(mine->GetPosition().z, -3.0f, 0.1f);
  ASSERT_NE(Body(mine), nullptr);
  EXPECT_EQ(Body(mine)->GetCollisionBitmask(), 0u);
  const VisVector_cl spin = Body(mine)->GetAngularVelocity();
  EXPECT_FALSE(spin.IsZero());
  for (float axis : {spin.x, spin.y, spin.z}) EXPECT_LE(std::fabs(axis), 1.5f);
  float fuse = mine->GetExplosionTimer();
  EXPECT_NEAR(fuse, 5.5f, 1.01f * kStep);

  // Under water the barrel rises at 1.5 a second (less the pull of one tick), until
  // it breaks the surface: one splash, and it floats without a body from then on.
  const float depth = mine->GetPosition().z;
  Step();
  EXPECT_NEAR(Body(mine)->GetVelocity().z, 1.5f - 9.8f / 60.0f, 0.02f);
  const int rising = StepUntil([&] { return !Body(mine); }, 300);
  EXPECT_NEAR(-depth / (rising * kStep), 1.5f, 0.2f);
  EXPECT_EQ(Effects("debris_splash_01"), 1);
  Step();
  EXPECT_EQ(Effects("debris_splash_01"), 1);

  // 5.5 s after it was dropped it explodes, once, on every ship within 20 (its own
  // ship 14 off too), and is gone.
  fuse -= (rising + 2) * kStep;
  const int frames = StepUntil([&] { return !Alive(mine); }, 600);
  EXPECT_NEAR(frames * kStep, fuse, 1.5f * kStep);
  EXPECT_EQ(Heard(near, kMsgMineHit), 1);
  EXPECT_EQ(Heard(player, kMsgMineHit), 1);
  EXPECT_EQ(Heard(far, kMsgMineHit), 0);
  EXPECT_EQ(Effects("mine_explosion"), 1);
  EXPECT_LT(near->GetStats()->GetHull().GetCurrent(), near->GetStats()->GetHull().GetMaximum());
}

TEST_F(SpecialWeaponsTest, AnExplodingMineShortensTheFusesOfTheMinesWithinTwenty) {
  auto lay = [](const VisVector_cl& at) {
    auto* mine = static_cast<MineEntity*>(Vision::Game.CreateEntity("MineEntity", at));
    mine->SetEntityKey("Mine");
    mine->Init();
    return mine;
  };
  MineEntity* first = lay(VisVector_cl(0, 100, 0));
  MineEntity* inRange = lay(VisVector_cl(12, 100, 0));
  MineEntity* outOfRange = lay(VisVector_cl(0, 125, 0));
  first->DecExplosionTimer(1.0f);
  StepUntil([&] { return !Alive(first); }, 600, false);
  EXPECT_NEAR(outOfRange->GetExplosionTimer(), 1.0f, kStep);
  EXPECT_LT(inRange->GetExplosionTimer(), outOfRange->GetExplosionTimer());
  EXPECT_GT(inRange->GetExplosionTimer(), 0.0f);
  // Sooner, never later: the shortened mine goes first.
  StepUntil([&] { return !Alive(inRange); }, 600, false);
  EXPECT_TRUE(Alive(outOfRange));
}

// A mine whose removal is still due when its think runs again must not explode twice.
TEST_F(SpecialWeaponsTest, AMineExplodesOnceEvenWhenItThinksAgainBeforeItIsFreed) {
  ShipEntity* near = Sloop("Near", 2, VisVector_cl(0, 110, 0));
  auto* mine = static_cast<MineEntity*>(Vision::Game.CreateEntity("MineEntity", VisVector_cl(0, 100, 0)));
  mine->SetEntityKey("Mine");
  Step();
  mine->DecExplosionTimer(10.0f);
  mine->ThinkFunction();
  EXPECT_TRUE(mine->HasExploded());
  EXPECT_TRUE(mine->IsMarkedRemoved());
  mine->ThinkFunction();
  mine->Explode();
  EXPECT_EQ(Heard(near, kMsgMineHit), 1);
  EXPECT_EQ(Effects("mine_explosion"), 1);

  // One that had exploded before it was saved only goes.
  auto* spent = static_cast<MineEntity*>(Vision::Game.CreateEntity("MineEntity", VisVector_cl(0, 105, 0)));
  spent->SetExploded(true);
  spent->DecExplosionTimer(10.0f);
  Step();
  EXPECT_FALSE(Alive(spent));
  EXPECT_EQ(Heard(near, kMsgMineHit), 1);
  EXPECT_EQ(Effects("mine_explosion"), 1);
}

// ---- the stink bomb ----------------------------------------------------------------------

TEST_F(SpecialWeaponsTest, AStinkBombBurstsOnAShipWithinSevenThenLiftsHoldsAndBlastsTheShipsInRange) {
  ShipEntity* stays = Sloop("Stays", 2, VisVector_cl(-14, 30, 0));
  ShipEntity* leaves = Sloop("Leaves", 2, VisVector_cl(-14, -30, 0));
  Fire(PROJECTILE_BUBBLEMINE);
  auto* bomb = Find<FartBombEntity>("FartBomb");
  ASSERT_NE(bomb, nullptr);
  EXPECT_EQ(bomb->GetShooter(), player);
  EXPECT_NEAR(bomb->GetPosition().z, -3.0f, 0.1f);
  ASSERT_NE(Body(bomb), nullptr);
  EXPECT_EQ(Body(bomb)->GetCollisionBitmask(), 0u);
  EXPECT_FALSE(Body(bomb)->GetAngularVelocity().IsZero());

  // It rises to 1.5 under the surface, splashes and stays there.
  const float depth = bomb->GetPosition().z;
  const int rising = StepUntil([&] { return !Body(bomb); }, 300);
  EXPECT_NEAR((-1.5f - depth) / (rising * kStep), 1.5f, 0.2f);
  EXPECT_GE(bomb->GetPosition().z, -1.5f);
  const VisVector_cl afloat = bomb->GetPosition();
  EXPECT_EQ(Effects("debris_splash_01"), 1);
  MoveShip(player, VisVector_cl(80, 0, 0));

  // Nobody within 7: it waits. Two ships come within 7: they strike their sails and
  // it bursts.
  MoveShip(stays, afloat + VisVector_cl(0, 7.5f, 0));
  for (int i = 0; i < 30; ++i) Step();
  EXPECT_FALSE(bomb->HasExploded());
  EXPECT_EQ(Heard(stays, VIS_MSG_USER_SHIP_NOSAILS), 0);
  EXPECT_TRUE(bomb->GetPosition().IsEqual(afloat, 1e-4f));
  MoveShip(stays, VisVector_cl(afloat.x, afloat.y + 5.0f, 0));
  MoveShip(leaves, VisVector_cl(afloat.x, afloat.y - 6.0f, 0));
  Step();
  EXPECT_TRUE(bomb->HasExploded());
  EXPECT_EQ(Heard(stays, VIS_MSG_USER_SHIP_NOSAILS), 1);
  EXPECT_EQ(Heard(leaves, VIS_MSG_USER_SHIP_NOSAILS), 1);
  EXPECT_EQ(Effects("fartbomb"), 1);

  // Up to 0.8 s nothing; until 2.1 s the ships rise; from then they are held.
  auto height = [](ShipEntity* s) { return s->GetPosition().z; };
  StepUntil([&] { return bomb->GetExplosionTimer() > 0.8f; });
  EXPECT_NEAR(height(stays), 0.0f, 1e-3f);
  EXPECT_FALSE(stays->GetStinkFlag());
  Step();
  EXPECT_TRUE(stays->GetStinkFlag());
  StepUntil([&] { return bomb->GetExplosionTimer() >= 2.1f; });
  const float lifted = height(stays);
  EXPECT_GT(lifted, 1.0f);
  EXPECT_NEAR(height(leaves), lifted, 0.05f);
  NxActor* held = Body(stays)->GetActor();
  for (int i = 0; i < 30; ++i) Step();
  EXPECT_NEAR(height(stays), lifted, 0.05f);
  EXPECT_TRUE(held->readBodyFlag(NX_BF_FROZEN_POS_Z));

  // A ship that leaves the cloud is let go (back on the water) and is not blasted;
  // the ship that stays takes one mine hit at 5 s, and the bomb is gone.
  MoveShip(leaves, VisVector_cl(afloat.x, afloat.y - 20.0f, height(leaves)));
  Step();
  Step();
  EXPECT_NEAR(height(leaves), 0.0f, 1e-3f);
  const int rest = StepUntil([&] { return !Alive(bomb); });
  EXPECT_NEAR(rest * kStep, 5.0f - 2.6f, 0.1f);
  EXPECT_EQ(Heard(stays, kMsgMineHit), 1);
  EXPECT_EQ(Heard(leaves, kMsgMineHit), 0);
  EXPECT_EQ(Heard(player, kMsgMineHit), 0);
  Step();
  Step();
  EXPECT_NEAR(height(stays), 0.0f, 1e-3f);
}

// The saved bomb keeps its burst and its cloud's time: loaded, it holds the ship at
// once and blasts it when the rest of the five seconds has run.
TEST_F(SpecialWeaponsTest, ALoadedStinkBombResumesItsCloud) {
  auto* original = static_cast<FartBombEntity*>(Vision::Game.CreateEntity("FartBombEntity", VisVector_cl(0, 100, 0)));
  auto* fresh = static_cast<FartBombEntity*>(Vision::Game.CreateEntity("FartBombEntity", VisVector_cl(0, 100, 0)));
  original->SetExploded(true);
  original->DecExplosionTimer(-4.0f);
  Bytes first;
  ASSERT_TRUE(archive_test::RoundTrip(
      *original, *fresh, [](FartBombEntity& b, VArchive& ar) { b.Serialize(ar); },
      [](FartBombEntity& b, VArchive& ar) { b.Serialize(ar); }, &first));
  EXPECT_TRUE(fresh->HasExploded());
  EXPECT_FLOAT_EQ(fresh->GetExplosionTimer(), 4.0f);
  EXPECT_FLOAT_EQ(fresh->GetRange(), 7.0f);
  // The fuse block is the last one: exploded as one byte, then two floats.
  const uint8_t tail[] = {'A', 'R', 'C', 'H', 2, 1, 0, 0, 0x80, 0x40, 0, 0, 0xE0, 0x40};
  ASSERT_GE(first.size(), sizeof(tail) + 7);
  EXPECT_TRUE(std::equal(tail, tail + sizeof(tail), first.end() - 7 - (long)sizeof(tail)));

  // A block of version 1 carries none of the values.
  FartBombEntity* old = static_cast<FartBombEntity*>(Vision::Game.CreateEntity("FartBombEntity", VisVector_cl(0, 0, 0)));
  const Bytes v1 = SaveBytes([&](VArchive& ar) {
    original->ProjectileEntity::Serialize(ar);
    SaveGameManagerProto::BeginBlock(ar, 1);
    SaveGameManagerProto::EndBlock(ar);
  });
  ASSERT_TRUE(LoadBytes(v1, [&](VArchive& ar) { old->Serialize(ar); }));
  EXPECT_FALSE(old->HasExploded());
  EXPECT_FLOAT_EQ(old->GetExplosionTimer(), 0.0f);
  old->Remove();
  original->Remove();

  ShipEntity* ship = Sloop("Held", 2, VisVector_cl(0, 104, 0));
  Step();
  EXPECT_TRUE(ship->GetStinkFlag());
  EXPECT_TRUE(Body(ship)->GetActor()->readBodyFlag(NX_BF_FROZEN_POS_Z));
  const int frames = StepUntil([&] { return !Alive(fresh); });
  EXPECT_NEAR(frames * kStep, 1.0f, 2 * kStep);
  EXPECT_EQ(Heard(ship, kMsgMineHit), 1);
}

// ---- the mortar ----------------------------------------------------------------------

TEST_F(SpecialWeaponsTest, AMortarShellLeavesAtTheChargedSpeedIgnoresItsShooterAndHitsAShip) {
  ShipEntity* target = Sloop("Target", 2, VisVector_cl(-2.5f, 20, 0));
  const int hull = target->GetStats()->GetHull().GetCurrent();
  const struct {
    int chargeFrames;
    float speed;
  } shots[] = {{0, 25.0f}, {120, 75.0f}};
  for (const auto& shot : shots) {
    SCOPED_TRACE(shot.speed);
    CannonComponent* cannon = player->GetSpecialCannon();
    cannon->SetReloadDelay(0.0f);
    for (int i = 0; i < shot.chargeFrames; ++i) {
      player->SendMsg(VIS_MSG_USER_CANNON_CHARGE_SPECIAL, 0, 0);
      Step();
    }
    Fire(PROJECTILE_MORTAR);
    ProjectileEntity* shell = Find<ProjectileEntity>("Mortar");
    ASSERT_NE(shell, nullptr);
    EXPECT_NE(shell->Components<MortarComponent>(), nullptr);
    EXPECT_EQ(shell->GetShooter(), player);
    EXPECT_FLOAT_EQ(shell->GetScaling().x, 6.0f);
    ASSERT_NE(Body(shell), nullptr);
    EXPECT_EQ(Body(shell)->GetCollisionBitmask(), 12u) << "the player's shell";
    // Along the barrel (to the left, as the waves tilt the ship), falling since.
    const VisVector_cl v = Body(shell)->GetVelocity();
    const VisVector_cl barrel = static_cast<CannonEntity*>(cannon->GetOwner())->GetDirection();
    EXPECT_GT(barrel.y, 0.99f);
    EXPECT_NEAR(v.x, barrel.x * shot.speed, 1e-2f);
    EXPECT_NEAR(v.y, barrel.y * shot.speed, 1e-2f);
    EXPECT_LT(v.z, barrel.z * shot.speed);
    EXPECT_FLOAT_EQ(cannon->GetSpecialPower(), 20.0f);
    EXPECT_EQ(Effects("big_muzzle"), 1);

    // Touching its own ship does nothing; the target takes message 23 once and the
    // shell goes up in the air.
    Touch(shell, player);
    EXPECT_FALSE(shell->IsMarkedRemoved());
    StepUntil([&] { return !Alive(shell); }, 120);
    EXPECT_FALSE(Alive(shell));
    EXPECT_EQ(Heard(target, kMsgMortarHit), &shot == shots ? 1 : 2);
    EXPECT_EQ(Heard(player, kMsgMortarHit), 0);
    EXPECT_EQ(Effects("nuke.xml"), 1);
    VisParticleGroupManager_cl::GlobalManager().RemoveAllEffects();
  }
  EXPECT_LT(target->GetStats()->GetHull().GetCurrent(), hull) << "the hit names the shooter";
  EXPECT_EQ(Effects("big_splash"), 0);
}

TEST_F(SpecialWeaponsTest, AMortarShellThatMeetsNothingSplashesBelowTheWater) {
  Fire(PROJECTILE_MORTAR);
  ProjectileEntity* shell = Find<ProjectileEntity>("Mortar");
  ASSERT_NE(shell, nullptr);
  StepUntil([&] { return !Alive(shell); }, 120);
  EXPECT_FALSE(Alive(shell));
  EXPECT_EQ(Effects("big_splash"), 1);
  EXPECT_EQ(Effects("nuke"), 0);
}

// ---- the MIRV ----------------------------------------------------------------------

TEST_F(SpecialWeaponsTest, AMirvBurstsAfterTwoSecondsIntoTenClustersThatExplodeOnAShipAndAtTheirFuse) {
  Fire(PROJECTILE_MIRV);
  ProjectileEntity* shell = Find<ProjectileEntity>("Mirv");
  ASSERT_NE(shell, nullptr);
  EXPECT_EQ(shell->GetShooter(), player);
  auto* flight = shell->Components<MirvComponent>();
  ASSERT_NE(flight, nullptr);
  EXPECT_NEAR(flight->GetLaunchDirection().z, std::sqrt(0.5f), 1e-3f) << "pitched up 45 degrees";
  EXPECT_NEAR(flight->GetLaunchDirection().y, std::sqrt(0.5f), 1e-3f);
  // The burst comes 2.0 s after the launch; its frame runs without physics so that
  // the clusters stand where they were made.
  const float left = flight->GetBurstTimer();
  EXPECT_NEAR(left, 2.0f, 1.01f * kStep);
  const int frames = StepUntil([&] { return flight->GetBurstTimer() <= kStep; });
  EXPECT_NEAR((frames + 1) * kStep, left, 1.01f * kStep);
  const VisVector_cl burst = shell->GetPosition();
  EXPECT_GT(burst.z, 10.0f);
  Step(false);
  EXPECT_FALSE(Alive(shell));
  EXPECT_EQ(Effects("mirv_air_explosion"), 1);

  const std::vector<ProjectileEntity*> clusters = Keyed("MirvCluster");
  ASSERT_EQ(clusters.size(), 10u);
  std::vector<float> angles;
  for (ProjectileEntity* c : clusters) {
    const VisVector_cl d = c->GetPosition() - burst;
    EXPECT_NEAR(std::hypot(d.x, d.y), 2.7777777f, 1e-3f);
    EXPECT_NEAR(d.z, 0.0f, 1e-3f);
    angles.push_back(std::atan2(d.x, d.y) * 180.0f / 3.14159265f);
    EXPECT_EQ(c->GetShooter(), player);
    auto* cluster = c->Components<MirvClusterComponent>();
    ASSERT_NE(cluster, nullptr);
    EXPECT_GE(cluster->GetFuse(), 1.5f);
    EXPECT_LE(cluster->GetFuse(), 2.5f);
    const VisVector_cl v = Body(c)->GetVelocity();
    EXPECT_NEAR(v.z, 0.0f, 1e-4f);
    EXPECT_GE(std::hypot(v.x, v.y), 4.0f - 1e-3f);
    EXPECT_LE(std::hypot(v.x, v.y), 10.0f + 1e-3f);
    EXPECT_EQ(Body(c)->GetCollisionBitmask(), 0xffffffffu);
  }
  for (float& a : angles) a = std::fmod(a + 360.0f + 1e-3f, 360.0f);
  std::sort(angles.begin(), angles.end());
  for (size_t i = 0; i < angles.size(); ++i) EXPECT_NEAR(angles[i], (float)i * 36.0f, 1e-2f) << i;

  // One cluster by a ship: a touch (however many frames it lasts) explodes it once,
  // its fuse once more.
  ProjectileEntity* chosen = clusters[0];
  for (ProjectileEntity* c : clusters)
    if (c != chosen) c->Remove();
  ShipEntity* target = Sloop("Target", 2, VisVector_cl(chosen->GetPosition().x + 5.0f, chosen->GetPosition().y, 0));
  const int hull = target->GetStats()->GetHull().GetCurrent();
  Step(false);
  Touch(chosen, target);
  Step(false);
  Touch(chosen, target);
  Step(false);
  EXPECT_EQ(Heard(target, kMsgMirvHit), 1);
  EXPECT_TRUE(Alive(chosen)) << "it flies on";
  EXPECT_EQ(Effects("mirv_cluster_explosion"), 1);
  StepUntil([&] { return !Alive(chosen); }, 200, false);
  EXPECT_EQ(Heard(target, kMsgMirvHit), 2);
  const MessageRecorder* log = heard[target];
  for (size_t i = 0; i < log->ids.size(); ++i)
    if (log->ids[i] == kMsgMirvHit) {
      EXPECT_EQ(log->firstParameters[i], reinterpret_cast<INT_PTR>(player)) << "the shooter";
    }
  EXPECT_EQ(Effects("mirv_cluster_explosion"), 2);
  EXPECT_LT(target->GetStats()->GetHull().GetCurrent(), hull);
}

}  // namespace
