// One cannon's cycle on a ship: orders, ragged fuses, shots, reloads and the state
// reports the ship hears; the special cannon's charge and volley; auto-fire.
#include "SeaBattleFixture.h"

#include "components/AIShipComponent.h"
#include "components/CannonBallComponent.h"
#include "components/CannonComponent.h"
#include "components/HumanCannonBallComponent.h"
#include "components/RagdollComponent.h"
#include "core/ComponentMessages.h"
#include "entities/CannonEntity.h"
#include "entities/ProjectileEntity.h"
#include "Managers/AchievementManager.h"
#include "support/ArchiveRoundTrip.h"
#include "support/LogCapture.h"

#include "engine/physics/vPhysXRigidBody.h"
#include "engine/sound/VSoundManager.h"

#include <string>

namespace {

// Stand-ins for special weapon classes that are not built yet: registered under the
// weapon's class name while the test holds them, they record what the cannon calls.
std::vector<std::string> g_weaponCalls;

class WeaponComponentProbe : public IVObjectComponent, public ISpecialWeapon {
 public:
  void SetOwner(VisTypedEngineObject_cl* owner) override {
    IVObjectComponent::SetOwner(owner);
    if (owner) g_weaponCalls.push_back("attached");
  }
  void SetShootPower(float power) override { g_weaponCalls.push_back("power " + std::to_string((int)power)); }
  void Shoot(float power) override { g_weaponCalls.push_back("shoot " + std::to_string((int)power)); }
};

class DroppedWeaponProbe : public ProjectileEntity, public ISpecialWeapon {
 public:
  void Init() override { g_weaponCalls.push_back("init"); }
  void Throw(const VisVector_cl&, const VisVector_cl& spin) override {
    g_weaponCalls.push_back("throw");
    lastSpin = spin;
  }
  static inline VisVector_cl lastSpin;
};

template <class T>
class ScopedWeaponClass {
 public:
  ScopedWeaponClass(const char* name, VType* base) : m_type(name, base, &Make, (int)sizeof(T)) { g_weaponCalls.clear(); }

