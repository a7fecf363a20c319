// Ship damage and sinking: armour, critical hits and god mode on the record's hit
// points, the messages of a hit, cannon-ball damage, engaging the battle, the two
// sinking styles down to the death of the wreck, game over, the saved block and
// the script class.
#include "SeaBattleFixture.h"

#include "components/AIShipComponent.h"
#include "components/CannonComponent.h"
#include "components/HealthBarComponent.h"
#include "components/ShipMovementComponent.h"
#include "components/SirenComponent.h"
#include "core/ComponentMessages.h"
#include "entities/CannonEntity.h"
#include "entities/MsgPosOri.h"
#include "entities/PlayerStats.h"
#include "entities/ProjectileEntity.h"
#include "support/ArchiveRoundTrip.h"
#include "support/ScriptBindingFixture.h"

#include <algorithm>

namespace {

// Counts the noises made.
class NoiseCounter : public IVisCallbackHandler_cl {
 public:
  void OnHandleCallback(IVisCallbackDataObject_cl*) override { ++count; }
  int count = 0;
};

// Counts the entities destroyed, as the event bus announces them.
class DestroyedCounter : public IVisCallbackHandler_cl {
 public:
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override {
    destroyed.push_back(static_cast<BaseEntityDataObject*>(data)->m_pEntity);
  }
  std::vector<VisBaseEntity_cl*> destroyed;
};

class ShipBattleComponentTest : public SeaBattleFixture {
 protected:
  // A projectile fired by the shooter, and a hit record naming it.
  INT_PTR HitBy(VisBaseEntity_cl* shooter) {
    auto* projectile = static_cast<ProjectileEntity*>(Vision::Game.CreateEntity("ProjectileEntity", VisVector_cl()));
    projectile->SetShooter(shooter);
    record = MsgPosOri();
    record.entity = projectile;
    return reinterpret_cast<INT_PTR>(&record);
  }
  MsgPosOri record;
};

TEST_F(ShipBattleComponentTest, ArmourCriticalHitsAndGodModeDecideTheHullLoss) {
  const struct {
    float damage;
    int armour;
    bool critical, godMode;
    int loss;
  } cases[] = {
      {0.4f, 5, false, false, 1}, {0.4f, 5, false, true, 0}, {10.0f, 3, true, false, 17},
      {10.0f, 3, false, false, 7}, {2.9f, 0, false, false, 2}, {10.0f, 30, true, false, 1},
  };
  for (const auto& c : cases) {
    ShipEntity* ship = MakeShip("Target", 2, VisVector_cl(0, 0, 0), 0.0f, 100);
    ShipBattleComponent* battle = BattleOf(ship);
    battle->SetArmor(c.armour);
    battle->SetGodMode(c.godMode);
    battle->TakeHit(c.damage, 2, 3.7f, c.critical ? 1.0f : 0.0f, 1.0f, true, 0, 0);
    EXPECT_EQ(ship->GetStats()->GetHull().GetCurrent(), 100 - c.loss) << c.damage << " vs armour " << c.armour;
    // The sails lose the truncated damage without armour, nothing in god mode.
    EXPECT_EQ(ship->GetStats()->GetSails().GetCurrent(), c.godMode ? 100 : 97);
    ship->Remove();
    Vision::Game.FreeRemovedEntities();
  }
}

TEST_F(ShipBattleComponentTest, HitsReportCriticalsAndHalfHullUntilTheShipSinksOnce) {
  ShipEntity* ship = MakeShip("Target", 2, VisVector_cl(0, 0, 0), 0.0f, 10);
  ShipBattleComponent* battle = BattleOf(ship);
  MessageLog* log = Listen(ship);

  battle->TakeHit(4.0f, 2, 0.0f, 0.0f, 1.0f, true, 0, 0);
  EXPECT_EQ(log->Ids(), (std::vector<int>{VIS_MSG_USER_SHIP_UNDER_50_HULL}));
  log->entries.clear();
  MsgPosOri anonymous;  // a record without a projectile
  battle->TakeHit(4.0f, 2, 0.0f, 1.0f, 2.5f, true, reinterpret_cast<INT_PTR>(&anonymous), 77);
  ASSERT_EQ(log->Ids(), (std::vector<int>{VIS_MSG_USER_SHIP_HIT_HULL_CRITICAL, VIS_MSG_USER_SHIP_UNDER_50_HULL,
                                          VIS_MSG_USER_SHIP_SINK}));
  EXPECT_EQ(log->entries[0].p1, reinterpret_cast<INT_PTR>(&anonymous));
  EXPECT_EQ(log->entries[0].p2, 77);
  EXPECT_EQ(ship->GetStats()->GetHull().GetCurrent(), 0);
  EXPECT_TRUE(battle->IsSinking());
  EXPECT_FLOAT_EQ(battle->GetSinkingSpeed(), 2.5f);

  // Sinking: no more half-hull reports, and a second lethal hit starts nothing.
  log->entries.clear();
  battle->TakeHit(50.0f, 2, 0.0f, 0.0f, 9.0f, true, 0, 0);
  EXPECT_TRUE(log->entries.empty());
  EXPECT_FLOAT_EQ(battle->GetSinkingSpeed(), 2.5f);

  // A hull that is not tracked (a fresh record's) never changes and never sinks.
  ShipEntity* untracked = MakeShip("Untracked", 2, VisVector_cl(50, 0, 0), 0.0f, 10);
  untracked->GetStats()->GetHull().SetMaximum(-1);
  untracked->GetStats()->GetHull().SetCurrent(10000);
  BattleOf(untracked)->TakeHit(50000.0f, 2, 0.0f, 1.0f, 1.0f, true, 0, 0);
  EXPECT_EQ(untracked->GetStats()->GetHull().GetCurrent(), 10000);
  EXPECT_FALSE(BattleOf(untracked)->IsSinking());
}

TEST_F(ShipBattleComponentTest, CannonBallDamageComesFromTheAttackersRecord) {
  ShipEntity* attacker = MakeShip("Attacker", 1, VisVector_cl(0, -40, 0));
  attacker->GetStats()->SetCannonBallDamage(5.0f);
  attacker->GetStats()->SetDamageFactor(2.0f);
  ShipEntity* target = MakeShip("Target", 2, VisVector_cl(0, 0, 0), 0.0f, 100);
  Hitpoints& hull = target->GetStats()->GetHull();
  Hitpoints& sails = target->GetStats()->GetSails();

  // Hull: base 5 x 2 = 10, damage 10 x 2 = 20 (40 on a critical hit); the sails are spared.
  target->SendMsg(VIS_MSG_USR_SHIP_HIT_HULL, HitBy(attacker), 0);
  EXPECT_TRUE(hull.GetCurrent() == 80 || hull.GetCurrent() == 60) << hull.GetCurrent();
  EXPECT_EQ(sails.GetCurrent(), 100);
  // Sails: (10 x 0.5 + 0.5) x 2 = 11 on both.
  hull.SetCurrent(100);
  target->SendMsg(VIS_MSG_USR_SHIP_HIT_SAILS, HitBy(attacker), 0);
  EXPECT_TRUE(hull.GetCurrent() == 89 || hull.GetCurrent() == 78) << hull.GetCurrent();
  EXPECT_EQ(sails.GetCurrent(), 89);

  // Any shooter other than a ship deals 1 to 3.
  hull.SetCurrent(100);
  sails.SetCurrent(100);
  VisBaseEntity_cl* tower = Vision::Game.CreateEntity("VisBaseEntity_cl", VisVector_cl());
  target->SendMsg(VIS_MSG_USR_SHIP_HIT_SAILS, HitBy(tower), 0);
  EXPECT_GE(sails.GetCurrent(), 97);
  EXPECT_LE(sails.GetCurrent(), 99);
  EXPECT_GE(hull.GetCurrent(), 94);

  // A ship without a record does nothing at all.
  attacker->SetStats(nullptr);
  MessageLog* log = Listen(target);
  const int before = hull.GetCurrent();
  target->SendMsg(VIS_MSG_USR_SHIP_HIT_HULL, HitBy(attacker), 0);
  EXPECT_EQ(hull.GetCurrent(), before);
  EXPECT_EQ(log->Count(VIS_MSG_USER_SHIP_UNDER_50_HULL), 0);
}

TEST_F(ShipBattleComponentTest, AHitEngagesTheAIMakesNoiseAndShowsTheHealthBarEvenInGodMode) {
  ShipEntity* player = MakeShip("Player", 1, VisVector_cl(0, -40, 0), 0.0f, 100, true);
  ShipEntity* enemy = MakeShip("Enemy", 2, VisVector_cl(0, 0, 0), 0.0f, 100);
  auto* ai = new AIShipComponent();
  enemy->AddComponent(ai);
  ai->SetAIMode(AIShipComponent::AIMODE_IDLE);
  MessageLog* log = Listen(enemy);
  NoiseCounter noises;
  NoiseManagerProto::OnNoiseGenerated.RegisterCallback(&noises);
  BattleOf(enemy)->SetGodMode(true);

  enemy->SendMsg(VIS_MSG_USR_SHIP_HIT_HULL, HitBy(player), 0);
  EXPECT_EQ(enemy->GetStats()->GetHull().GetCurrent(), 100);
  EXPECT_EQ(log->Count(37), 1);
  EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_ATTACK);
  EXPECT_EQ(ai->GetAttackTargetNation(), 1);
  EXPECT_TRUE(BattleManager::GetInstance()->IsBattleActive());
  EXPECT_EQ(noises.count, 1);
  const HealthBarComponent* bar = enemy->Components<HealthBarComponent>();
  ASSERT_NE(bar, nullptr);
  EXPECT_FLOAT_EQ(bar->GetHoldTimer(), 3.0f);

