// A small land battle to the end: two armies of swordsmen, grenadiers and riflemen on
// the built-in soldier states close in on the units they are sent at and fight until
// one side has nobody left. The dead fall as ragdolls, emptied units leave, and the
// same seed fights the same battle.
#include "components/AttackComponent.h"
#include "components/RagdollComponent.h"
#include "core/CallbackManager.h"
#include "core/GameManager.h"
#include "core/RtsManager.h"
#include "core/ScriptBindings.h"
#include "entities/FSM/DieState.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierStats.h"
#include "entities/UnitEntity.h"
#include "Managers/ArtifactManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/SaveGameManager.h"
#include "Managers/SoundManager.h"
#include "util/MathTools.h"

#include "support/LandBattleWorld.h"
#include "support/LogCapture.h"

#include "engine/Vision.h"
#include "engine/core/VisAnimManager.h"
#include "engine/core/VisParticleGroupManager.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

const float kDt = 1.0f / 30.0f;

struct UnitPlan {
  const char* key;
  int nation;
  const char* script;
  float x, y;
};

// Counts OnUnitRemoved per unit.
class RemovalCounter : public IVisCallbackHandler_cl {
 public:
  RemovalCounter() { GameManager::Callbacks.OnUnitRemoved.RegisterCallback(this); }
  ~RemovalCounter() override { GameManager::Callbacks.OnUnitRemoved.DeregisterCallback(this); }
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override {
    ++counts[static_cast<BaseEntityDataObject*>(data)->m_pEntity];
  }
  std::map<VisBaseEntity_cl*, int> counts;
};

// What the end of a battle looks like.
struct Outcome {
  int winner = 0;
  std::vector<std::string> survivors;  // unit key, soldier index, hit points
  bool operator==(const Outcome&) const = default;
};

class LandBattleTest : public ::testing::Test {
 protected:
  void SetUp() override { Start(4711u); }
  void TearDown() override { Stop(); }

  void Start(unsigned seed) {
    SoundManager::CleanInstance();  // the game script defines its sounds anew
    VSeedRandom(seed);
    MathTools::SetGaussianRandomState(seed);
    Vision::Timer.Reset();
    ASSERT_TRUE(m_world.Start(kDt));
    Vision::World.SetFlatTerrain(0.0f);
    GameManager::GetInstance()->SetLocation(1);
  }
  void Stop() {
    m_units.clear();
    m_soldiers.clear();
    m_gone.clear();
    m_nations.clear();
    m_world.Stop();
  }

  UnitEntity* MakeUnit(const UnitPlan& plan, int soldiers) {
    const std::string params = "m_iNation=\"" + std::to_string(plan.nation) + "\",m_iNumSoldiers=\"" +
                               std::to_string(soldiers) + "\",m_iUnitWidth=\"1\",m_sSoldierScriptFile=\"" +
                               plan.script + "\"";
    VisBaseEntity_cl* e =
        Vision::Game.CreateEntity("UnitEntity", VisVector_cl(plan.x, plan.y, 0), nullptr, params.c_str());
    e->SetEntityKey(plan.key);
    auto* unit = static_cast<UnitEntity*>(e);
    m_units.push_back(unit);
    m_nations[unit] = plan.nation;
    for (SoldierEntity* s : unit->GetSoldiers()) m_soldiers.push_back({s, plan.key, (int)m_soldiers.size()});
    return unit;
  }

  // The two armies: swordsmen, grenadiers and riflemen facing each other 30 apart.
  void MakeArmies(int perUnit) {
    const UnitPlan plans[] = {
        {"RedSwords", 1, "scripts\\LandUnits\\BattleMeleeSoldier.lua", -15, -4},
        {"RedGuns", 1, "scripts\\LandUnits\\BattleRifleSoldier.lua", -18, 4},
        {"RedShells", 1, "scripts\\LandUnits\\BattleRangedSoldier.lua", -20, 0},
        {"BlueSwords", 5, "scripts\\LandUnits\\BattleMeleeSoldier.lua", 15, 4},
        {"BlueGuns", 5, "scripts\\LandUnits\\BattleRifleSoldier.lua", 18, -4},
        {"BlueShells", 5, "scripts\\LandUnits\\BattleRangedSoldier.lua", 20, 0},
    };
    for (const UnitPlan& plan : plans) MakeUnit(plan, perUnit);
  }

