// Area-effect shells: the arc and its impact tests, the homing rocket, the blast on
// soldiers (killed ones flung, scripts told instead), the stink cloud, the monkey
// ball's rules, buildings and the gate, and the soldiers' and ranged attacks' shells.
#include "code/entities/AreaEffectFixture.h"

#include "components/DestructableBuildingComponent.h"
#include "components/RagdollComponent.h"
#include "components/RangedAttackComponent.h"
#include "entities/BuildingBaseEntity.h"
#include "entities/FSM/DizzyState.h"
#include "support/LogCapture.h"
#include "support/MessageRecorder.h"
#include "util/ComponentSetup.h"

#include "engine/core/VisParticleEffect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using AreaEffectProjectileTest = AreaEffectFixture;

// ---- flight ----------------------------------------------------------------------------------

TEST_F(AreaEffectProjectileTest, TheArcPeaksAtTheMiddleAndTheShellLandsShortOfAnOvershot) {
  // 20 units at 10 per second in steps of 0.25 s: the midpoint after 1 s, at the
  // peak of 2 x 20 x 0.05 above the line from the launch height 2 down to the
  // ground at 1 under the target.
  Vision::World.SetFlatTerrain(1.0f);
  AreaEffectProjectileEntity* shell = Shell(VisVector_cl(0, 0, 2), VisVector_cl(20, 0, 2), PROJECTILE_BALL, nullptr,
                                            50, 10.0f, 2.0f);
  Think(shell, 4);
  EXPECT_NEAR(shell->GetPosition().x, 10.0f, 1e-4f);
  EXPECT_NEAR(shell->GetPosition().z, 2.0f + 2.0f - 0.5f, 1e-4f);
  Vision::World.ClearTerrain();

  // Steps of 2.5 toward the target at 20: the step from 17.5 would pass it.
  AreaEffectProjectileEntity* fast = Shell(VisVector_cl(0, 0, 0), VisVector_cl(18.5f, 0, 0), PROJECTILE_BALL, nullptr,
                                           50, 10.0f);
  Think(fast, 20);
  EXPECT_TRUE(fast->IsMarkedRemoved());
  EXPECT_NEAR(fast->GetPosition().x, 17.5f, 1e-4f) << "it impacts where it is, not on the target";

  const VisVector_cl spot(3, 4, 0);
  AreaEffectProjectileEntity* dud = Shell(spot, spot);
  Think(dud);
  EXPECT_TRUE(dud->IsMarkedRemoved()) << "a target at the launch point: impact on the first frame";
  EXPECT_EQ(dud->GetPosition(), spot);
}

TEST_F(AreaEffectProjectileTest, ARocketHomesOnlyOnAnEnemyCloserThan15) {
  const struct {
    float enemyDistance;
    bool retargeted;
  } cases[] = {{15.0f, false}, {14.0f, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.enemyDistance);
    // After 3 frames (0.75 s) the rocket stands at x = 1.5 and homes.
    const VisVector_cl enemyAt(1.5f, c.enemyDistance, 0.0f);
    UnitEntity* enemies = EnemyUnit(2, {enemyAt});
    AreaEffectProjectileEntity* rocket = Shell(VisVector_cl(0, 0, 0), VisVector_cl(100, 0, 0), PROJECTILE_ROCKET,
                                               nullptr, 10, 2.0f, 0.0f);
    Think(rocket, 2);
    EXPECT_FALSE(rocket->IsHoming()) << "not before 0.5 s";
    Think(rocket);
    EXPECT_TRUE(rocket->IsHoming());
    EXPECT_EQ(rocket->GetTarget() == enemyAt, c.retargeted);
    rocket->Remove();
    enemies->SetPosition(VisVector_cl(1000, 1000, 0));
    enemies->GetSoldiers()[0]->SetPosition(VisVector_cl(1000, 1000, 0));
  }
}

// ---- blast -----------------------------------------------------------------------------------

TEST_F(AreaEffectProjectileTest, TheBlastHurtsEnemiesWithin5AndFlingsTheKilled) {
  SoldierEntity* gunner = Soldier(1, VisVector_cl(-30, 0, 0));
  SoldierEntity* friendly = Soldier(1, VisVector_cl(1, 0, 0));
  SoldierEntity* doomed = Soldier(2, VisVector_cl(2, 0, 0), 40);
  SoldierEntity* tough = Soldier(2, VisVector_cl(0, 4, 0));
  SoldierEntity* outside = Soldier(2, VisVector_cl(5.5f, 0, 0));
  AreaEffectProjectileEntity* shell = Shell(VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0), PROJECTILE_BALL, gunner);
  Think(shell);
  ASSERT_TRUE(shell->IsMarkedRemoved());

  EXPECT_EQ(HitPoints(friendly), 100);
  EXPECT_EQ(HitPoints(outside), 100);
  EXPECT_EQ(HitPoints(tough), 50);
  EXPECT_FALSE(doomed->IsAlive());
  EXPECT_NE(doomed->Components<RagdollComponent>(), nullptr) << "the killed are flung";
  EXPECT_EQ(tough->Components<RagdollComponent>(), nullptr) << "survivors are not";
}

