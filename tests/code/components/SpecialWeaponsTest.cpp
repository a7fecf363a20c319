// The special weapons the sloop's special cannon fires on order 53, flown by the
// physics: the sea mine and the stink bomb dropped behind the ship, the mortar
// shell and the MIRV shell with its clusters; the stink bomb's saved cloud.
#include "components/AIShipComponent.h"
#include "components/CannonComponent.h"
#include "components/MirvClusterComponent.h"
#include "components/MirvComponent.h"
#include "components/MortarComponent.h"
#include "components/NoteComponent.h"
#include "components/RocketComponent.h"
#include "components/SirenComponent.h"
#include "components/ShipMovementComponent.h"
#include "core/ComponentMessages.h"
#include "entities/CannonEntity.h"
#include "entities/FartBombEntity.h"
#include "entities/MineEntity.h"
#include "entities/ShipStats.h"
#include "util/MathTools.h"
#include "Managers/PauseManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SoundManager.h"
#include "support/ArchiveRoundTrip.h"
#include "support/SeaPhysicsTestWorld.h"

#include "engine/core/VisParticleGroupManager.h"
#include "engine/physics/NxActor.h"
#include "engine/physics/vPhysXContactRecord.h"
#include "engine/physics/vPhysXModule.h"
#include "engine/physics/vPhysXRigidBody.h"
#include "engine/sound/VSoundManager.h"
#include "engine/sound/VSoundObject.h"
#include "engine/sound/VSoundResource.h"

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

class SpecialWeaponsTest : public SeaPhysicsTestWorld {
 protected:
  void SetUp() override {
    SeaPhysicsTestWorld::SetUp();
    // The player's sloop lies still at the origin, bow along +x: its special cannon
    // faces left (+y) with its muzzle 10 out, and it drops behind at (-14, 0, -3).
    player = Sloop("Player", 1, VisVector_cl(0, 0, 0), true);
  }
  // A still sloop that records what it hears.
  ShipEntity* Sloop(const char* name, int nation, const VisVector_cl& at, bool playerShip = false) {
    ShipEntity* ship = StillSloop(name, nation, at, 0.0f, playerShip);
    if (ship) heard[ship] = Listen(ship);
    return ship;
  }
  int Heard(ShipEntity* ship, int id) { return heard[ship]->Count(id); }

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
  static void MoveShip(ShipEntity* ship, const VisVector_cl& to) { Body(ship)->SetPosition(to); }


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


// ---- the rocket ----------------------------------------------------------------------

const int kMsgRocketHit = 25;

class RocketTest : public SpecialWeaponsTest {
 protected:
  void SetUp() override {
    SpecialWeaponsTest::SetUp();
    VSoundManager::GlobalManager().SetInitialized(true);
    SoundManager* sounds = SoundManager::GetInstance();
    sounds->AddSFXSound(SOUND_SFX_SHOOT_ROCKET_SHIP, "Sounds\\FX\\fx_rocket_ship_launch.wav", false, false, 0.0f);
    sounds->AddSFXSound(SOUND_SFX_HIT_ROCKET, "Sounds\\FX\\rocket_grenade_explosion.wav", false, false, 0.0f);
  }
  void TearDown() override {
    VSoundManager::GlobalManager().SetInitialized(false);
    SpecialWeaponsTest::TearDown();
  }

  // A rocket of the player's launched at the point, turned (yaw, pitch; a positive
  // pitch points the nose down).
  ProjectileEntity* Rocket(const VisVector_cl& at, float yaw = 0.0f, float pitch = 0.0f) {
    auto* rocket = static_cast<ProjectileEntity*>(Vision::Game.CreateEntity("ProjectileEntity", at));
    rocket->SetNation(player->GetNation());
    rocket->SetShooter(player);
    rocket->SetOrientation(yaw, pitch, 0.0f);
    auto* flight = new RocketComponent();
    flight->Initialize();
    EXPECT_TRUE(rocket->AddComponent(flight));
    return rocket;
  }
  // A ship at war with the player's that holds still: its captain declares the
  // attack on the player's nation and makes no decisions after that.
  ShipEntity* Attacker(const char* name, const VisVector_cl& at) {
    ShipEntity* ship = Sloop(name, 2, at);
    auto* captain = new AIShipComponent();
    EXPECT_TRUE(ship->AddComponent(captain));
    captain->SetAIMode(AIShipComponent::AIMODE_ATTACK);
    captain->SetAttackTargetNation(player->GetNation());
    captain->MessageFunction(VIS_MSG_USER_SHIP_SINK, 0, 0);
    return ship;
  }
  static RocketComponent* Flight(ProjectileEntity* rocket) { return rocket->Components<RocketComponent>(); }
  static VisVector_cl Forward(ProjectileEntity* rocket) { return Body(rocket)->GetRotationMatrix().GetColumn(0); }