  void Frame() { m_world.Frame(); }

  bool Alive(UnitEntity* unit) const {
    for (VisBaseEntity_cl* e : m_gone)
      if (e == unit) return false;
    return true;
  }
  int Standing(int nation) const {
    int n = 0;
    for (UnitEntity* unit : m_units)
      if (Alive(unit) && unit->GetNation() == nation) n += (int)unit->GetSoldiers().size();
    return n;
  }

  void Command() {
    LandBattleWorld::SendIdleUnitsAtNearestEnemy(m_units, [this](UnitEntity* unit) { return Alive(unit); });
  }

  // Fights until one side has nobody left (or the time runs out); the units that
  // fired OnUnitRemoved are gone from then on.
  Outcome Fight(float seconds, RemovalCounter& removals) {
    Frame();  // the soldiers' model comes in
    for (int f = 0; f < (int)(seconds / kDt); ++f) {
      if (f % 15 == 0) Command();
      Frame();
      for (auto& [unit, count] : removals.counts) m_gone.insert(unit);
      ObserveTheDead(f);
      if (Standing(1) == 0 || Standing(5) == 0) break;
    }
    Outcome out;
    out.winner = Standing(1) > 0 && Standing(5) == 0 ? 1 : Standing(5) > 0 && Standing(1) == 0 ? 5 : 0;
    for (const Fighter& f : m_soldiers)
      if (f.soldier->IsAlive())
        out.survivors.push_back(f.unit + "/" + std::to_string(f.index) + "/" +
                                std::to_string(f.soldier->GetStats()->m_Hitpoints.GetCurrent()));
    return out;
  }

  // Each dead soldier's ragdoll as it was first seen, and the frame it ended.
  void ObserveTheDead(int frame) {
    for (Fighter& f : m_soldiers) {
      if (f.soldier->IsAlive() || f.ragdollEnded >= 0) continue;
      auto* ragdoll = static_cast<RagdollComponent*>(f.soldier->GetComponentOfType(RagdollComponent::GetClassTypeId()));
      if (ragdoll && f.bodies < 0) {
        f.bodies = ragdoll->GetActorCount();
        f.joints = ragdoll->GetJointCount();
        f.diedAt = frame;
      } else if (!ragdoll && f.bodies >= 0) {
        f.ragdollEnded = frame;
      }
    }
  }

  struct Fighter {
    SoldierEntity* soldier;
    std::string unit;
    int index;
    int bodies = -1, joints = -1, diedAt = -1, ragdollEnded = -1;
  };

  LandBattleWorld m_world;
  std::vector<UnitEntity*> m_units;
  std::vector<Fighter> m_soldiers;
  std::set<VisBaseEntity_cl*> m_gone;  // left the scene: never touched again
  std::map<UnitEntity*, int> m_nations;
  int m_run = 0;
};

TEST_F(LandBattleTest, TwoArmiesFightToTheEnd) {
  Outcome first;
  std::vector<std::string> firstDeaths;
  for (int run = 0; run < 2; ++run) {
    if (run == 1) {
      Stop();
      Start(4711u);
    }
    LogCapture log;
    RemovalCounter removals;
    m_run = run;
    MakeArmies(3);
    const Outcome out = Fight(120.0f, removals);
    ASSERT_NE(out.winner, 0) << "a side is left standing";
    const int loser = out.winner == 1 ? 5 : 1;
    EXPECT_EQ(Standing(loser), 0);
    EXPECT_GT(Standing(out.winner), 0);

    // The dead: one log line each, and a ragdoll of 11 bodies and 10 joints.
    for (int f = 0; f < (int)(11.0f / kDt); ++f) {
      Frame();
      ObserveTheDead(100000 + f);
    }
    int dead = 0;
    for (const Fighter& f : m_soldiers) {
      if (f.soldier->IsAlive()) {
        // Nobody still aims at a unit that has left.
        AttackComponent* attack = f.soldier->GetAttackComponent();
        ASSERT_NE(attack, nullptr);
        EXPECT_EQ(m_gone.count((VisBaseEntity_cl*)attack->GetAttackTargetUnit()), 0u) << f.unit;
        continue;
      }
      ++dead;
      EXPECT_EQ(f.soldier->GetStateType(), STATE_DEAD) << f.unit << "/" << f.index;
      EXPECT_EQ(f.bodies, 11) << f.unit << "/" << f.index;
      EXPECT_EQ(f.joints, 10) << f.unit << "/" << f.index;
      // Asleep, or at the latest 10 s after the fall.
      EXPECT_GE(f.ragdollEnded, 0) << f.unit << "/" << f.index;
    }
    EXPECT_GT(dead, 0);
    EXPECT_EQ((int)log.Matching("SoldierEntity::KillSoldier() Dying.").size(), dead);

    // Every emptied unit said so once; the others not at all.
    for (UnitEntity* unit : m_units) {
      const bool emptied = m_nations[unit] == loser || m_gone.count(unit);
      EXPECT_EQ(removals.counts[unit], emptied ? 1 : 0) << (emptied ? "emptied" : "standing");
    }

    // The same seed fights the same battle.
    if (run == 0) first = out;
    else {
      EXPECT_EQ(out.winner, first.winner);
      EXPECT_EQ(out.survivors, first.survivors);
    }
    m_soldiers.clear();
    m_gone.clear();
    m_nations.clear();
  }
}

