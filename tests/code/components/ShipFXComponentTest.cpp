// Ship effects: the smoke band of the hull, the wake following the speed, the mist,
// muzzle flashes, hull hits with sound and debris, collision splinters (one sound
// and one burst per collision, no sound from a sinking ship) and the release of the
// effects when the ship sinks.
#include "components/ShipFXComponent.h"

#include "code/components/SeaBattleFixture.h"
#include "components/ShipMovementComponent.h"
#include "components/ShipSailComponent.h"
#include "core/ComponentMessages.h"
#include "entities/DebrisEntity.h"
#include "entities/MsgPosOri.h"
#include "Factories/ShipFactory.h"
#include "Managers/SoundManager.h"

#include "engine/physics/vPhysXContactRecord.h"
#include "engine/physics/vPhysXRigidBody.h"
#include "engine/sound/VSoundManager.h"

#include <set>
#include <string>
#include <vector>

namespace {

const char* const kHullSound = "Sounds\\FX\\fx_cannon_hit_hull_01.wav";

class ShipFXTest : public SeaBattleFixture {
 protected:
  void SetUp() override {
    SeaBattleFixture::SetUp();
    VSoundManager::GlobalManager().SetInitialized(true);
    SoundManager::GetInstance()->AddSFXSound(SOUND_SFX_HIT_HULL, kHullSound, false, false, 0.0f);
  }
  void TearDown() override {
    ShipFactory::CleanInstance();
    VSoundManager::GlobalManager().SetInitialized(false);
    SeaBattleFixture::TearDown();
  }

  ShipFXComponent* AddFX(ShipEntity* ship) {
    auto* fx = new ShipFXComponent();
    EXPECT_TRUE(ship->AddComponent(fx));
    return fx;
  }
  static int HullSounds() {
    int n = 0;
    VSoundManager& sounds = VSoundManager::GlobalManager();
    for (int i = 0; i < sounds.GetInstanceCount(); ++i) {
      const VSoundObject* obj = sounds.GetInstance(i);
      n += obj && obj->GetResource() &&
           std::string(obj->GetResource()->GetFileName()).find("fx_cannon_hit_hull_01") != std::string::npos;
    }
    return n;
  }
  // Running effects made from the file.
  static std::vector<VisParticleEffect_cl*> Effects(const char* file) {
    std::vector<VisParticleEffect_cl*> out;
    VisParticleGroupManager_cl& effects = VisParticleGroupManager_cl::GlobalManager();
    for (int i = 0; i < effects.GetEffectCount(); ++i) {
      VisParticleEffect_cl* effect = effects.GetEffect(i);
      const VisParticleEffectFile_cl* source = effect->GetSourceEffect();
      if (source && std::string(source->GetFilename()).find(file) != std::string::npos) out.push_back(effect);
    }
    return out;
  }
  static int Debris() { return (int)EntitiesOf("DebrisEntity").size(); }
  static std::vector<std::string> RunningLayers(VisParticleEffect_cl* effect) {
    std::vector<std::string> names;
    for (int i = 0; i < effect->GetLayerCount(); ++i)
      if (effect->GetLayer(i)->IsRunning()) names.push_back(effect->GetLayer(i)->GetName());
    return names;
  }
  static void Contact(ShipEntity* ship, const vPhysXContactRecord& contact) {
    ship->MessageFunction(VIS_MSG_PHYSICS_CONTACT, reinterpret_cast<INT_PTR>(&contact), VPHYSX_CONTACT_NOTIFY);
  }
  static vPhysXContactRecord ContactAt(const VisVector_cl& point) {
    vPhysXContactRecord contact;
    contact.vPoint = point;
    contact.vNormal = VisVector_cl(0, 1, 0);
    return contact;
  }
};

TEST_F(ShipFXTest, OnlyThreeDimensionalObjectsTakeIt) {
  ShipFXComponent fx;
  VString reason;
  VisBaseEntity_cl* entity = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl(0, 0, 0));
  EXPECT_EQ(fx.CanAttachToObject(entity, reason), 1);
  VisTypedEngineObject_cl plain;
  EXPECT_EQ(fx.CanAttachToObject(&plain, reason), 0);
  EXPECT_STREQ(reason.AsChar(), "Component can only be added to instances of VisObject3D_cl or derived classes.");
}