  // Live sounds made from the file.
  static int Sounds(const char* file) {
    int n = 0;
    VSoundManager& sounds = VSoundManager::GlobalManager();
    for (int i = 0; i < sounds.GetInstanceCount(); ++i) {
      const VSoundObject* s = sounds.GetInstance(i);
      n += s && s->GetResource() && std::string(s->GetResource()->GetFileName()).find(file) != std::string::npos;
    }
    return n;
  }

  // A contact of two physics objects as the physics delivers it to the rocket.
  static void Contact(ProjectileEntity* rocket, vPhysXObject* first, vPhysXObject* second) {
    vPhysXContactRecord contact;
    contact.participant[0].pObject = first;
    contact.participant[1].pObject = second;
    contact.vPoint = rocket->GetPosition();
    rocket->SendMsg(VIS_MSG_PHYSICS_CONTACT, reinterpret_cast<INT_PTR>(&contact), VPHYSX_CONTACT_NOTIFY);
  }
};

TEST_F(RocketTest, ASalvoFliesStraightForASecondThenHomesOnTheClosestHostileShipAndStrikesIt) {
  ShipEntity* near = Attacker("Near", VisVector_cl(70, 60, 0));
  ShipEntity* far = Attacker("Far", VisVector_cl(-150, 160, 0));
  const int hull = near->GetStats()->GetHull().GetCurrent();
  // The rockets leave the muzzle 2.6 above the sea with a random tilt of a few
  // degrees; this draw tilts none of them into the sea within its first second.
  MathTools::SetGaussianRandomState(13);
  CannonComponent* cannon = player->GetSpecialCannon();
  player->SendMsg(VIS_MSG_USER_CANNON_FIRE_SPECIAL, PROJECTILE_ROCKET, 0);
  EXPECT_EQ(cannon->GetShotsLeft(), 4);
  StepUntil([&] { return !Keyed("Rocket").empty(); }, 60);
  ASSERT_EQ(Keyed("Rocket").size(), 1u);
  ProjectileEntity* first = Keyed("Rocket")[0];
  RocketComponent* flight = Flight(first);
  ASSERT_NE(flight, nullptr);
  EXPECT_EQ(first->GetShooter(), player);
  EXPECT_GE(flight->GetFuel(), 5.0f - 2 * kStep);
  EXPECT_LE(flight->GetFuel(), 6.0f);
  EXPECT_GE(flight->GetSpeed(), 38.0f);
  EXPECT_LE(flight->GetSpeed(), 52.0f);
  EXPECT_GE(flight->GetTurnRate(), 0.05f);
  EXPECT_LE(flight->GetTurnRate(), 0.15f);
  vPhysXRigidBody* body = Body(first);
  ASSERT_NE(body, nullptr);
  EXPECT_FLOAT_EQ(body->GetMass(), 100.0f);
  EXPECT_EQ(body->GetShapeType(), (int)VPHYSX_SHAPETYPE_CONVEX);
  EXPECT_EQ(body->GetCollisionBitmask(), 12u) << "the player's rocket";
  ASSERT_NE(body->GetActor(), nullptr);
  EXPECT_TRUE(body->GetActor()->readBodyFlag(NX_BF_DISABLE_GRAVITY));
  ASSERT_NE(flight->GetFlightSound(), nullptr);
  EXPECT_EQ(flight->GetFlightSound()->GetParent(), first);
  EXPECT_TRUE(flight->GetFlightSound()->GetStateFlags() & VSOUND_KEPT);

  // Straight along its axis at its speed, without falling, for one second; the four
  // rockets leave the same muzzle and all fly on.
  Step();
  const VisVector_cl axis = Forward(first);
  const VisVector_cl start = first->GetPosition();
  EXPECT_TRUE(body->GetVelocity().IsEqual(axis * flight->GetSpeed(), 1e-2f));
  StepUntil([&] { return flight->GetStraightTime() <= kStep; });
  EXPECT_TRUE(Forward(first).IsEqual(axis, 1e-4f));
  const VisVector_cl travelled = first->GetPosition() - start;
  EXPECT_NEAR(travelled.Dot(axis), travelled.GetLength(), 1e-2f);
  EXPECT_EQ(flight->GetTarget(), nullptr);
  EXPECT_EQ(Keyed("Rocket").size(), 4u);

  // Then it takes the closest ship at war as its target and turns to it.
  Step();
  EXPECT_EQ(flight->GetTarget(), near);
  const int frames = StepUntil([&] { return Keyed("Rocket").empty(); }, 480);
  EXPECT_LT(frames, 480);
  EXPECT_EQ(Heard(far, kMsgRocketHit), 0);
  EXPECT_EQ(Heard(player, kMsgRocketHit), 0);
  EXPECT_LT(near->GetStats()->GetHull().GetCurrent(), hull) << "the hit names the shooter";
  // Each rocket struck the ship once and exploded there.
  EXPECT_EQ(Heard(near, kMsgRocketHit), 4);
  EXPECT_EQ(Effects("fireworks_explosion_01"), 4);
}

// Contacts between two physics objects: a ship takes message 25, and the rocket
// explodes, but rockets of one salvo brushing each other in their first second do not.
TEST_F(RocketTest, ContactsStrikeShipsAndExplodeExceptTwoRocketsInTheirFirstSecond) {
  ShipEntity* enemy = Sloop("Enemy", 2, VisVector_cl(0, 300, 0));
  VisBaseEntity_cl* crate = Vision::Game.CreateEntity("BaseEntity", VisVector_cl(0, -300, 0));
  auto* crateBody = new vPhysXRigidBody();
  crateBody->Initialize();
  ASSERT_TRUE(crate->AddComponent(crateBody));
  enum Other { ROCKET, SHIP_FIRST, SHIP_SECOND, CRATE, TERRAIN };
  const struct {
    const char* what;
    Other other;
    float straightTime;
    bool explodes, strikes;
  } cases[] = {
      {"a rocket in the first second", ROCKET, 0.5f, false, false},
      {"a rocket after the first second", ROCKET, 0.0f, true, false},
      {"a ship (first participant) in the first second", SHIP_FIRST, 0.5f, true, true},
      {"a ship (second participant)", SHIP_SECOND, 0.0f, true, true},
      {"any other body in the first second", CRATE, 0.5f, true, false},
      {"the terrain", TERRAIN, 0.0f, false, false},
  };
  int strikes = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    VisParticleGroupManager_cl::GlobalManager().RemoveAllEffects();
    ProjectileEntity* rocket = Rocket(VisVector_cl(0, 0, 20));
    ProjectileEntity* other = Rocket(VisVector_cl(0, 1, 20));
    Flight(rocket)->SetStraightTime(c.straightTime);
    switch (c.other) {
      case ROCKET: Contact(rocket, Body(other), Body(rocket)); break;
      case SHIP_FIRST: Contact(rocket, Body(enemy), Body(rocket)); break;
      case SHIP_SECOND: Contact(rocket, Body(rocket), Body(enemy)); break;
      case CRATE: Contact(rocket, Body(rocket), crateBody); break;
      case TERRAIN: {
        vPhysXContactRecord ground;
        ground.participant[0].pObject = Body(rocket);
        ground.participant[1].iTerrain = 1;
        rocket->SendMsg(VIS_MSG_PHYSICS_CONTACT, reinterpret_cast<INT_PTR>(&ground), VPHYSX_CONTACT_NOTIFY);
        break;
      }
    }
    strikes += c.strikes;
    EXPECT_EQ(Heard(enemy, kMsgRocketHit), strikes);
    EXPECT_EQ(rocket->IsMarkedRemoved(), c.explodes);
    EXPECT_EQ(Effects("fireworks_explosion_01"), c.explodes ? 1 : 0);
    EXPECT_FALSE(other->IsMarkedRemoved());
    rocket->RemoveAll();
    other->RemoveAll();
    Step(false);
  }
}