// One order is enough: swordsmen set on a unit (as a right click sets them) walk on
// from each fallen soldier to the next of that unit until none is left, with nobody
// to repeat the order.
TEST_F(LandBattleTest, SwordsmenSetOnAUnitOnceFightEachOfItsSoldiersInTurn) {
  UnitEntity* attackers = MakeUnit({"Attackers", 1, "scripts\\LandUnits\\BattleMeleeSoldier.lua", -8, 0}, 4);
  UnitEntity* targets = MakeUnit({"Targets", 5, "scripts\\LandUnits\\BattleMeleeSoldier.lua", 8, 0}, 3);
  RemovalCounter removals;
  Frame();
  attackers->SetTarget(targets);
  for (int f = 0; f < (int)(90.0f / kDt) && Standing(5) > 0 && Standing(1) > 0; ++f) {
    Frame();
    for (auto& [unit, count] : removals.counts) m_gone.insert(unit);
  }
  EXPECT_EQ(Standing(5), 0) << "every soldier of the unit has fallen";
  EXPECT_GT(Standing(1), 0);
  EXPECT_EQ(removals.counts[targets], 1);
}

// A grenadier's shell hurts every enemy within 5.0 of its impact, and no friend; an
// enemy it kills is flung away from the impact.
TEST_F(LandBattleTest, AShellHurtsEveryEnemyNearItsImpactAndFlingsTheKilled) {
  const char* shells = "scripts\\LandUnits\\BattleRangedSoldier.lua";
  const char* swords = "scripts\\LandUnits\\BattleMeleeSoldier.lua";
  UnitEntity* grenadier = MakeUnit({"Grenadier", 1, shells, 0, 0}, 1);
  UnitEntity* target = MakeUnit({"Target", 5, swords, 10, 0}, 1);
  struct Case {
    UnitPlan plan;
    int hitPoints;
    bool hurt;
  };
  const Case cases[] = {
      {{"Target", 5, swords, 10, 0}, 60, true},      // where the shell falls
      {{"Near", 5, swords, 10, 3}, 1, true},         // killed
      {{"Edge", 5, swords, 13.2f, -3.2f}, 60, true},  // 4.5 away
      {{"Far", 5, swords, 10, 6}, 60, false},        // 6 away
      {{"Friend", 1, swords, 10, -3}, 60, false},    // the shooter's own side
  };
  std::vector<SoldierEntity*> soldiers{target->GetSoldiers()[0]};
  for (size_t i = 1; i < std::size(cases); ++i) soldiers.push_back(MakeUnit(cases[i].plan, 1)->GetSoldiers()[0]);
  Frame();
  for (size_t i = 0; i < soldiers.size(); ++i) soldiers[i]->GetStats()->m_Hitpoints.SetCurrent(cases[i].hitPoints);

  grenadier->SetTarget(target);
  const VisVector_cl nearAt = soldiers[1]->GetPosition();
  int frames = 0;
  auto untouched = [&] {
    for (size_t i = 0; i < soldiers.size(); ++i)
      if (soldiers[i]->GetStats()->m_Hitpoints.GetCurrent() != cases[i].hitPoints) return false;
    return true;
  };
  while (untouched() && frames++ < (int)(5.0f / kDt)) Frame();
  ASSERT_FALSE(untouched()) << "the shell landed";
  for (size_t i = 0; i < soldiers.size(); ++i)
    EXPECT_EQ(soldiers[i]->GetStats()->m_Hitpoints.GetCurrent() < cases[i].hitPoints, cases[i].hurt)
        << cases[i].plan.key;
  SoldierEntity* killed = soldiers[1];
  EXPECT_FALSE(killed->IsAlive());
  auto* ragdoll = static_cast<RagdollComponent*>(killed->GetComponentOfType(RagdollComponent::GetClassTypeId()));
  ASSERT_NE(ragdoll, nullptr);
  EXPECT_EQ(ragdoll->GetActorCount(), 11);
  for (int f = 0; f < 10; ++f) Frame();
  // Away from the impact, which lies by the target.
  const VisVector_cl impact = soldiers[0]->GetPosition();
  EXPECT_GT(killed->GetPosition().GetDistance2D(impact), nearAt.GetDistance2D(impact) + 0.2f);
}