struct SmokeCase {
  int hull;                // of 100
  const char* runningLayer;  // null: no smoke
};

class ShipSmokeBandTest : public ShipFXTest, public ::testing::WithParamInterface<SmokeCase> {};

TEST_P(ShipSmokeBandTest, TheHullsBandRunsItsOneLayer) {
  const SmokeCase& c = GetParam();
  ShipEntity* ship = MakeShip("Hulk", 2, VisVector_cl(0, 0, 0));
  ShipFXComponent* fx = AddFX(ship);
  ASSERT_NE(fx->GetDamageSmoke(), nullptr);
  EXPECT_EQ(fx->GetDamageSmoke()->GetParent(), ship);
  ship->GetStats()->GetHull().SetCurrent(c.hull);
  ship->SendMsg(VIS_MSG_USER_SHIP_UNDER_50_HULL);
  const std::vector<std::string> running = RunningLayers(fx->GetDamageSmoke());
  if (c.runningLayer)
    EXPECT_EQ(running, std::vector<std::string>{c.runningLayer});
  else
    EXPECT_TRUE(running.empty());
}

INSTANTIATE_TEST_SUITE_P(Bands, ShipSmokeBandTest,
                         ::testing::Values(SmokeCase{100, nullptr}, SmokeCase{90, nullptr}, SmokeCase{89, "damage_90"},
                                           SmokeCase{85, "damage_90"}, SmokeCase{80, "damage_90"},
                                           SmokeCase{79, "damage_80"}, SmokeCase{45, "damage_50"},
                                           SmokeCase{10, "damage_20"}, SmokeCase{9, "damage_10"},
                                           SmokeCase{0, "damage_10"}));

TEST_F(ShipFXTest, TheSmokeChangesBandAndAResetMakesAFreshOne) {
  ShipEntity* ship = MakeShip("Hulk", 2, VisVector_cl(0, 0, 0));
  ShipFXComponent* fx = AddFX(ship);
  ship->GetStats()->GetHull().SetCurrent(35);
  ship->SendMsg(VIS_MSG_USER_SHIP_UNDER_50_HULL);
  VisParticleEffect_cl* smoke = fx->GetDamageSmoke();
  EXPECT_EQ(RunningLayers(smoke), std::vector<std::string>{"damage_40"});
  ship->GetStats()->GetHull().SetCurrent(15);
  ship->SendMsg(VIS_MSG_USER_SHIP_UNDER_50_HULL);
  EXPECT_EQ(fx->GetDamageSmoke(), smoke);
  EXPECT_EQ(RunningLayers(smoke), std::vector<std::string>{"damage_20"});

  // Repaired: the old smoke dies away, the next update makes a new one.
  ship->SendMsg(29);
  EXPECT_EQ(fx->GetDamageSmoke(), nullptr);
  EXPECT_TRUE(smoke->IsFinished());
  EXPECT_EQ(smoke->GetParent(), nullptr);
  ship->SendMsg(VIS_MSG_USER_SHIP_UNDER_50_HULL);
  ASSERT_NE(fx->GetDamageSmoke(), nullptr);
  EXPECT_NE(fx->GetDamageSmoke(), smoke);
}