 private:
  static VTypedObject* Make() { return new T(); }
  VType m_type;
};

class CannonComponentTest : public SeaBattleFixture {
 protected:
  // A cannon entity at the local position of the ship, turned by yaw, with a muzzle
  // 1 unit ahead, and its cannon component.
  CannonComponent* AddCannon(ShipEntity* ship, const VisVector_cl& local, float yaw, CannonGroup group,
                             bool special = false) {
    auto* cannon = static_cast<CannonEntity*>(Vision::Game.CreateEntity("CannonEntity", ship->GetPosition()));
    cannon->AttachToParent(ship);
    cannon->SetLocalPosition(local);
    cannon->SetLocalOrientation(VisVector_cl(yaw, 0, 0));
    cannon->SetOffset(VisVector_cl(1, 0, 0));
    cannon->SetSpecialCannon(special);
    auto* component = new CannonComponent();
    component->SetCannonGroup(group);
    EXPECT_TRUE(cannon->AddComponent(component));
    return component;
  }
  static CannonEntity* EntityOf(CannonComponent* c) { return static_cast<CannonEntity*>(c->GetOwner()); }
  // The cannon's state reports as the ship heard them (p2 names the cannon entity).
  static std::vector<int> StateReports(const MessageLog* log, CannonComponent* c) {
    std::vector<int> ids;
    for (const MessageLog::Entry& e : log->entries)
      if (e.id >= VIS_MSG_USER_CANNON_STATE_FIRING && e.id <= VIS_MSG_USER_CANNON_FIRED &&
          e.p2 == reinterpret_cast<INT_PTR>(EntityOf(c)))
        ids.push_back(e.id);
    return ids;
  }
  static int CountProjectiles() { return (int)EntitiesOf("ProjectileEntity").size(); }
};

TEST_F(CannonComponentTest, ABroadsideFiresEachLoadedCannonOfThatSideAfterARaggedFuseAndReloads) {
  ShipEntity* ship = MakeShip("Player", 1, VisVector_cl(0, 0, 0), 0.0f, 100, true);
  CannonComponent* left1 = AddCannon(ship, VisVector_cl(-2, 3, 2), 90.0f, CANNON_GROUP_LEFT);
  CannonComponent* left2 = AddCannon(ship, VisVector_cl(2, 3, 2), 90.0f, CANNON_GROUP_LEFT);
  CannonComponent* right = AddCannon(ship, VisVector_cl(0, -3, 2), -90.0f, CANNON_GROUP_RIGHT);
  MessageLog* log = Listen(ship);

  ship->SendMsg(VIS_MSG_USER_CANNON_IGNITE_LEFT, PROJECTILE_BALL, 0);
  for (CannonComponent* c : {left1, left2}) {
    EXPECT_EQ(StateReports(log, c), (std::vector<int>{VIS_MSG_USER_CANNON_STATE_FIRING}));
    EXPECT_GT(c->GetFireDelay(), 0.0f);
    EXPECT_LE(c->GetFireDelay(), 0.5f);
    EXPECT_EQ(c->GetLoadedType(), PROJECTILE_BALL);
  }
  EXPECT_NE(left1->GetFireDelay(), left2->GetFireDelay());
  EXPECT_TRUE(StateReports(log, right).empty());

  // Within half a second both have fired: fired, then loading; nothing is ready yet.
  Frames(31);
  EXPECT_EQ(CountProjectiles(), 2);
  for (CannonComponent* c : {left1, left2}) {
    EXPECT_EQ(StateReports(log, c), (std::vector<int>{VIS_MSG_USER_CANNON_STATE_FIRING, VIS_MSG_USER_CANNON_FIRED,
                                                      VIS_MSG_USER_CANNON_STATE_LOADING}));
    EXPECT_GE(c->GetReloadDelayMax(), 3.0f);
    EXPECT_LE(c->GetReloadDelayMax(), 5.0f);
  }

  // A second order during the reload fires nothing new.
  ship->SendMsg(VIS_MSG_USER_CANNON_IGNITE_LEFT, PROJECTILE_BALL, 0);
  EXPECT_EQ(StateReports(log, left1).size(), 3u);
  Frames(5 * 60 + 10);
  for (CannonComponent* c : {left1, left2}) {
    EXPECT_EQ(StateReports(log, c).back(), VIS_MSG_USER_CANNON_STATE_READY);
    EXPECT_EQ(StateReports(log, c).size(), 4u);
    EXPECT_EQ(c->GetReloadDelay(), 0.0f);
    EXPECT_EQ(c->GetReloadDelayMax(), 0.0f);
  }
  // Reloaded, the side fires again.
  ship->SendMsg(VIS_MSG_USER_CANNON_IGNITE_LEFT, PROJECTILE_BALL, 0);
  EXPECT_EQ(StateReports(log, left1).back(), VIS_MSG_USER_CANNON_STATE_FIRING);
}

TEST_F(CannonComponentTest, TheShotFliesFromTheMuzzleRaisedAtTheClosestEnemyInTheCone) {
  ShipEntity* ship = MakeShip("Player", 1, VisVector_cl(0, 0, 0), 0.0f, 100, true);
  CannonComponent* cannon = AddCannon(ship, VisVector_cl(0, 3, 2), 90.0f, CANNON_GROUP_LEFT);
  ShipEntity* near = MakeShip("Near", 2, VisVector_cl(5, 60, 0));
  MakeShip("Far", 2, VisVector_cl(0, 120, 0));
  MakeShip("Behind", 2, VisVector_cl(0, -30, 0));
  MakeShip("Friend", 1, VisVector_cl(0, 20, 0));
  ShipEntity* wreck = MakeShip("Wreck", 2, VisVector_cl(0, 40, 0));
  BattleOf(wreck)->StartSinking(1.0f, false);

  cannon->Ignite(CANNON_GROUP_ALL, PROJECTILE_BALL);
  cannon->Fire(CANNON_GROUP_ALL);
  std::vector<VisBaseEntity_cl*> shots = EntitiesOf("ProjectileEntity");
  ASSERT_EQ(shots.size(), 1u);
  auto* ball = static_cast<ProjectileEntity*>(shots[0]);
  EXPECT_TRUE(ball->GetPosition().IsEqual(VisVector_cl(0, 4, 2), 1e-4f));
  EXPECT_EQ(ball->GetShooter(), ship);
  EXPECT_EQ(ball->GetTarget(), near);
  EXPECT_EQ(ball->GetNation(), 1);
  EXPECT_EQ(ball->GetSave(), 1);
  EXPECT_NEAR(ball->GetOrientation().y, -15.0f, 1e-3f);
  EXPECT_GT(ball->GetDirection().z, 0.0f);
  EXPECT_STREQ(ball->GetMeshFilename(), "models\\props\\cannon_ball\\cannon_ball.MODEL");
  EXPECT_NE(ball->GetTrail(), nullptr);
  const CannonBallComponent* flight = ball->Components<CannonBallComponent>();
  ASSERT_NE(flight, nullptr);
  EXPECT_GT(flight->GetVelocity().x, 0.0f);  // launched

  // A muzzle below the water line is raised to 0.01.
  EntityOf(cannon)->SetLocalPosition(VisVector_cl(0, 3, -5));
  cannon->SetReloadDelay(0.0f);
  cannon->Ignite(CANNON_GROUP_ALL, PROJECTILE_BALL);
  cannon->Fire(CANNON_GROUP_ALL);
  shots = EntitiesOf("ProjectileEntity");
  ASSERT_EQ(shots.size(), 2u);
  EXPECT_FLOAT_EQ(shots[1]->GetPosition().z, 0.01f);
}

TEST_F(CannonComponentTest, ARocketVolleyFiresFourTimesAndReloadsOnceAtDoubleLength) {
  ScopedWeaponClass<WeaponComponentProbe> rockets("RocketComponent", IVObjectComponent::GetClassTypeId());
  ShipEntity* ship = MakeShip("Player", 1, VisVector_cl(0, 0, 0), 0.0f, 100, true);
  CannonComponent* special = AddCannon(ship, VisVector_cl(8, 0, 2), 0.0f, CANNON_GROUP_SPECIAL, true);
  MessageLog* log = Listen(ship);

  // 55 ignites any cannon, the special one included.
  ship->SendMsg(VIS_MSG_USER_CANNON_IGNITE, PROJECTILE_ROCKET, 0);
  EXPECT_EQ(special->GetShotsLeft(), 4);
  std::vector<int> shotFrames;
  for (int frame = 1; frame <= 120; ++frame) {
    const int before = CountProjectiles();
    Frame();
    if (CountProjectiles() > before) shotFrames.push_back(frame);
  }
  ASSERT_EQ(shotFrames.size(), 4u);
  for (size_t i = 1; i < shotFrames.size(); ++i) {
    const float gap = (shotFrames[i] - shotFrames[i - 1]) * kStep;
    EXPECT_GE(gap, 0.075f - kStep);
    EXPECT_LE(gap, 0.15f + kStep);
  }
  EXPECT_EQ(log->Count(VIS_MSG_USER_CANNON_STATE_LOADING), 4);
  EXPECT_EQ(log->Count(VIS_MSG_USER_CANNON_FIRED), 0);  // special weapons show no muzzle flash
  EXPECT_GE(special->GetReloadDelayMax(), 6.0f);
  EXPECT_LE(special->GetReloadDelayMax(), 10.0f);

  // The same draw reloads a special cannon twice as long as a broadside cannon.
  CannonComponent* broadside = AddCannon(ship, VisVector_cl(0, 3, 2), 90.0f, CANNON_GROUP_LEFT);
  Frame();  // both take the ship's reload factor
  VSeedRandom(77u);
  broadside->Reload(CANNON_GROUP_ALL);
  VSeedRandom(77u);
  special->Reload(CANNON_GROUP_ALL);
  EXPECT_FLOAT_EQ(special->GetReloadDelay(), 2.0f * broadside->GetReloadDelay());
  // The figurehead shortens the reloads of the player's ship by its effect.
  const float plain = broadside->GetReloadDelay();
  ArtifactManager::GetInstance()->ActivateArtifact(14, 0.0f, 0.25f, "", 0.0f);
  VSeedRandom(77u);
  broadside->Reload(CANNON_GROUP_ALL);
  EXPECT_FLOAT_EQ(broadside->GetReloadDelay(), 0.75f * plain);
  // The reload follows the ship's reload factor.
  ship->GetStats()->SetReloadFactor(2.0f);
  Frame();
  EXPECT_FLOAT_EQ(broadside->GetReloadFactor(), 2.0f);
}

TEST_F(CannonComponentTest, TheSpecialCannonChargesOnlyWhenIdleAndUpToSixty) {
  ShipEntity* ship = MakeShip("Player", 1, VisVector_cl(0, 0, 0), 0.0f, 100, true);
  CannonComponent* special = AddCannon(ship, VisVector_cl(8, 0, 2), 0.0f, CANNON_GROUP_SPECIAL, true);
  CannonComponent* broadside = AddCannon(ship, VisVector_cl(0, 3, 2), 90.0f, CANNON_GROUP_LEFT);
  Frame();  // the frame time is the fixed step from now on
  for (int i = 0; i < 30; ++i) ship->SendMsg(VIS_MSG_USER_CANNON_CHARGE_SPECIAL, 0, 0);
  EXPECT_NEAR(special->GetSpecialPower(), 20.0f + 30 * kStep * 25.0f, 1e-3f);
  EXPECT_FLOAT_EQ(broadside->GetSpecialPower(), 20.0f);
  for (int i = 0; i < 300; ++i) ship->SendMsg(VIS_MSG_USER_CANNON_CHARGE_SPECIAL, 0, 0);
  EXPECT_FLOAT_EQ(special->GetSpecialPower(), 60.0f);

  // A dropped mine keeps the charge; a harpoon shot spends it.
  ScopedWeaponClass<WeaponComponentProbe> harpoons("HarpoonComponent", IVObjectComponent::GetClassTypeId());
  ScopedWeaponClass<DroppedWeaponProbe> mines("MineEntity", ProjectileEntity::GetClassTypeId());
  ship->SendMsg(VIS_MSG_USER_CANNON_FIRE_SPECIAL, PROJECTILE_MINE, 0);
  special->Fire(CANNON_GROUP_ALL);
  EXPECT_FLOAT_EQ(special->GetSpecialPower(), 60.0f);
  EXPECT_GT(special->GetReloadDelay(), 0.0f);
  // Charging while reloading does nothing.
  ship->SendMsg(VIS_MSG_USER_CANNON_CHARGE_SPECIAL, 0, 0);
  special->Load(CANNON_GROUP_ALL, PROJECTILE_NONE);
  EXPECT_FLOAT_EQ(special->GetSpecialPower(), 60.0f);
  special->SetReloadDelay(0.0f);
  ship->SendMsg(VIS_MSG_USER_CANNON_FIRE_SPECIAL, PROJECTILE_HARPOON, 0);
  special->Fire(CANNON_GROUP_ALL);
  EXPECT_FLOAT_EQ(special->GetSpecialPower(), 20.0f);
}

TEST_F(CannonComponentTest, ASpecialWeaponWithoutItsClassLaunchesNothingAndWarnsOncePerWeapon) {
  LogCapture log;
  ShipEntity* ship = MakeShip("Player", 1, VisVector_cl(0, 0, 0), 0.0f, 100, true);
  CannonComponent* special = AddCannon(ship, VisVector_cl(8, 0, 2), 0.0f, CANNON_GROUP_SPECIAL, true);
  const int entitiesBefore = (int)Vision::Game.GetEntities().size();
  const struct {
    ProjectileType type;
    const char* className;  // null: no special weapon at all
  } cases[] = {
      {PROJECTILE_HARPOON, "HarpoonComponent"},   {PROJECTILE_MINE, "MineEntity"},
      {PROJECTILE_MORTAR, "MortarComponent"},     {PROJECTILE_MIRV, "MirvComponent"},
      {PROJECTILE_ROCKET, "RocketComponent"},     {PROJECTILE_SLOWINGBARREL, "HarpoonComponent"},
      {PROJECTILE_BUBBLEMINE, "FartBombEntity"},
      {PROJECTILE_BALL, nullptr},
  };
  for (const auto& c : cases) {
    if (c.className && VType::FindType(c.className)) continue;  // built by now
    for (int shot = 0; shot < 2; ++shot) {
      special->SetReloadDelay(0.0f);
      special->Ignite(CANNON_GROUP_ALL, c.type);
      special->Fire(CANNON_GROUP_ALL);
      for (int frame = 0; frame < 60 && special->GetShotsLeft() > 0; ++frame) Frame();  // a rocket volley
      EXPECT_GT(special->GetReloadDelay(), 0.0f) << c.type;
    }
    const std::vector<std::string> warnings = log.Matching("special weapon " + std::to_string(c.type) + " ");
    ASSERT_EQ(warnings.size(), c.className ? 1u : 0u) << c.type;
    if (c.className) {
      EXPECT_NE(warnings[0].find(c.className), std::string::npos) << warnings[0];
    }
  }
  EXPECT_EQ((int)Vision::Game.GetEntities().size(), entitiesBefore);
  EXPECT_FALSE(AchievementManager::GetInstance()->IsUnlocked(20));
}

TEST_F(CannonComponentTest, AHumanCannonBallGetsItsChargeBeforeItIsAttachedAndIsShotAfter) {
  ShipEntity* ship = MakeShip("Player", 1, VisVector_cl(0, 0, 0), 0.0f, 100, true);
  CannonComponent* special = AddCannon(ship, VisVector_cl(8, 0, 2), 0.0f, CANNON_GROUP_SPECIAL, true);
  Frame();
  for (int i = 0; i < 300; ++i) ship->SendMsg(VIS_MSG_USER_CANNON_CHARGE_SPECIAL, 0, 0);
  ship->SendMsg(VIS_MSG_USER_CANNON_FIRE_SPECIAL, PROJECTILE_HUMANCANNONBALL, 0);
  special->Fire(CANNON_GROUP_ALL);

  ASSERT_EQ(CountProjectiles(), 1);
  auto* ball = static_cast<ProjectileEntity*>(EntitiesOf("ProjectileEntity")[0]);
  auto* pirate = ball->Components<HumanCannonBallComponent>();
  ASSERT_NE(pirate, nullptr);
  EXPECT_FLOAT_EQ(pirate->GetPower(), 60.0f);
  EXPECT_NE(ball->Components<RagdollComponent>(), nullptr) << "shot: he flies as a ragdoll";
  EXPECT_EQ(ball->GetShooter(), ship);
  EXPECT_TRUE(AchievementManager::GetInstance()->IsUnlocked(20));
  EXPECT_FLOAT_EQ(special->GetSpecialPower(), 20.0f);
}

TEST_F(CannonComponentTest, AMineDropsBehindTheShipWithItsBodyAndARandomSpin) {
  ShipEntity* ship = MakeShip("Player", 1, VisVector_cl(0, 0, 0), 0.0f, 100, true);
  CannonComponent* special = AddCannon(ship, VisVector_cl(8, 0, 2), 0.0f, CANNON_GROUP_SPECIAL, true);
  special->Ignite(CANNON_GROUP_ALL, PROJECTILE_MINE);
  special->Fire(CANNON_GROUP_ALL);

  VisBaseEntity_cl* mine = Vision::Game.SearchEntity("Mine");
  ASSERT_NE(mine, nullptr);
  EXPECT_TRUE(mine->IsOfType("MineEntity"));
  // Behind a hull reaching 10 forward: 12 back and 3 under the water.
  EXPECT_TRUE(mine->GetPosition().IsEqual(VisVector_cl(-12, 0, -3), 1e-4f));
  EXPECT_EQ(static_cast<ProjectileEntity*>(mine)->GetShooter(), ship);
  EXPECT_EQ(mine->GetScaling(), VisVector_cl(1.2f, 1.2f, 1.2f));
  auto* body = mine->Components<vPhysXRigidBody>();
  ASSERT_NE(body, nullptr);
  const VisVector_cl spin = body->GetAngularVelocity();
  EXPECT_FALSE(spin.IsZero());
  for (float axis : {spin.x, spin.y, spin.z}) {
    EXPECT_GE(axis, -1.5f);
    EXPECT_LE(axis, 1.5f);
  }
}

TEST_F(CannonComponentTest, AChainShotIsSilentWhereABallIsHeard) {
  VSoundManager::GlobalManager().SetInitialized(true);
  SoundManager::GetInstance()->AddSFXSound(SOUND_SFX_SHOOT_CANNON, "sounds\\cannon_01.wav", false, false, 0.0f);
  ShipEntity* ship = MakeShip("Player", 1, VisVector_cl(0, 0, 0), 0.0f, 100, true);
  CannonComponent* cannon = AddCannon(ship, VisVector_cl(0, 3, 2), 90.0f, CANNON_GROUP_LEFT);
  auto cannonSounds = [] {
    int n = 0;
    VSoundManager& sounds = VSoundManager::GlobalManager();
    for (int i = 0; i < sounds.GetInstanceCount(); ++i) {
      const VSoundObject* obj = sounds.GetInstance(i);
      n += obj && obj->GetResource() && std::string(obj->GetResource()->GetFileName()).find("cannon_01") != std::string::npos;
    }
    return n;
  };
  const int before = cannonSounds();
  cannon->Ignite(CANNON_GROUP_ALL, PROJECTILE_CHAIN);
  cannon->Fire(CANNON_GROUP_ALL);
  EXPECT_EQ(cannonSounds(), before);
  EXPECT_EQ(CountProjectiles(), 1);
  cannon->SetReloadDelay(0.0f);
  cannon->Ignite(CANNON_GROUP_ALL, PROJECTILE_BALL);
  cannon->Fire(CANNON_GROUP_ALL);
  EXPECT_EQ(cannonSounds(), before + 1);
  VSoundManager::GlobalManager().SetInitialized(false);
}

TEST_F(CannonComponentTest, AutoFireShootsFlatUnloadedBallsAtEnemiesAheadUnlessTheAIHoldsFire) {
  ShipEntity* ship = MakeShip("Fort", 2, VisVector_cl(0, 0, 0));
  CannonComponent* cannon = AddCannon(ship, VisVector_cl(0, 3, 2), 90.0f, CANNON_GROUP_LEFT);
  cannon->SetAutoFire(true);
  MessageLog* log = Listen(ship);
  // Nobody in the cone within 100: nothing.
  MakeShip("Player", 1, VisVector_cl(0, 150, 0), 0.0f, 100, true);
  MakeShip("Aside", 1, VisVector_cl(60, 20, 0));
  Frames(120);
  EXPECT_EQ(CountProjectiles(), 0);

  ShipEntity* close = MakeShip("Close", 1, VisVector_cl(0, 50, 0));
  int frames = 0;
  while (CountProjectiles() == 0 && frames < 600) {
    Frame();
    ++frames;
  }
  std::vector<VisBaseEntity_cl*> shots = EntitiesOf("ProjectileEntity");
  ASSERT_EQ(shots.size(), 1u);
  EXPECT_EQ(cannon->GetLoadedType(), PROJECTILE_NONE);
  EXPECT_NEAR(shots[0]->GetOrientation().y, 2.0f, 1e-3f);
  EXPECT_EQ(static_cast<ProjectileEntity*>(shots[0])->GetTarget(), close);

  // An AI ship that holds fire never auto-fires; sinking ends auto-fire for good.
  auto* ai = new AIShipComponent();
  ship->AddComponent(ai);
  ai->SetAIMode(AIShipComponent::AIMODE_HOLD_FIRE);
  cannon->SetReloadDelay(0.0f);
  Frames(600);
  EXPECT_EQ(log->Count(VIS_MSG_USER_CANNON_FIRED), 1);
  ship->SendMsg(VIS_MSG_USER_SHIP_SINK, 0, 0);
  EXPECT_FALSE(cannon->IsAutoFire());
}

TEST_F(CannonComponentTest, SavedBlockKeepsAutoFireAndTheSpecialCannonLeavesTheShipWithItsComponent) {
  ShipEntity* ship = MakeShip("Player", 1, VisVector_cl(0, 0, 0), 0.0f, 100, true);
  CannonComponent* special = AddCannon(ship, VisVector_cl(8, 0, 2), 0.0f, CANNON_GROUP_SPECIAL, true);
  ship->SetSpecialCannon(special);

  CannonComponent original, fresh;
  original.SetAutoFire(true);
  ASSERT_TRUE(archive_test::RoundTrip(
      original, fresh, [](CannonComponent& c, VArchive& ar) { c.Serialize(ar); },
      [](CannonComponent& c, VArchive& ar) { c.Serialize(ar); }));
  EXPECT_TRUE(fresh.IsAutoFire());

  VString reason;
  EXPECT_EQ(fresh.CanAttachToObject(ship, reason), 0);
  EXPECT_STREQ(reason.AsChar(), "Component can only be added to instances of CannonEntity or derived classes.");

  // Leaving its mount, the special cannon leaves the ship without one; a broadside
  // cannon leaving changes nothing.
  CannonComponent* broadside = AddCannon(ship, VisVector_cl(0, 3, 2), 90.0f, CANNON_GROUP_LEFT);
  broadside->DisposeObject();
  EXPECT_EQ(ship->GetSpecialCannon(), special);
  special->DisposeObject();
  EXPECT_EQ(ship->GetSpecialCannon(), nullptr);
}

}  // namespace