// The player's hero under the invisibility potion is seen again once he strikes.
TEST_F(LandBattleTest, TheInvisibleHeroIsSeenAgainOnceHeStrikes) {
  UnitEntity* heroUnit = MakeUnit({"Hero", 1, "scripts\\LandUnits\\CombatOrdersSoldier.lua", 0, 0}, 1);
  UnitEntity* enemy = MakeUnit({"Enemy", 5, "scripts\\LandUnits\\BattleMeleeSoldier.lua", 1.5f, 0}, 1);
  SoldierEntity* hero = heroUnit->GetSoldiers()[0];
  hero->MarkAsPlayerHero(true);
  Frame();
  ArtifactManager* artifacts = ArtifactManager::GetInstance();
  const int kInvisibility = 33;
  artifacts->ActivatePotion(kInvisibility, 60.0f, 1.0f);
  ASSERT_TRUE(artifacts->IsActive(kInvisibility));

  heroUnit->SetTarget(enemy);
  int hits = 0;
  for (int f = 0; f < (int)(3.0f / kDt) && hits == 0; ++f) {
    EXPECT_TRUE(artifacts->IsActive(kInvisibility)) << "still unseen before the blow";
    Frame();
    ASSERT_TRUE(hero->GetScriptValue("hits", hits));
  }
  ASSERT_EQ(hits, 1);
  EXPECT_FALSE(artifacts->IsActive(kInvisibility));
  EXPECT_EQ(artifacts->GetActivePotionId(), 0);
}

}  // namespace

// Swordsmen sent once at an idle unit all close in and strike, not only the first to
// arrive; each defender struck fights back, and the attackers pick the next defender
// as one falls, until one side has nobody left.
TEST_F(LandBattleTest, AnIdleUnitAttackedOnceIsFoughtToTheEnd) {
  const char* swords = "scripts\\LandUnits\\BattleMeleeSoldier.lua";
  UnitEntity* red = MakeUnit({"Red", 1, swords, -8, 0}, 4);
  UnitEntity* blue = MakeUnit({"Blue", 5, swords, 8, 0}, 4);
  RemovalCounter removals;
  Frame();  // the soldiers' model comes in
  red->SetTarget(blue);

  std::set<SoldierEntity*> fought;
  // By key: a unit whose soldiers have all fallen is gone.
  auto allFought = [&](const std::string& key) {
    for (const Fighter& f : m_soldiers)
      if (f.unit == key && !fought.count(f.soldier)) return false;
    return true;
  };
  int frames = 0;
  for (; frames < (int)(90.0f / kDt) && Standing(1) > 0 && Standing(5) > 0; ++frames) {
    Frame();
    for (auto& [unit, count] : removals.counts) m_gone.insert(unit);
    for (const Fighter& f : m_soldiers) {
      if (f.soldier->IsAlive() && f.soldier->GetStateType() == STATE_ATTACK) fought.insert(f.soldier);
    }
    if (frames == (int)(12.0f / kDt)) {
      EXPECT_TRUE(allFought("Red")) << "every attacker reached his target within 12 s";
    }
  }
  EXPECT_TRUE(Standing(1) == 0 || Standing(5) == 0) << "one side is gone within 90 s";
  EXPECT_TRUE(allFought("Red"));
  EXPECT_TRUE(allFought("Blue")) << "every defender was drawn into the fight";
}