  // Already attacking: no second 37. A private fighter neither engages nor calls.
  enemy->SendMsg(VIS_MSG_USR_SHIP_HIT_HULL, HitBy(player), 0);
  EXPECT_EQ(log->Count(37), 1);
  ai->SetAIMode(AIShipComponent::AIMODE_IDLE);
  BattleOf(enemy)->SetPrivateFighter(true);
  enemy->SendMsg(VIS_MSG_USR_SHIP_HIT_HULL, HitBy(player), 0);
  EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_IDLE);
  EXPECT_EQ(noises.count, 2);

  // A shot from the own nation is no reason to fight.
  BattleManager::GetInstance()->EndBattle();
  ShipEntity* friendShip = MakeShip("Friend", 2, VisVector_cl(0, 40, 0));
  BattleOf(enemy)->SetPrivateFighter(false);
  enemy->SendMsg(VIS_MSG_USR_SHIP_HIT_HULL, HitBy(friendShip), 0);
  EXPECT_FALSE(BattleManager::GetInstance()->IsBattleActive());
  EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_IDLE);

  // A siren's note never engages and needs the siren's own damage.
  enemy->SendMsg(33, HitBy(player), 0);
  EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_IDLE);
  NoiseManagerProto::OnNoiseGenerated.DeregisterCallback(&noises);
}