TEST_F(ShipFXTest, TheWakeFollowsTheShipAndItsSpeed) {
  ShipEntity* ship = MakeShip("Runner", 2, VisVector_cl(0, 0, 0));
  ship->AddComponent(new ShipSailComponent());
  auto* movement = new ShipMovementComponent();
  ship->AddComponent(movement);
  ShipFXComponent* fx = AddFX(ship);
  VisParticleEffect_cl* wake = fx->GetSternWake();
  ASSERT_NE(wake, nullptr);
  ASSERT_GT(wake->GetLayerCount(), 0);
  EXPECT_EQ(wake->GetParent(), ship);

  ship->SendMsg(VIS_MSG_USER_SHIP_FULLSAILS);
  float last = -1.0f;
  for (int i = 0; i < 120; ++i) {
    Frame();
    const float expected = movement->GetCurrentSpeed() / movement->GetSpeedFullSails();
    for (int l = 0; l < wake->GetLayerCount(); ++l)
      EXPECT_NEAR(wake->GetLayer(l)->GetEmissionIntensity(), expected, 1e-5f) << i;
    EXPECT_GE(expected, last);
    last = expected;
  }
  EXPECT_GT(last, 0.0f);
  EXPECT_TRUE(wake->GetPosition().IsEqual(ship->GetPosition(), 1e-3f));

  // Paused with the game.
  PauseManager::GetInstance()->SetGamePause(true);
  Frame();
  EXPECT_TRUE(wake->IsPaused());
  PauseManager::GetInstance()->SetGamePause(false);
  Frame();
  EXPECT_FALSE(wake->IsPaused());
}

TEST_F(ShipFXTest, MistComesWithTheFirstMessageAndKeepsRunning) {
  ShipEntity* ship = MakeShip("Ghost", 2, VisVector_cl(10, 20, 0));
  ShipFXComponent* fx = AddFX(ship);
  EXPECT_EQ(fx->GetMist(), nullptr);
  ship->SendMsg(36);
  VisParticleEffect_cl* mist = fx->GetMist();
  ASSERT_NE(mist, nullptr);
  EXPECT_TRUE(mist->GetPosition().IsEqual(VisVector_cl(17.5f, 20, 0), 1e-4f));
  EXPECT_EQ(mist->GetParent(), ship);
  ASSERT_EQ(RunningLayers(mist).size(), (size_t)mist->GetLayerCount());
  mist->Tick(1.0f);
  const double time = mist->GetLayer(0)->GetTime();
  // Every frame's message leaves the running layers as they are.
  ship->SendMsg(36);
  EXPECT_EQ(fx->GetMist(), mist);
  EXPECT_DOUBLE_EQ(mist->GetLayer(0)->GetTime(), time);
  mist->GetLayer(0)->Stop();
  ship->SendMsg(36);
  EXPECT_TRUE(mist->GetLayer(0)->IsRunning());
}

TEST_F(ShipFXTest, AFiredCannonFlashesAtItsMuzzle) {
  ShipEntity* ship = MakeShip("Gunner", 2, VisVector_cl(0, 0, 0));
  AddFX(ship);
  const size_t before = Effects("cannon_fire_01").size();
  const float fired[8] = {3, 4, 5, 1, 90, 0, 0, 0};
  ship->MessageFunction(VIS_MSG_USER_CANNON_FIRED, reinterpret_cast<INT_PTR>(fired), 0);
  const std::vector<VisParticleEffect_cl*> flashes = Effects("cannon_fire_01");
  ASSERT_EQ(flashes.size(), before + 1);
  VisParticleEffect_cl* flash = flashes.back();
  EXPECT_TRUE(flash->GetPosition().IsEqual(VisVector_cl(3, 4, 5), 1e-5f));
  EXPECT_NEAR(flash->GetOrientation().x, 90.0f, 1e-3f);
  EXPECT_TRUE(flash->GetRemoveWhenFinished());
}