// A shooter whose script has "OnAttackHit" is told of each hit and decides; a shooter
// destroyed in flight leaves the shell harmless.
TEST_F(AreaEffectProjectileTest, HitsGoToTheShootersScriptAndNeedAShooter) {
  SoldierEntity* gunner = Soldier(1, VisVector_cl(-30, 0, 0));
  GiveScript(gunner, "hits = 0\nfunction OnAttackHit(shooter, victim, damage)\n"
                     "  if shooter ~= nil and victim ~= nil then hits = hits + damage end\nend\n");
  SoldierEntity* target = Soldier(2, VisVector_cl(1, 0, 0));
  Think(Shell(VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0), PROJECTILE_BALL, gunner, 30));
  int hits = 0;
  gunner->GetScriptValue("hits", hits);
  EXPECT_EQ(hits, 30);
  EXPECT_EQ(HitPoints(target), 100);

  SoldierEntity* other = Soldier(1, VisVector_cl(-30, 5, 0));
  AreaEffectProjectileEntity* orphan =
      Shell(VisVector_cl(0, 0, 5), VisVector_cl(1, 0, 0), PROJECTILE_BALL, other, 30, 10.0f);
  other->Remove();
  Vision::Game.FreeRemovedEntities();
  EXPECT_EQ(orphan->GetShooter(), nullptr);
  Think(orphan, 10);
  EXPECT_TRUE(orphan->IsMarkedRemoved());
  EXPECT_EQ(HitPoints(target), 100);
}

TEST_F(AreaEffectProjectileTest, AStinkBombOfTenSetsTheAchievementAndItsCloudDizzies) {
  SoldierEntity* thrower = Soldier(1, VisVector_cl(-30, 0, 0));
  const struct {
    int crowd;
    bool achievement;
  } cases[] = {{9, false}, {10, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.crowd);
    AchievementManager::CleanInstance();
    std::vector<VisVector_cl> points;
    for (int i = 0; i < c.crowd; ++i) points.push_back(VisVector_cl(0.3f * i, 0, 0));
    UnitEntity* crowd = EnemyUnit(2, points);
    AreaEffectProjectileEntity* bomb =
        Shell(VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0), PROJECTILE_STINKBOMB, thrower, 1);
    Think(bomb);
    EXPECT_EQ(AchievementManager::GetInstance()->IsUnlocked(5), c.achievement);
    crowd->SetPosition(VisVector_cl(1000, 1000, 0));
    for (SoldierEntity* s : crowd->GetSoldiers()) s->SetPosition(VisVector_cl(1000, 1000, 0));
    bomb->Remove();
  }

  // The cloud: 2 s of lingering; enemies under it (in x and y) dizzy for 2 s.
  UnitEntity* near = EnemyUnit(2, {VisVector_cl(3, 0, 10), VisVector_cl(0, 5.0f, 0)});
  UnitEntity* neutral = EnemyUnit(0, {VisVector_cl(1, 0, 0)});
  AreaEffectProjectileEntity* bomb =
      Shell(VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0), PROJECTILE_STINKBOMB, thrower, 1);
  Think(bomb);
  EXPECT_TRUE(bomb->IsLingering());
  EXPECT_FALSE(bomb->IsMarkedRemoved());
  EXPECT_EQ(bomb->GetVisibleBitmask(), 0u);
  ASSERT_NE(bomb->GetImpactEffect(), nullptr);
  Think(bomb);
  SoldierEntity* under = near->GetSoldiers()[0];
  EXPECT_TRUE(under->GetStateMachine()->IsInState(DizzyState::GetInstance()));
  EXPECT_NEAR(under->GetStateMachine()->GetRemainingTime(), 2.0f, 1e-4f);
  EXPECT_FALSE(near->GetSoldiers()[1]->GetStateMachine()->IsInState(DizzyState::GetInstance())) << "5.0 is outside";
  EXPECT_FALSE(neutral->GetSoldiers()[0]->GetStateMachine()->IsInState(DizzyState::GetInstance()));
  Think(bomb, 6);
  EXPECT_FALSE(bomb->IsMarkedRemoved());
  Think(bomb);
  EXPECT_TRUE(bomb->IsMarkedRemoved()) << "gone once 2 s have passed";
}