// A siren's note costs the hull what the siren draws (its damage range, truncated,
// less armour, at least 1), spares the sails, and neither engages the AI nor names
// a shooter; a following hit engages again.
TEST_F(ShipBattleComponentTest, ASirenNoteCostsTheSirensDrawWithoutEngagingOrNamingAShooter) {
  ShipEntity* player = MakeShip("Player", 1, VisVector_cl(0, -40, 0), 0.0f, 100, true);
  ShipEntity* enemy = MakeShip("Enemy", 2, VisVector_cl(0, 0, 0), 0.0f, 1000);
  auto* ai = new AIShipComponent();
  enemy->AddComponent(ai);
  ai->SetAIMode(AIShipComponent::AIMODE_IDLE);
  VisBaseEntity_cl* rock = Vision::Game.CreateEntity("BaseEntity", VisVector_cl(0, 50, 0));
  auto* siren = new SirenComponent();
  ASSERT_TRUE(rock->AddComponent(siren));
  Hitpoints& hull = enemy->GetStats()->GetHull();
  const int sails = enemy->GetStats()->GetSails().GetCurrent();

  const struct {
    float min, max;
    int armour, lowest, highest;
  } cases[] = {{1.0f, 4.0f, 0, 1, 4}, {6.0f, 6.0f, 2, 4, 4}, {1.0f, 2.0f, 5, 1, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.min);
    siren->m_fDamageMin = c.min;
    siren->m_fDamageMax = c.max;
    BattleOf(enemy)->SetArmor(c.armour);
    int lowest = 1000, highest = 0;
    for (int i = 0; i < 200; ++i) {
      hull.SetCurrent(1000);
      enemy->SendMsg(33, HitBy(rock), 0);
      lowest = std::min(lowest, 1000 - hull.GetCurrent());
      highest = std::max(highest, 1000 - hull.GetCurrent());
    }
    EXPECT_EQ(lowest, c.lowest);
    EXPECT_LE(highest, c.highest);
    EXPECT_GE(highest, c.highest - 1);
  }
  EXPECT_EQ(enemy->GetStats()->GetSails().GetCurrent(), sails);
  EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_IDLE);
  EXPECT_EQ(BattleOf(enemy)->GetLatestShooter(), nullptr);

  // The skip covers the note's own hit only.
  enemy->SendMsg(VIS_MSG_USR_SHIP_HIT_HULL, HitBy(player), 0);
  EXPECT_EQ(ai->GetAIMode(), AIShipComponent::AIMODE_ATTACK);
}