// Without a ship to home on, the rocket keeps its last velocity, and its fuel, its
// flight sound and the sea still end it.
TEST_F(RocketTest, WithoutAHostileShipARocketStillBurnsOutOrSplashes) {
  const struct {
    const char* what;
    float pitch;
    bool explodes;
  } cases[] = {
      {"level: the fuel runs out", 0.0f, true},
      {"slightly down: the sea, after its first second", 4.0f, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    VisParticleGroupManager_cl::GlobalManager().RemoveAllEffects();
    ProjectileEntity* rocket = Rocket(VisVector_cl(0, -200, 10), 90.0f, c.pitch);
    RocketComponent* flight = Flight(rocket);
    const float fuel = flight->GetFuel();
    EXPECT_GE(fuel, 5.0f);
    EXPECT_LE(fuel, 6.0f);
    Step();
    const VisVector_cl velocity = Body(rocket)->GetVelocity();
    EXPECT_NEAR(velocity.GetLength(), flight->GetSpeed(), 1e-2f);

    // The game pause holds it still and keeps its fuel.
    PauseManager::GetInstance()->SetGamePause(true);
    const VisVector_cl held = rocket->GetPosition();
    for (int i = 0; i < 10; ++i) Step();
    EXPECT_TRUE(Body(rocket)->GetVelocity().IsZero());
    EXPECT_TRUE(rocket->GetPosition().IsEqual(held, 1e-3f));
    EXPECT_FLOAT_EQ(flight->GetFuel(), fuel - kStep);
    PauseManager::GetInstance()->SetGamePause(false);

    // The flight sound is let go once it has played (1.0 s).
    StepUntil([&] { return flight->GetStraightTime() <= 0.0f; });
    StepUntil([&] { return !flight->GetFlightSound(); }, 60);
    EXPECT_EQ(flight->GetFlightSound(), nullptr);
    EXPECT_EQ(Sounds("fx_rocket_ship_launch"), 0);
    ASSERT_TRUE(Alive(rocket));
    EXPECT_EQ(flight->GetTarget(), nullptr);
    EXPECT_TRUE(Body(rocket)->GetVelocity().IsEqual(velocity, 1e-2f)) << "it flies on as it was";

    const float left = flight->GetFuel();
    const int frames = StepUntil([&] { return !Alive(rocket); }, 600);
    EXPECT_LT(frames, 600) << "it must not fly forever";
    EXPECT_EQ(Effects("fireworks_explosion_01"), c.explodes ? 1 : 0);
    EXPECT_EQ(Sounds("rocket_grenade_explosion"), c.explodes ? 1 : 0);
    EXPECT_EQ(Effects("debris_splash_01"), c.explodes ? 0 : 1);
    if (c.explodes) {
      EXPECT_NEAR(frames * kStep, left, 1.5f * kStep);
    }
  }
}

TEST_F(RocketTest, HomingTurnsFasterEveryFrameUntilItSnapsOntoTheTarget) {
  ShipEntity* target = Attacker("Target", VisVector_cl(0, 100, 0));
  const VisVector_cl from(0, 60, 10);
  auto angleToTarget = [&](ProjectileEntity* r) {
    return VisMath_cl::AngleBetweenVectors(Forward(r), target->GetPosition() - r->GetPosition());
  };

  // A slow turn: the rate grows by 5 / distance + 1 each frame and compounds.
  ProjectileEntity* slow = Rocket(from, 0.0f, 0.0f);
  RocketComponent* flight = Flight(slow);
  flight->SetStraightTime(0.0f);
  flight->SetTurnRate(0.05f);
  const float before = angleToTarget(slow);
  Step(false);
  // Without a physics step the rocket stays where it is; the sloop sits on the sea.
  const float distance = MathTools::DistanceBetweenVectors(slow->GetPosition(), target->GetPosition());
  EXPECT_EQ(flight->GetTarget(), target);
  const float grown = 0.05f * (5.0f / distance + 1.0f);
  EXPECT_NEAR(flight->GetTurnRate(), grown, 1e-6f);
  // A small part of the turn (t = rate x frame) toward it.
  const float turned = before - angleToTarget(slow);
  EXPECT_GT(turned, 0.0f);
  EXPECT_LT(turned, 180.0f * grown * kStep);
  float rate = flight->GetTurnRate();
  for (int i = 0; i < 5; ++i) {
    Step(false);
    EXPECT_GT(flight->GetTurnRate(), rate);
    rate = flight->GetTurnRate();
  }

  // Once the rate times the frame reaches 1 the rocket points straight at its target.
  ProjectileEntity* fast = Rocket(from, 0.0f, 0.0f);
  Flight(fast)->SetStraightTime(0.0f);
  Flight(fast)->SetTurnRate(1.0f / kStep);
  Step(false);
  EXPECT_NEAR(angleToTarget(fast), 0.0f, 0.05f);
  EXPECT_TRUE(Body(fast)->GetVelocity().IsEqual(Forward(fast) * Flight(fast)->GetSpeed(), 1e-2f));

  // A target that leaves the world is forgotten; with none left the rocket flies on.
  target->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(flight->GetTarget(), nullptr);
  EXPECT_EQ(Flight(fast)->GetTarget(), nullptr);
  const VisVector_cl heading = Forward(fast);
  Step(false);
  EXPECT_TRUE(Forward(fast).IsEqual(heading, 1e-5f));
}

TEST(RocketSlerp, BlendsAlongTheArcAndStaysAUnitQuaternion) {
  const float s = std::sqrt(0.5f);
  const float identity[4] = {0, 0, 0, 1};
  const float quarterZ[4] = {0, 0, s, s};  // 90 degrees about z
  const float eighthZ[4] = {0, 0, std::sin(0.3926991f), std::cos(0.3926991f)};
  const float opposite[4] = {0, 0, 0, -1};
  const float nearly[4] = {0, 0, 1e-3f, 1};
  const struct {
    const char* what;
    const float* a;
    const float* b;
    float t;
    float expect[4];
  } cases[] = {
      {"start", identity, quarterZ, 0.0f, {0, 0, 0, 1}},
      {"end", identity, quarterZ, 1.0f, {0, 0, s, s}},
      {"half way", identity, quarterZ, 0.5f, {0, 0, eighthZ[2], eighthZ[3]}},
      {"t above 1 is 1", identity, quarterZ, 3.0f, {0, 0, s, s}},
      {"t below 0 is 0", identity, quarterZ, -1.0f, {0, 0, 0, 1}},
      {"nearly equal: blended and normalised", identity, nearly, 0.5f, {0, 0, 5e-4f, 1}},
      // Opposite: through the quarter at right angles, (a.x s0 - b.y s1, ..., s1 b.z + a.w s0).
      {"opposite, half way", identity, opposite, 0.5f, {0, 0, s, s}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    float out[4];
    RocketComponent::SlerpQuaternion(c.a, c.b, c.t, out);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(out[i], c.expect[i], 1e-4f) << i;
    EXPECT_NEAR(out[0] * out[0] + out[1] * out[1] + out[2] * out[2] + out[3] * out[3], 1.0f, 1e-5f);
  }
}


// ---- the siren and its notes -------------------------------------------------------------

const int kMsgSirenNote = 33;

class SirenTest : public SpecialWeaponsTest {
 protected:
  void SetUp() override {
    SpecialWeaponsTest::SetUp();
    rock = Vision::Game.CreateEntity("BaseEntity", VisVector_cl(0, 200, 0));
    siren = new SirenComponent();
    siren->Initialize();
    ASSERT_TRUE(rock->AddComponent(siren));
  }
  void TearDown() override {
    MathTools::SetUseFixedRandom(false);
    MathTools::SetTestRandReturnMax(false);
    PauseManager::GetInstance()->SetGamePause(false);
    PauseManager::GetInstance()->SetFullPause(false);
    SpecialWeaponsTest::TearDown();
  }
  static std::vector<ProjectileEntity*> Notes() {
    std::vector<ProjectileEntity*> out;
    for (VisBaseEntity_cl* e : Vision::Game.GetEntities())
      if (e && !e->IsMarkedRemoved() && e->IsOfType(ProjectileEntity::GetClassTypeId()) &&
          e->Components<NoteComponent>())
        out.push_back(static_cast<ProjectileEntity*>(e));
    return out;
  }
  // A note from the siren along the direction.
  ProjectileEntity* Sing(const VisVector_cl& direction) {
    const size_t before = Notes().size();
    siren->m_vShootingDirection = direction;
    siren->Fire();
    std::vector<ProjectileEntity*> notes = Notes();
    EXPECT_EQ(notes.size(), before + 1);
    return notes.empty() ? nullptr : notes.back();
  }

  VisBaseEntity_cl* rock = nullptr;
  SirenComponent* siren = nullptr;
};

TEST_F(SirenTest, ASirenSingsOneReloadDelayAfterItStartsAndOnlyWhileOnShownAndUnpaused) {
  EXPECT_FALSE(siren->m_bShooting) << "off by default";
  EXPECT_FLOAT_EQ(siren->GetReloadDelay(), 2.0f);
  for (int i = 0; i < 150; ++i) Step(false);
  EXPECT_TRUE(Notes().empty());

  siren->m_bShooting = true;
  int frames = StepUntil([&] { return !Notes().empty(); }, 300, false);
  EXPECT_NEAR(frames * kStep, 2.0f, 1.01f * kStep) << "not at once";
  const VisVector_cl d = siren->GetShootingDirection();
  EXPECT_NEAR(std::hypot(d.x, d.y), 1.0f, 1e-4f);
  EXPECT_FLOAT_EQ(d.z, 0.0f);
  siren->SetReloadDelay(0.5f);
  frames = StepUntil([&] { return Notes().size() == 2; }, 300, false);
  EXPECT_NEAR(frames * kStep, 0.5f, 1.01f * kStep);

  // Each of these keeps it silent and its timer still; undone, it sings on.
  auto* entity = static_cast<VisBaseEntity_cl*>(rock);
  const struct {
    const char* what;
    void (*silence)(SirenComponent*, VisBaseEntity_cl*, bool);
  } cases[] = {
      {"switched off", [](SirenComponent* s, VisBaseEntity_cl*, bool on) { s->m_bShooting = !on; }},
      {"hidden", [](SirenComponent*, VisBaseEntity_cl* e, bool on) { e->SetVisibleBitmask(on ? 0u : 0xffffffffu); }},
      {"game pause", [](SirenComponent*, VisBaseEntity_cl*, bool on) { PauseManager::GetInstance()->SetGamePause(on); }},
      {"full pause", [](SirenComponent*, VisBaseEntity_cl*, bool on) { PauseManager::GetInstance()->SetFullPause(on); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const size_t sung = Notes().size();
    Step(false);
    const float timer = siren->GetReloadTimer();
    c.silence(siren, entity, true);
    for (int i = 0; i < 60; ++i) Step(false);
    EXPECT_EQ(Notes().size(), sung);
    EXPECT_FLOAT_EQ(siren->GetReloadTimer(), timer);
    c.silence(siren, entity, false);
    StepUntil([&] { return Notes().size() > sung; }, 60, false);
    EXPECT_EQ(Notes().size(), sung + 1);
  }
}

TEST_F(SirenTest, EachNoteDrawsItsReachAndSpeedAndFliesAsAKinematicBodyForThePlayersShips) {
  bool single = false, twin = false;
  for (int i = 0; i < 60; ++i) {
    ProjectileEntity* note = Sing(VisVector_cl(1, 0, 0));
    ASSERT_NE(note, nullptr);
    NoteComponent* flight = note->Components<NoteComponent>();
    EXPECT_GE(flight->GetReach(), 100.0f);
    EXPECT_LE(flight->GetReach(), 150.0f);
    EXPECT_GE(flight->GetSpeed(), 5.0f);
    EXPECT_LE(flight->GetSpeed(), 15.0f);
    EXPECT_EQ(flight->GetNoteDamage(), 5);
    EXPECT_EQ(note->GetShooter(), rock);
    EXPECT_FLOAT_EQ(note->GetScaling().x, 0.5f);
    EXPECT_TRUE(note->GetDirection().IsEqual(VisVector_cl(1, 0, 0), 1e-4f));
    ASSERT_NE(note->GetTrail(), nullptr);
    EXPECT_NE(std::string(note->GetTrail()->GetSourceEffect()->GetFilename()).find("Notes"), std::string::npos);
    const std::string model = note->GetMeshFileName();
    single |= model.find("Single_note") != std::string::npos;
    twin |= model.find("Double_note") != std::string::npos;
    EXPECT_TRUE(note->HasMesh()) << model;
    vPhysXRigidBody* body = Body(note);
    ASSERT_NE(body, nullptr);
    EXPECT_FLOAT_EQ(body->GetMass(), 200.0f);
    EXPECT_EQ(body->GetPhysicsMode(), (int)VPHYSX_MODE_KINEMATIC);
    EXPECT_EQ(body->GetShapeType(), (int)VPHYSX_SHAPETYPE_BOX);
    EXPECT_EQ(body->GetCollisionBitmask(), 2u);
    EXPECT_LT(body->GetBoxSize().x, 1.0f) << "the note's size, not a hull's";
    note->RemoveAll();
  }
  EXPECT_TRUE(single);
  EXPECT_TRUE(twin);

  // The fixed draws of the tests: the single note, or the double one at the maximum.
  MathTools::SetUseFixedRandom(true);
  EXPECT_NE(std::string(Sing(VisVector_cl(1, 0, 0))->GetMeshFileName()).find("Single_note"), std::string::npos);
  MathTools::SetTestRandReturnMax(true);
  EXPECT_NE(std::string(Sing(VisVector_cl(1, 0, 0))->GetMeshFileName()).find("Double_note"), std::string::npos);
}

// Each frame's move is the way along the direction plus the whole wobble of that
// moment, so the path depends on the frame rate.
TEST_F(SirenTest, ANoteDriftsWithAWobblePerFrameAndIsGoneBeyondItsReach) {
  auto expectedDrift = [](float step, int frames, float speed) {
    VisVector_cl sum(0, 0, 0);
    float t = 0.0f;
    for (int i = 0; i < frames; ++i) {
      t += step;
      sum += VisVector_cl(speed * step + 0.1f * std::sin(4.0f * t), 0.2f * std::sin(t), std::sin(2.0f * t) / 6.0f);
    }
    return sum;
  };
  const struct {
    float step;
    int frames;
  } rates[] = {{1.0f / 60.0f, 60}, {1.0f / 30.0f, 30}};
  VisVector_cl drift[2];
  for (int r = 0; r < 2; ++r) {
    SCOPED_TRACE(rates[r].step);
    Vision::Timer.SetFixedTimeStep(rates[r].step);
    ProjectileEntity* note = Sing(VisVector_cl(1, 0, 0));
    NoteComponent* flight = note->Components<NoteComponent>();
    flight->SetShootingRange(10.0f);
    const VisVector_cl start = note->GetPosition();
    for (int i = 0; i < rates[r].frames; ++i) Step();
    EXPECT_NEAR(flight->GetFlightTime(), 1.0f, 1e-4f);
    drift[r] = note->GetPosition() - start;
    EXPECT_TRUE(drift[r].IsEqual(expectedDrift(rates[r].step, rates[r].frames, 10.0f), 2e-3f))
        << drift[r].x << " " << drift[r].y << " " << drift[r].z;
    note->RemoveAll();
    Step();
  }
  Vision::Timer.SetFixedTimeStep(kStep);
  EXPECT_GT(std::fabs(drift[0].y - drift[1].y), 0.5f);

  // Beyond its reach from the siren it is gone, trail and all.
  ProjectileEntity* note = Sing(VisVector_cl(0, 1, 0));
  note->Components<NoteComponent>()->SetShootingPower(15.0f);
  note->Components<NoteComponent>()->SetShootingRange(15.0f);
  VisParticleEffect_cl* trail = note->GetTrail();
  ASSERT_NE(trail, nullptr);
  float last = 0.0f;
  const int frames = StepUntil([&] {
    if (!Alive(note)) return true;
    last = MathTools::DistanceBetweenVectors(note->GetPosition(), rock->GetPosition());
    return false;
  });
  EXPECT_LT(frames, 300);
  // The last frame's move is found beyond the reach one frame on.
  EXPECT_NEAR(last, 15.0f, 0.5f);
}

TEST_F(SirenTest, ANoteThatTouchesAShipHurtsItAndVanishesButFliesOnPastAnythingElse) {
  player->GetStats()->GetHull().SetMaximum(1000);
  player->GetStats()->GetHull().SetCurrent(1000);
  // Another note, the terrain: it flies on.
  ProjectileEntity* note = Sing(VisVector_cl(1, 0, 0));
  ProjectileEntity* other = Sing(VisVector_cl(-1, 0, 0));
  vPhysXContactRecord contact;
  contact.participant[0].pObject = Body(other);
  contact.participant[1].pObject = Body(note);
  note->SendMsg(VIS_MSG_PHYSICS_CONTACT, reinterpret_cast<INT_PTR>(&contact), VPHYSX_CONTACT_NOTIFY);
  contact.participant[0] = vPhysXContactRecord::Participant();
  contact.participant[0].iTerrain = 1;
  note->SendMsg(VIS_MSG_PHYSICS_CONTACT, reinterpret_cast<INT_PTR>(&contact), VPHYSX_CONTACT_NOTIFY);
  EXPECT_FALSE(note->IsMarkedRemoved());
  other->RemoveAll();

  // A ship: message 33 once with the note as the record's entity, 1 to 4 hull.
  Touch(note, player);
  EXPECT_TRUE(note->IsMarkedRemoved());
  Touch(note, player);
  EXPECT_EQ(Heard(player, kMsgSirenNote), 1);
  const int lost = 1000 - player->GetStats()->GetHull().GetCurrent();
  EXPECT_GE(lost, 1);
  EXPECT_LE(lost, 4);
  Step();

  // Sung at the ship, a note strikes it through the physics.
  MoveShip(player, VisVector_cl(25, 200, 0));
  Step();
  const int hull = player->GetStats()->GetHull().GetCurrent();
  ProjectileEntity* sung = Sing(VisVector_cl(1, 0, 0));
  sung->Components<NoteComponent>()->SetShootingRange(15.0f);
  StepUntil([&] { return !Alive(sung); }, 300);
  EXPECT_FALSE(Alive(sung));
  EXPECT_EQ(Heard(player, kMsgSirenNote), 2);
  EXPECT_LT(player->GetStats()->GetHull().GetCurrent(), hull);
  EXPECT_GE(player->GetStats()->GetHull().GetCurrent(), hull - 4);
}

// The saved block: the reload delay and the six ranges; the switch is not saved.
TEST_F(SirenTest, TheSavedBlockKeepsTheSevenValuesAndAnOldBlockNone) {
  const float values[7] = {3.5f, 40.0f, 60.0f, 2.0f, 8.0f, 6.0f, 9.0f};
  siren->SetReloadDelay(values[0]);
  siren->m_fShootingRangeMin = values[1];
  siren->m_fShootingRangeMax = values[2];
  siren->m_fShootingpowerMin = values[3];
  siren->m_fShootingpowerMax = values[4];
  siren->m_fDamageMin = values[5];
  siren->m_fDamageMax = values[6];
  siren->m_bShooting = true;
  SirenComponent fresh;
  Bytes written;
  ASSERT_TRUE(archive_test::RoundTrip(
      *siren, fresh, [](SirenComponent& s, VArchive& ar) { s.Serialize(ar); },
      [](SirenComponent& s, VArchive& ar) { s.Serialize(ar); }, &written));
  const float read[7] = {fresh.GetReloadDelay(),    fresh.m_fShootingRangeMin, fresh.m_fShootingRangeMax,
                         fresh.m_fShootingpowerMin, fresh.m_fShootingpowerMax, fresh.m_fDamageMin,
                         fresh.m_fDamageMax};
  for (int i = 0; i < 7; ++i) EXPECT_FLOAT_EQ(read[i], values[i]) << i;
  EXPECT_FALSE(fresh.m_bShooting);
  // The block is the last thing written: version 2, seven floats, the end tag.
  archive_test::ByteWriter block;
  block.Str("ARCH").U8(2);
  for (float v : values) block.F32(v);
  const Bytes tail = block.Str("EOA").Get();
  ASSERT_GE(written.size(), tail.size());
  EXPECT_TRUE(std::equal(tail.begin(), tail.end(), written.end() - (long)tail.size())) << archive_test::Hex(written);

  // A block of version 1 carries none of them.
  SirenComponent old;
  const Bytes v1 = SaveBytes([&](VArchive& ar) {
    siren->BaseComponent::Serialize(ar);
    SaveGameManagerProto::BeginBlock(ar, 1);
    SaveGameManagerProto::EndBlock(ar);
  });
  ASSERT_TRUE(LoadBytes(v1, [&](VArchive& ar) { old.Serialize(ar); }));
  EXPECT_FLOAT_EQ(old.GetReloadDelay(), 2.0f);
  EXPECT_FLOAT_EQ(old.m_fDamageMax, 4.0f);
}

}  // namespace