// The monkey ball hurts only the player's first soldier, only in the queen's scene and
// only within 5.0; an empty player unit is passed over.
TEST_F(AreaEffectProjectileTest, TheMonkeyBallHurtsOnlyThePlayersFirstSoldierNearTheQueen) {
  auto* hero = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0)));
  hero->SetNation(1);
  hero->SetEntityKey("PlayerCharacter");
  ThePlayer()->AddPlayerUnit(hero);
  ASSERT_EQ(GameManager::GetInstance()->GetPlayerEntity(), hero);
  auto fire = [](float distance) {
    const VisVector_cl at(distance, 0, 0);
    LogCapture log;
    AreaEffectProjectileEntity* monkey = Shell(at, at, PROJECTILE_MONKEYCANNONBALL, nullptr, 7);
    Think(monkey);
    EXPECT_TRUE(monkey->IsMarkedRemoved());
    EXPECT_FALSE(log.Matching("QueenDoruzuzaArmyEntity").empty()) << "the monkey cannot join the army yet: said so";
  };
  SoldierEntity* queen = Soldier(2, VisVector_cl(50, 0, 0));
  queen->SetEntityKey("script_doruzuza");
  fire(1.0f);  // an empty unit has no first soldier: nothing happens

  SoldierEntity* first = Soldier(1, VisVector_cl(0, 0, 0));
  SoldierEntity* second = Soldier(1, VisVector_cl(0.5f, 0, 0));
  hero->AddSoldier(first);
  hero->AddSoldier(second);
  const struct {
    bool queen;
    float distance;
    bool hurt;
  } cases[] = {{false, 1.0f, false}, {true, 5.0f, true}, {true, 5.5f, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.queen << " " << c.distance);
    queen->SetEntityKey(c.queen ? "script_doruzuza" : "someone_else");
    const int before = HitPoints(first);
    fire(c.distance);
    EXPECT_EQ(before - HitPoints(first), c.hurt ? 7 : 0);
    EXPECT_EQ(HitPoints(second), 100);
    EXPECT_EQ(HitPoints(queen), 100);
  }
}

TEST_F(AreaEffectProjectileTest, BuildingsUnderTheImpactTakeAHit) {
  auto* building =
      static_cast<BuildingBaseEntity*>(Vision::Game.CreateEntity("BuildingBaseEntity", VisVector_cl(0, 0, 0)));
  building->SetMesh(m_mesh);
  auto* hits = new MessageRecorder();
  ASSERT_TRUE(building->AddComponent(hits));
  SoldierEntity* gunner = Soldier(1, VisVector_cl(-30, 0, 0));
  gunner->GetStats()->m_CombatSkills.m_iRangedMinDamage = 6;
  gunner->GetStats()->m_CombatSkills.m_iRangedMaxDamage = 6;
  BaseEntity* tower = static_cast<BaseEntity*>(Vision::Game.CreateEntity("BaseEntity", VisVector_cl(-30, 5, 0)));
  tower->SetNation(1);
  // The box reaches 0.4 either side: its edge is inside, beyond it is not.
  const struct {
    float x;
    BaseEntity* shooter;
    int hit;  // 0: none
  } cases[] = {{0.4f, tower, 10}, {0.5f, tower, 0}, {-0.4f, gunner, 6}, {0.0f, nullptr, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.x);
    hits->ids.clear();
    hits->firstParameters.clear();
    const VisVector_cl at(c.x, 0, 0);
    Think(Shell(at, at, PROJECTILE_BALL, c.shooter));
    if (c.hit) {
      ASSERT_EQ(hits->Count(201), 1);
      const auto where = std::find(hits->ids.begin(), hits->ids.end(), 201) - hits->ids.begin();
      EXPECT_EQ(hits->firstParameters[(size_t)where], (INT_PTR)c.hit);
    } else {
      EXPECT_EQ(hits->Count(201), 0);
    }
  }
  building->Remove();
  Vision::Game.FreeRemovedEntities();
}

TEST_F(AreaEffectProjectileTest, TheGateBreaksUnderTheHeavyBallInGameMode1) {
  const struct {
    GameMode mode;
    int damage;
    bool breaks;
  } cases[] = {{GAME_MODE_CAMPAIGN, 5000, false}, {GAME_MODE_DLC, 4999, false}, {GAME_MODE_DLC, 5000, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.mode << " " << c.damage);
    // The gate stands far from the impact: only the heavy ball reaches it.
    auto* gate =
        static_cast<BuildingBaseEntity*>(Vision::Game.CreateEntity("BuildingBaseEntity", VisVector_cl(100, 0, 0)));
    gate->SetEntityKey("GateDestroyable");
    auto* walls = new DestructableBuildingComponent();
    walls->SetDropItems(0);
    ASSERT_TRUE(gate->AddComponent(walls));
    walls->SetHitPointsMax(1000000);
    walls->SetHitPoints(1000000);
    BaseEntity* shooter = static_cast<BaseEntity*>(Vision::Game.CreateEntity("BaseEntity", VisVector_cl(0, 0, 0)));
    shooter->SetNation(1);
    GameManager::GetInstance()->SetGameMode(c.mode);
    Think(Shell(VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0), PROJECTILE_BALL, shooter, c.damage));
    EXPECT_EQ(gate->IsAlive(), !c.breaks) << "no hit points survive the gate-breaking hit";
    EXPECT_EQ(walls->GetHitPoints(), c.breaks ? 0 : 1000000);
    EXPECT_EQ(gate->GetVisibleBitmask() == 0, c.breaks);
    gate->Remove();
    shooter->Remove();
    Vision::Game.FreeRemovedEntities();
  }
}