TEST_F(ShipBattleComponentTest, TheWreckGoesDownToTheDepthThenDiesAndLeavesTheWorld) {
  ShipEntity* ship = MakeShip("Target", 2, VisVector_cl(0, 0, 0), 0.0f, 10);
  ship->AddComponent(new ShipMovementComponent());
  ShipBattleComponent* battle = BattleOf(ship);
  std::vector<MessageLog::Entry> heard;  // kept beyond the ship's components
  Listen(ship, &heard);
  DestroyedCounter destroyed;
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(&destroyed);

  battle->TakeHit(20.0f, 2, 0.0f, 0.0f, 3.0f, true, 0, 0);
  ASSERT_TRUE(battle->IsSinking());
  Frame();
  EXPECT_NE(battle->GetSinkingStyle(), ShipBattleComponent::SINKING_NONE);
  EXPECT_NEAR(battle->GetSinkingZOffset(), -3.0f * kStep, 1e-5f);
  // The movement goes with the next frame; from then on the hull only sinks.
  Frame();
  EXPECT_EQ(ship->Components<ShipMovementComponent>(), nullptr);
  const float z = ship->GetPosition().z;
  Frame();
  EXPECT_NEAR(ship->GetPosition().z, z - 3.0f * kStep, 1e-4f);

  // 12 units at 3 per second: four seconds.
  int frames = 3;
  while (Alive(ship) && frames < 400) {
    Frame();
    ++frames;
  }
  EXPECT_NEAR(frames, 240, 1);
  EXPECT_EQ(MessageLog::Count(heard, VIS_MSG_USER_SHIP_DIES), 1);
  EXPECT_EQ(heard.back().id, VIS_MSG_USER_SHIP_DIES);
  EXPECT_EQ(heard.back().p1, reinterpret_cast<INT_PTR>(ship));
  EXPECT_EQ(std::count(destroyed.destroyed.begin(), destroyed.destroyed.end(), ship), 1);
  EXPECT_FALSE(Alive(ship));
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(&destroyed);
}

TEST_F(ShipBattleComponentTest, BowFirstTiltsUpToSixtyDegreesWhileLinearOnlySinks) {
  ShipEntity* bow = MakeShip("Bow", 2, VisVector_cl(0, 0, 0));
  ShipEntity* flat = MakeShip("Flat", 2, VisVector_cl(50, 0, 0));
  ShipBattleComponent* bowBattle = BattleOf(bow);
  ShipBattleComponent* flatBattle = BattleOf(flat);
  bowBattle->StartSinking(1.0f, false);
  flatBattle->StartSinking(1.0f, false);
  for (int i = 0; i < 10; ++i) {
    bowBattle->UpdateSinkingBowFirst(1.0f);
    flatBattle->UpdateSinkingLinear(1.0f);
  }
  // 5 degrees of bow pitch and 3 of tilt per unit sunk.
  EXPECT_FLOAT_EQ(bowBattle->GetSinkingPitch(), 50.0f);
  EXPECT_NEAR(bow->GetOrientation().y, 30.0f, 1e-3f);
  EXPECT_NEAR(flat->GetOrientation().y, 0.0f, 1e-5f);
  EXPECT_FLOAT_EQ(flat->GetPosition().z, -10.0f);
  EXPECT_FLOAT_EQ(bow->GetPosition().z, -10.0f);

  // Held above the depth, the tilt stops at 60.
  bowBattle->SetSinkingZOffset(0.0f);
  for (int i = 0; i < 4; ++i) bowBattle->UpdateSinkingBowFirst(1.0f);
  EXPECT_FLOAT_EQ(bowBattle->GetSinkingPitch(), 60.0f);
  EXPECT_NEAR(bow->GetOrientation().y, 36.0f, 1e-3f);
  EXPECT_FALSE(bow->IsMarkedRemoved());
  // At the depth the wreck is removed.
  flatBattle->UpdateSinkingLinear(2.0f);
  EXPECT_TRUE(flat->IsMarkedRemoved());
}