TEST_F(ShipFXTest, HullHitsSparkSoundAndThrowDebris) {
  for (const bool critical : {false, true}) {
    SCOPED_TRACE(critical ? "critical" : "plain");
    ShipEntity* ship = MakeShip(critical ? "Crit" : "Plain", 2, VisVector_cl(0, 0, 0));
    AddFX(ship);
    const char* sparks = critical ? "critical_hit" : "hit_hull";
    const size_t effects = Effects(sparks).size();
    const int sounds = HullSounds();
    const int debris = Debris();
    MsgPosOri hit;
    hit.position = VisVector_cl(2, 3, 4);
    hit.orientation = VisVector_cl(30, 10, 0);
    hit.direction = VisVector_cl(0, 1, 0);
    ship->MessageFunction(critical ? VIS_MSG_USER_SHIP_HIT_HULL_CRITICAL : VIS_MSG_USR_SHIP_HIT_HULL,
                          reinterpret_cast<INT_PTR>(&hit), 0);
    EXPECT_EQ(HullSounds(), sounds + 1);
    const std::vector<VisParticleEffect_cl*> made = Effects(sparks);
    ASSERT_EQ(made.size(), effects + 1);
    EXPECT_TRUE(made.back()->GetPosition().IsEqual(hit.position, 1e-5f));
    EXPECT_TRUE(made.back()->GetHandleWhenVisible());
    const int thrown = Debris() - debris;
    EXPECT_GE(thrown, 1);
    EXPECT_LE(thrown, 4);
    for (VisBaseEntity_cl* bit : EntitiesOf("DebrisEntity")) {
      EXPECT_STREQ(bit->GetEntityKey(), "Debris");
      EXPECT_TRUE(bit->GetScaling().IsEqual(VisVector_cl(0.5f, 0.5f, 0.5f), 1e-6f));
      EXPECT_NE(bit->GetComponentOfType(vPhysXRigidBody::GetClassTypeId()), nullptr);
    }
  }
}

TEST_F(ShipFXTest, ThrownDebrisIsBarrelsAndPlanksOneToFourAtATime) {
  ShipEntity* ship = MakeShip("Wreck", 2, VisVector_cl(0, 0, 0));
  ShipFXComponent* fx = AddFX(ship);
  std::set<int> counts;
  std::set<std::string> models;
  for (int i = 0; i < 40; ++i) {
    const int before = Debris();
    fx->ThrowDebris(VisVector_cl(1, 1, 1), VisVector_cl(0, 0, 3), VisVector_cl(1, 1, 1));
    counts.insert(Debris() - before);
  }
  for (VisBaseEntity_cl* bit : EntitiesOf("DebrisEntity")) models.insert(bit->GetMeshFileName());
  EXPECT_EQ(counts, (std::set<int>{1, 2, 3, 4}));
  EXPECT_EQ(models.size(), 2u);
  // Wreckage of no size is not made.
  const int before = Debris();
  fx->ThrowDebris(VisVector_cl(1, 1, 1), VisVector_cl(0, 0, 3), VisVector_cl(0, 0, 0));
  EXPECT_EQ(Debris(), before);
}

TEST_F(ShipFXTest, ContactsOfOneCollisionMakeOneSoundAndOneBurst) {
  ShipEntity* ship = MakeShip("Rammer", 2, VisVector_cl(0, 0, 0));
  ShipFXComponent* fx = AddFX(ship);
  const int sounds = HullSounds();
  const size_t splinters = Effects("collision").size();
  const int debris = Debris();
  Contact(ship, ContactAt(VisVector_cl(5, 0, 2)));
  Contact(ship, ContactAt(VisVector_cl(5, 1, 2)));
  EXPECT_EQ(HullSounds(), sounds + 1);
  EXPECT_EQ(Effects("collision").size(), splinters + 1);
  EXPECT_GE(Debris() - debris, 1);
  EXPECT_LE(Debris() - debris, 4);
  EXPECT_GE(fx->GetCollisionCooldown(), 500.0f);
  EXPECT_LE(fx->GetCollisionCooldown(), 1500.0f);

  // The next collision is heard once the cooldown ran out.
  for (int i = 0; i < 20; ++i) Frame();
  EXPECT_GT(fx->GetCollisionCooldown(), 0.0f);
  int heard = HullSounds();
  Contact(ship, ContactAt(VisVector_cl(5, 0, 2)));
  EXPECT_EQ(HullSounds(), heard);
  for (int i = 0; i < 120 && fx->GetCollisionCooldown() > 0.0f; ++i) Frame();
  EXPECT_EQ(fx->GetCollisionCooldown(), 0.0f);
  heard = HullSounds();
  Contact(ship, ContactAt(VisVector_cl(5, 0, 2)));
  EXPECT_EQ(HullSounds(), heard + 1);
  EXPECT_EQ(Effects("collision").size(), splinters + 2);
}