// ---- who fires them ----------------------------------------------------------------------------

TEST_F(AreaEffectProjectileTest, AnAreaEffectWeaponFiresAnArmedShellHitOrMiss) {
  SoldierEntity* gunner = Soldier(1, VisVector_cl(0, 0, 0));
  SoldierEntity* enemy = Soldier(2, VisVector_cl(0, 12, 0));
  Weapon mortar;
  mortar.m_bAreaEffect = true;
  mortar.m_iProjectileType = PROJECTILE_STINKBOMB;
  mortar.m_sTrailEffect = "particles\\cannon_trail.xml";
  mortar.m_sProjectileModel = "models\\props\\cannon_ball\\cannon_ball.MODEL";
  gunner->AddWeapon(mortar);
  gunner->SelectWeapon(0);
  gunner->FireProjectile(VisVector_cl(0, 0, 1), enemy);
  std::vector<AreaEffectProjectileEntity*> shells;
  for (VisBaseEntity_cl* e : Vision::Game.GetEntities())
    if (e && e->IsOfType(AreaEffectProjectileEntity::GetClassTypeId())) shells.push_back(static_cast<AreaEffectProjectileEntity*>(e));
  ASSERT_EQ(shells.size(), 1u);
  AreaEffectProjectileEntity* shell = shells[0];
  EXPECT_EQ(shell->GetProjectileType(), PROJECTILE_STINKBOMB);
  EXPECT_FLOAT_EQ(shell->GetSpeed(), 18.31f);
  EXPECT_FLOAT_EQ(shell->GetMaxHeight(), 9.0f);
  EXPECT_TRUE(shell->GetCastShadows());
  EXPECT_NE(shell->GetTrail(), nullptr);
  EXPECT_EQ(shell->GetShooter(), gunner);
  EXPECT_EQ(shell->GetTarget(), enemy->GetPosition());
  EXPECT_EQ(HitPoints(enemy), 100) << "the damage waits for the impact";
}

TEST_F(AreaEffectProjectileTest, TheRangedAttackLaunchesItsShellAtTheTarget) {
  SoldierEntity* gunner = Soldier(1, VisVector_cl(0, 0, 0));
  UnitEntity* enemies = EnemyUnit(2, {VisVector_cl(8, 0, 0)});
  SoldierEntity* enemy = enemies->GetSoldiers()[0];
  auto* ranged = ComponentSetup::AddNew<RangedAttackComponent>(gunner);
  ASSERT_NE(ranged, nullptr);
  ASSERT_TRUE(ranged->SetVariable("m_eProjectileType", "PROJECTILE_ROCKET"));
  ASSERT_TRUE(ranged->SetVariable("m_fSpeed", "12"));
  ASSERT_TRUE(ranged->SetVariable("m_fMaxHeight", "3"));
  ranged->SetAttackTargetUnit(enemies);
  ranged->SetAttackTarget(enemy);
  gunner->SetStateType(STATE_ATTACK);
  ranged->Update();
  AreaEffectProjectileEntity* shell = nullptr;
  for (VisBaseEntity_cl* e : Vision::Game.GetEntities())
    if (e && e->IsOfType(AreaEffectProjectileEntity::GetClassTypeId())) shell = static_cast<AreaEffectProjectileEntity*>(e);
  ASSERT_NE(shell, nullptr);
  EXPECT_EQ(shell->GetPosition(), VisVector_cl(0, 0, 1));
  EXPECT_EQ(shell->GetProjectileType(), PROJECTILE_ROCKET);
  EXPECT_FLOAT_EQ(shell->GetSpeed(), 12.0f);
  EXPECT_FLOAT_EQ(shell->GetMaxHeight(), 3.0f);
  EXPECT_NE(shell->GetTrail(), nullptr) << "\\particles\\rocket_fire_01.xml";
  EXPECT_EQ(shell->GetShooter(), gunner);
  EXPECT_EQ(shell->GetTarget(), enemy->GetPosition());
}

}  // namespace