TEST_F(ShipBattleComponentTest, ThePlayersShipSinkingEndsTheGameAndOtherShipsGiveExperience) {
  ShipEntity* player = MakeShip("Player", 1, VisVector_cl(0, 0, 0), 0.0f, 10, true);
  ShipEntity* escort = MakeShip("Escort", 1, VisVector_cl(0, 60, 0), 0.0f, 10);
  ShipEntity* enemy = MakeShip("Enemy", 2, VisVector_cl(0, -60, 0), 0.0f, 10);
  enemy->GetStats()->SetExperienceAmount(250);
  player->GetStats()->SetMineDamage(40.0f);
  GameSessionManager* session = GameSessionManager::GetInstance();
  ASSERT_NE(session->GetPlayer(), nullptr);
  const int experience = session->GetPlayer()->GetExperience();

  // A ship of the player's nation that is not the player's sinks quietly.
  BattleOf(escort)->StartSinking(1.0f, false);
  EXPECT_TRUE(session->IsPlayerAlive());
  // A mine of the player's records the shooter, whose nation earns the experience.
  enemy->SendMsg(20, HitBy(player), 0);
  EXPECT_EQ(BattleOf(enemy)->GetLatestShooter(), player);
  EXPECT_TRUE(BattleOf(enemy)->IsSinking());
  EXPECT_EQ(session->GetPlayer()->GetExperience(), experience + 250);

  BattleOf(player)->TakeHit(50.0f, 2, 0.0f, 0.0f, 1.0f, true, 0, 0);
  EXPECT_TRUE(BattleOf(player)->IsSinking());
  EXPECT_FALSE(session->IsPlayerAlive());
}

// The last shooter and an AI captain's target are dropped when their ship is freed:
// the sinking that follows reads neither.
TEST_F(ShipBattleComponentTest, FreedShootersAndTargetsAreForgotten) {
  ShipEntity* player = MakeShip("Player", 1, VisVector_cl(0, 0, 0), 0.0f, 10, true);
  ShipEntity* shooter = MakeShip("Escort", 1, VisVector_cl(0, 60, 0), 0.0f, 10);
  ShipEntity* enemy = MakeShip("Enemy", 2, VisVector_cl(0, -60, 0), 0.0f, 1000);
  enemy->GetStats()->SetExperienceAmount(250);
  shooter->GetStats()->SetMineDamage(1.0f);
  auto* ai = new AIShipComponent();
  enemy->AddComponent(ai);
  ai->SetTargetShip(shooter);
  GameSessionManager* session = GameSessionManager::GetInstance();
  const int experience = session->GetPlayer()->GetExperience();

  enemy->SendMsg(20, HitBy(shooter), 0);
  ASSERT_EQ(BattleOf(enemy)->GetLatestShooter(), shooter);
  ASSERT_FALSE(BattleOf(enemy)->IsSinking());
  shooter->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(BattleOf(enemy)->GetLatestShooter(), nullptr);
  EXPECT_EQ(ai->GetTargetShip(), nullptr);

  BattleOf(enemy)->TakeHit(5000.0f, 2, 0.0f, 0.0f, 1.0f, true, 0, 0);
  EXPECT_TRUE(BattleOf(enemy)->IsSinking());
  EXPECT_EQ(session->GetPlayer()->GetExperience(), experience);
  (void)player;
}

TEST_F(ShipBattleComponentTest, ThePlayersShipKeepsTheBattleGoingWhileAnAIShipNearbyAttacksIt) {
  ShipEntity* player = MakeShip("Player", 1, VisVector_cl(0, 0, 0), 0.0f, 100, true);
  ShipEntity* enemy = MakeShip("Enemy", 2, VisVector_cl(0, 100, 0));
  auto* ai = new AIShipComponent();
  enemy->AddComponent(ai);
  ai->SetAIMode(AIShipComponent::AIMODE_ATTACK);
  ai->SetAttackTargetNation(1);
  ai->SetTargetShip(player);
  Frame();
  EXPECT_TRUE(BattleManager::GetInstance()->IsBattleActive());
  // Out of range (150), the battle ends.
  enemy->SetPosition(VisVector_cl(0, 200, 0));
  Frame();
  EXPECT_FALSE(BattleManager::GetInstance()->IsBattleActive());
  // An attacker aiming at any nation (-1) does not count.
  enemy->SetPosition(VisVector_cl(0, 100, 0));
  ai->SetAttackTargetNation(-1);
  Frame();
  EXPECT_FALSE(BattleManager::GetInstance()->IsBattleActive());
}