TEST_F(ShipFXTest, ASinkingShipsContactsSplinterWithoutASound) {
  ShipEntity* ship = MakeShip("Sinker", 2, VisVector_cl(0, 0, 0));
  AddFX(ship);
  BattleOf(ship)->StartSinking(1.0f, true);
  ASSERT_TRUE(BattleOf(ship)->IsSinking());
  const int sounds = HullSounds();
  const size_t splinters = Effects("collision").size();
  const int debris = Debris();
  Contact(ship, ContactAt(VisVector_cl(5, 0, 2)));
  EXPECT_EQ(HullSounds(), sounds);
  EXPECT_EQ(Effects("collision").size(), splinters + 1);
  EXPECT_GT(Debris(), debris);
}

TEST_F(ShipFXTest, ContactsWithDebrisAreIgnored) {
  ShipEntity* ship = MakeShip("Rammer", 2, VisVector_cl(0, 0, 0));
  ShipFXComponent* fx = AddFX(ship);
  VisBaseEntity_cl* wreck = Vision::Game.CreateEntity("DebrisEntity", VisVector_cl(5, 0, 2));
  auto* body = new vPhysXRigidBody();
  body->Initialize();
  ASSERT_TRUE(wreck->AddComponent(body));
  vPhysXContactRecord contact = ContactAt(VisVector_cl(5, 0, 2));
  contact.participant[1].pObject = body;
  const int sounds = HullSounds();
  const int debris = Debris();
  Contact(ship, contact);
  EXPECT_EQ(HullSounds(), sounds);
  EXPECT_EQ(Debris(), debris);
  EXPECT_EQ(fx->GetCollisionCooldown(), 0.0f);
}

TEST_F(ShipFXTest, SinkingReleasesSmokeMistAndWake) {
  ShipEntity* ship = MakeShip("Sinker", 2, VisVector_cl(0, 0, 0));
  ShipFXComponent* fx = AddFX(ship);
  ship->GetStats()->GetHull().SetCurrent(20);
  ship->SendMsg(VIS_MSG_USER_SHIP_UNDER_50_HULL);
  ship->SendMsg(36);
  std::vector<VisParticleEffect_cl*> effects = {fx->GetDamageSmoke(), fx->GetMist(), fx->GetSternWake()};
  std::vector<VSmartPtr<VisParticleEffect_cl>> held(effects.begin(), effects.end());
  for (VisParticleEffect_cl* effect : effects) ASSERT_NE(effect, nullptr);
  ship->SendMsg(VIS_MSG_USER_SHIP_SINK);
  EXPECT_EQ(fx->GetDamageSmoke(), nullptr);
  EXPECT_EQ(fx->GetMist(), nullptr);
  EXPECT_EQ(fx->GetSternWake(), nullptr);
  for (VisParticleEffect_cl* effect : effects) {
    EXPECT_TRUE(effect->IsFinished());
    EXPECT_EQ(effect->GetParent(), nullptr);
  }
  // The wake is not updated any more.
  Frame();
}

TEST_F(ShipFXTest, HullSoundsPlayAtTheEffectsVolume) {
  ShipEntity* ship = MakeShip("Sounder", 2, VisVector_cl(0, 0, 0));
  ShipFXComponent* fx = AddFX(ship);
  SoundManager::GetInstance()->SetFXVolume(0.5f);
  for (const bool critical : {false, true}) {
    const int before = VSoundManager::GlobalManager().GetInstanceCount();
    const bool played = critical ? fx->PlaySoundHitHullCritical(VisVector_cl(1, 2, 3), 0.8f)
                                 : fx->PlaySoundHitHull(VisVector_cl(1, 2, 3), 0.8f);
    ASSERT_TRUE(played);
    ASSERT_EQ(VSoundManager::GlobalManager().GetInstanceCount(), before + 1);
    VSoundObject* sound = VSoundManager::GlobalManager().GetInstance(before);
    EXPECT_NEAR(sound->GetVolume(), 0.4f, 1e-5f);
    EXPECT_FLOAT_EQ(sound->Get3DFadeNear(), 10.0f);
    EXPECT_FLOAT_EQ(sound->Get3DFadeFar(), 400.0f);
    EXPECT_TRUE(sound->IsPlaying());
  }
}

}  // namespace