TEST_F(ShipBattleComponentTest, AutoFireReachesEveryCannonOfTheShip) {
  ShipEntity* ship = MakeShip("Fort", 2, VisVector_cl(0, 0, 0));
  BattleOf(ship)->SetAutoFire(true);  // no cannons: nothing to do
  std::vector<CannonComponent*> cannons;
  for (int i = 0; i < 2; ++i) {
    auto* mount = static_cast<CannonEntity*>(Vision::Game.CreateEntity("CannonEntity", VisVector_cl(0, 3, 2)));
    mount->AttachToParent(ship);
    for (int j = 0; j < 2; ++j) {
      cannons.push_back(new CannonComponent());
      mount->AddComponent(cannons.back());
    }
  }
  BattleOf(ship)->SetAutoFire(true);
  for (CannonComponent* c : cannons) EXPECT_TRUE(c->IsAutoFire());
  BattleOf(ship)->SetAutoFire(false);
  for (CannonComponent* c : cannons) EXPECT_FALSE(c->IsAutoFire());
}

TEST_F(ShipBattleComponentTest, SavedBlockRoundTripsAndAVersionOneBlockChangesNothing) {
  ShipBattleComponent original, fresh;
  original.SetGodMode(true);
  original.SetArmor(7);
  original.SetSinkingSpeed(2.0f);
  original.SetSinkingZOffset(-3.5f);
  original.SetPrivateFighter(true);
  ASSERT_TRUE(archive_test::RoundTrip(
      original, fresh, [](ShipBattleComponent& c, VArchive& ar) { c.SerializeX(ar); },
      [](ShipBattleComponent& c, VArchive& ar) { c.SerializeX(ar); }));
  EXPECT_EQ(fresh.GetGodMode(), 1);
  EXPECT_EQ(fresh.GetArmor(), 7);
  EXPECT_FLOAT_EQ(fresh.GetSinkingZOffset(), -3.5f);
  EXPECT_TRUE(fresh.IsPrivateFighter());
  EXPECT_FLOAT_EQ(fresh.GetRollRate(), original.GetRollRate());

  archive_test::Bytes old = archive_test::SaveBytes([](VArchive& ar) { ar << "ARCH" << (char)1 << "EOA"; });
  ShipBattleComponent untouched;
  untouched.SetArmor(4);
  EXPECT_TRUE(archive_test::LoadBytes(old, [&](VArchive& ar) { untouched.SerializeX(ar); }));
  EXPECT_EQ(untouched.GetArmor(), 4);
  EXPECT_EQ(untouched.GetGodMode(), 0);
}

// The script class: broadside and special orders reach the ship's cannons.
class ShipBattleComponentScriptTest : public ScriptBindingFixture {};

TEST_F(ShipBattleComponentScriptTest, OrdersGoToTheShipAndWrongArgumentsAreReported) {
  GameManager* game = GameManager::GetInstance();
  game->AddNation(new Nation(0, "None"));
  ShipEntity* ship = static_cast<ShipEntity*>(Vision::Game.CreateEntity("ShipEntity", VisVector_cl()));
  auto* battle = new ShipBattleComponent();
  ship->AddComponent(battle);
  MessageLog* log = new MessageLog();
  ship->AddComponent(log);
  SetGlobalObject("battle", static_cast<IVObjectComponent*>(battle));

  EXPECT_EQ(Run("battle:FireCannons(0) battle:FireCannons(1) battle:FireCannons(2) battle:FireCannons(7)"), "");
  EXPECT_EQ(Run("battle:FireSpecial(4)"), "");
  ASSERT_EQ(log->Ids(), (std::vector<int>{51, 52, 53, 53}));
  EXPECT_EQ(log->entries[0].p1, 1);
  EXPECT_EQ(log->entries[2].p1, 1);
  EXPECT_EQ(log->entries[3].p1, 4);
  EXPECT_EQ(Run("battle:SetAutoFire(true)"), "");
  EXPECT_NE(Run("battle:SetAutoFire(3)").find("Expected bool"), std::string::npos);
  EXPECT_NE(Run("battle:FireCannons('left')").find("Expected int"), std::string::npos);
  EXPECT_NE(Run("battle.FireSpecial(nil, 1)")
                .find(ArgError(1, "FireSpecial", "Expected native object of type ShipBattleComponent*")),
            std::string::npos);
  EXPECT_EQ(Number("battle:GetProjectileTypes().PROJECTILE_ROCKET"), 7.0);
  EXPECT_EQ(Number("GameManager.GetProjectileTypes().PROJECTILE_ROCKET"), 7.0);
}

}  // namespace
