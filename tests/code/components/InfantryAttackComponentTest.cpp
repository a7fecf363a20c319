// Melee attacks: the blow's roll, damage, armour and skills, the strict range, the
// attack timer, dropping a dead target, and the saved block of every attack component.
#include "code/entities/SoldierFixture.h"

#include "components/CarryComponent.h"
#include "components/DestructableBuildingComponent.h"
#include "components/InfantryAttackComponent.h"
#include "components/InfantryMovementComponent.h"
#include "core/ComponentMessages.h"
#include "entities/CollectableEntity.h"
#include "entities/FSM/DieState.h"
#include "entities/HeroStats.h"
#include "entities/Skill.h"
#include "entities/UnitEntity.h"

#include "support/ArchiveRoundTrip.h"
#include "support/MessageRecorder.h"
#include "util/ComponentSetup.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace archive_test;

namespace {

// Skills from the game script: any name is a skill of the hero's troops with all values
// 0; the tests set the values they need.
const char* const kSkills =
    "function GetSkillInfo() end\n"
    "function GetSkill(name, group)\n"
    "  return name, 'c', 't', 'i', '', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0\n"
    "end\n";

class InfantryAttackComponentTest : public SoldierFixture {
 protected:
  UnitEntity* MakeUnit(int nation = 2) {
    auto* unit = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0)));
    unit->SetNation(nation);
    return unit;
  }
  void UseSkillScript() {
    Write("scripts/Game.lua", kSkills);
    VScriptResourceManager* scripts = Vision::GetScriptManager();
    scripts->SetGameScript(scripts->CreateScriptInstanceFromFile("scripts/Game.lua"));
  }
  // A soldier with a melee attack and a message recorder.
  InfantryAttackComponent* Armed(SoldierEntity* soldier, MessageRecorder** heard = nullptr) {
    auto* attack = ComponentSetup::AddNew<InfantryAttackComponent>(soldier);
    auto* recorder = new MessageRecorder();
    soldier->AddComponent(recorder);
    if (heard) *heard = recorder;
    return attack;
  }
  static int Lost(const SoldierEntity* s) { return 100 - s->GetStats()->m_Hitpoints.GetCurrent(); }
};

TEST_F(InfantryAttackComponentTest, BlowsRollHitAndSubtractArmour) {
  struct Case {
    const char* what;
    int lo, hi, hitChance, armour;
    bool carrying, testMax, attackerStats;
    int lost;
  };
  const Case cases[] = {
      {"lowest roll hits, lowest damage", 10, 20, 60, 5, false, false, true, 5},
      {"roll 99 misses a 60% blow", 10, 20, 60, 5, false, true, true, 0},
      {"roll 99 hits only at 100%", 10, 20, 100, 5, false, true, true, 15},
      {"armour above the damage still costs 1", 10, 20, 100, 30, false, false, true, 1},
      {"loot halves 7 to 3 before armour", 7, 7, 100, 1, true, false, true, 2},
      {"an attacker without statistics never hits", 6, 6, 100, 0, false, false, false, 0},
  };
  MathTools::SetUseFixedRandom(true);
  for (const Case& c : cases) {
    MathTools::SetTestRandReturnMax(c.testMax);
    SoldierEntity* attacker = MakeSoldier(VisVector_cl(0, 0, 0), true, c.attackerStats);
    SoldierEntity* defender = MakeSoldier(VisVector_cl(0.5f, 0, 0), true, true);
    if (c.attackerStats) {
      CombatSkills& skills = attacker->GetStats()->m_CombatSkills;
      skills.m_iMeleeMinDamage = c.lo;
      skills.m_iMeleeMaxDamage = c.hi;
      skills.m_iMeleeHitChance = c.hitChance;
    }
    defender->GetStats()->m_Hitpoints.SetArmor(c.armour, 50);
    if (c.carrying) ComponentSetup::AddNew<CarryComponent>(attacker)->SetCarryItem(new CollectableEntity());
    Armed(attacker)->CalculateAttackResult(attacker, defender);
    EXPECT_EQ(Lost(defender), c.lost) << c.what;
  }
  // A defender without statistics counts armour 0 (and has no hit points to lose).
  SoldierEntity* attacker = MakeSoldier();
  attacker->GetStats()->m_CombatSkills.m_iMeleeHitChance = 100;
  Armed(attacker)->CalculateAttackResult(attacker, MakeSoldier(VisVector_cl(0.5f, 0, 0), true, false));
}

// The summed damage factor of the applicable skills scales both bounds once, rounded;
// a sum of 0 or less counts as 1. Defence values add to the armour, truncated.
TEST_F(InfantryAttackComponentTest, SkillFactorsScaleOnceAndDefenceAddsToArmour) {
  UseSkillScript();
  MathTools::SetUseFixedRandom(true);
  struct Case {
    const char* what;
    std::vector<std::pair<int, float>> skills;  // one (value, amount) per skill
    int lost;
  };
  const int factor = Skill::DAMAGE_FACTOR, defence = Skill::DEFENCE_VALUE, melee = Skill::MELEE_DAMAGE_BONUS;
  const Case cases[] = {
      {"no skills", {}, 10},
      {"half", {{factor, 0.5f}}, 5},
      {"0.75 rounds 7.5 up", {{factor, 0.25f}, {factor, 0.5f}}, 8},
      {"two halves make one", {{factor, 0.5f}, {factor, 0.5f}}, 10},
      {"2 + 3 multiply once", {{factor, 2.0f}, {factor, 3.0f}}, 50},
      {"a negative sum counts as 1", {{factor, -2.0f}}, 10},
      {"defence sums, then truncates", {{defence, 1.5f}, {defence, 1.5f}}, 7},
      {"each melee bonus truncated", {{melee, 1.9f}, {melee, 1.9f}}, 12},
  };
  for (const Case& c : cases) {
    UnitEntity* unit = MakeUnit();
    HeroStats hero;
    for (size_t i = 0; i < c.skills.size(); ++i) {
      hero.AddSkill(("skill" + std::to_string(i)).c_str());
      ASSERT_EQ(hero.GetSkillCount(), (int)i + 1);
      hero.GetSkill((int)i).SetValue(c.skills[i].first, c.skills[i].second);
    }
    unit->SetHeroStats(&hero);
    SoldierEntity* attacker = MakeSoldier();
    attacker->SetParentUnit(unit);
    attacker->GetStats()->m_CombatSkills.m_iMeleeMinDamage = 10;
    attacker->GetStats()->m_CombatSkills.m_iMeleeMaxDamage = 10;
    attacker->GetStats()->m_CombatSkills.m_iMeleeHitChance = 100;
    SoldierEntity* defender = MakeSoldier(VisVector_cl(0.5f, 0, 0));
    defender->GetStats()->m_Hitpoints.SetArmor(0, 50);
    Armed(attacker)->CalculateAttackResult(attacker, defender);
    EXPECT_EQ(Lost(defender), c.lost) << c.what;
    unit->SetHeroStats(nullptr);
  }
}

TEST_F(InfantryAttackComponentTest, InRangeOnlyStrictlyWithinTheRange) {
  MessageRecorder* heard = nullptr;
  SoldierEntity* owner = MakeSoldier();
  auto* attack = Armed(owner, &heard);
  attack->SetRange(2.0f);
  EXPECT_FALSE(attack->CheckInRange()) << "no target, no unit";

  SoldierEntity* target = MakeSoldier(VisVector_cl(2, 0, 0));
  auto* targetHeard = new MessageRecorder();
  target->AddComponent(targetHeard);
  attack->SetAttackTarget(target);
  EXPECT_FALSE(attack->CheckInRange()) << "exactly at the range";
  EXPECT_TRUE(heard->ids.empty());
  target->SetPosition(VisVector_cl(1.9f, 0, 0));
  EXPECT_TRUE(attack->CheckInRange());
  EXPECT_EQ(targetHeard->Count(VIS_MSG_USER_UNIT_ATTACKED), 1);
  EXPECT_EQ(targetHeard->firstParameters.back(), (INT_PTR)owner);
  EXPECT_EQ(heard->Count(VIS_MSG_USER_UNIT_TARGET_IN_RANGE), 1);

  // Without a target the target unit's nearest soldier is taken.
  attack->StopAttacking();
  UnitEntity* enemies = MakeUnit(3);
  SoldierEntity* near = MakeSoldier(VisVector_cl(0, 1, 0));
  SoldierEntity* far = MakeSoldier(VisVector_cl(0, 5, 0));
  enemies->AddSoldier(far);
  enemies->AddSoldier(near);
  attack->SetAttackTargetUnit(enemies);
  EXPECT_TRUE(attack->CheckInRange());
  EXPECT_EQ(attack->GetAttackTarget(), near);
}

TEST_F(InfantryAttackComponentTest, FightTimesBlowsAndClosesIn) {
  MessageRecorder* heard = nullptr;
  SoldierEntity* owner = MakeSoldier(VisVector_cl(0, 0, 0), true, false);
  auto* attack = Armed(owner, &heard);
  attack->SetRange(1.5f);
  SoldierEntity* target = MakeSoldier(VisVector_cl(1.5f, 0, 0));
  attack->SetAttackTarget(target);

  owner->SetStateType(STATE_IDLE);
  attack->Update();
  EXPECT_EQ(attack->GetAttackTimer(), 0.0f) << "the timer stands still outside the attack state";

  owner->SetStateType(STATE_ATTACK);
  attack->Update();
  EXPECT_EQ(attack->GetAttackTimer(), 10.0f) << "without statistics";
  ASSERT_EQ(heard->Count(VIS_MSG_USER_UNIT_MOVE_CLOSER), 1) << "at the range in x and y: closer, no blow";
  EXPECT_EQ(heard->firstParameters.back(), (INT_PTR)&target->GetPosition());

  // Within range: once the timer has run out the target hears the blow.
  target->SetPosition(VisVector_cl(1.0f, 0, 3.0f));
  auto* targetHeard = new MessageRecorder();
  target->AddComponent(targetHeard);
  for (int i = 0; i < 40; ++i) attack->Update();
  EXPECT_EQ(targetHeard->Count(VIS_MSG_USER_UNIT_ATTACKED), 0) << "10 s not over yet";
  attack->Update();
  EXPECT_EQ(targetHeard->Count(VIS_MSG_USER_UNIT_ATTACKED), 1);
  EXPECT_EQ(heard->Count(VIS_MSG_USER_UNIT_MOVE_CLOSER), 1);
}

TEST_F(InfantryAttackComponentTest, ADeadTargetIsDroppedAndTheUnitAttackedAgain) {
  MessageRecorder* heard = nullptr;
  SoldierEntity* owner = MakeSoldier();
  auto* attack = Armed(owner, &heard);
  attack->Update();
  EXPECT_EQ(heard->Count(VIS_MSG_USER_UNIT_STOP), 1) << "no target";

  SoldierEntity* target = MakeSoldier(VisVector_cl(1, 0, 0));
  target->CreateStateMachine(STATE_IDLE);
  attack->SetAttackTarget(target);
  EXPECT_FALSE(attack->ShouldFindNewTarget());
  target->GetStateMachine()->SetCurrentState(DieState::GetInstance());
  EXPECT_TRUE(attack->ShouldFindNewTarget());
  heard->ids.clear();
  attack->Update();
  EXPECT_EQ(attack->GetAttackTarget(), nullptr);
  EXPECT_TRUE(attack->IsReadyForTarget());
  EXPECT_TRUE(heard->ids.empty()) << "no target unit: nothing sent";

  UnitEntity* enemies = MakeUnit(3);
  attack->SetAttackTarget(target);
  attack->SetAttackTargetUnit(enemies);
  attack->Update();
  ASSERT_EQ(heard->Count(VIS_MSG_USER_UNIT_NEW_TARGET), 1);
  EXPECT_EQ(heard->firstParameters.back(), (INT_PTR)(VisBaseEntity_cl*)enemies);
}

// Blows on a building: its own armour comes off before the 201 and once more in its
// handling; a fallen one ends the attack, and one that cannot fall is no target.
TEST_F(InfantryAttackComponentTest, BlowsOnABuildingPassItsArmourTwice) {
  MathTools::SetUseFixedRandom(true);
  MathTools::SetTestRandReturnMax(true);
  MessageRecorder* heard = nullptr;
  SoldierEntity* owner = MakeSoldier();
  owner->GetStats()->m_CombatSkills.m_iMeleeMinDamage = 3;
  owner->GetStats()->m_CombatSkills.m_iMeleeMaxDamage = 6;  // the test maximum deals 6
  auto* attack = Armed(owner, &heard);
  owner->SetStateType(STATE_ATTACK);
  auto* building = static_cast<VisBaseEntity_cl*>(Vision::Game.CreateEntity("BuildingBaseEntity", VisVector_cl(0.5f, 0, 0)));
  auto* buildingHeard = new MessageRecorder();
  building->AddComponent(buildingHeard);
  auto* hits = new DestructableBuildingComponent();
  ASSERT_TRUE(building->AddComponent(hits));
  hits->SetHitPointsMax(3);
  hits->SetHitPoints(3);
  hits->SetArmorValue(2);
  attack->SetAttackTarget(building);
  EXPECT_FALSE(attack->ShouldFindNewTarget()) << "standing";

  attack->Update();
  ASSERT_EQ(buildingHeard->Count(201), 1);
  EXPECT_EQ(hits->GetHitPoints(), 1) << "4 less its armour once more";
  EXPECT_EQ(heard->Count(VIS_MSG_USER_UNIT_STOP), 0);

  hits->SetArmorValue(20);
  for (int i = 0; i < 40 && buildingHeard->Count(201) < 2; ++i) attack->Update();
  ASSERT_EQ(buildingHeard->Count(201), 2);
  std::vector<INT_PTR> blows;
  for (size_t i = 0; i < buildingHeard->ids.size(); ++i)
    if (buildingHeard->ids[i] == 201) blows.push_back(buildingHeard->firstParameters[i]);
  EXPECT_EQ(blows, (std::vector<INT_PTR>{4, 1})) << "at least 1";
  EXPECT_EQ(hits->GetHitPoints(), 0);
  EXPECT_EQ(heard->Count(VIS_MSG_USER_UNIT_STOP), 1) << "fallen";
  EXPECT_TRUE(attack->ShouldFindNewTarget());

  // Without the destructible part no blow is struck and a new target is sought.
  auto* plain = static_cast<VisBaseEntity_cl*>(Vision::Game.CreateEntity("BuildingBaseEntity", VisVector_cl(0.5f, 0, 0)));
  auto* plainHeard = new MessageRecorder();
  plain->AddComponent(plainHeard);
  attack->StopAttacking();
  attack->SetAttackTarget(plain);
  EXPECT_TRUE(attack->ShouldFindNewTarget());
  attack->Update();
  EXPECT_EQ(plainHeard->Count(201), 0);
  EXPECT_EQ(attack->GetAttackTarget(), nullptr);
}

// Through the soldier's states: an order on a soldier within reach ends in blows.
TEST_F(InfantryAttackComponentTest, AnOrderedSoldierStrikesThroughItsStates) {
  MathTools::SetUseFixedRandom(true);
  SoldierEntity* attacker = MakeSoldier();
  attacker->GetStats()->m_CombatSkills.m_iMeleeHitChance = 100;
  auto* attack = Armed(attacker);
  attack->SetRange(1.5f);
  ComponentSetup::AddNew<InfantryMovementComponent>(attacker);
  attacker->CreateStateMachine(STATE_IDLE);
  SoldierEntity* defender = MakeSoldier(VisVector_cl(1, 0, 0));
  defender->GetStats()->m_Hitpoints.SetArmor(0, 50);
  attacker->SendMsg(VIS_MSG_USER_UNIT_ATTACK_ORDER, (INT_PTR)&defender->GetPosition(), (INT_PTR)defender);
  for (int i = 0; i < 40 && Lost(defender) == 0; ++i) Step(attacker);
  EXPECT_EQ(attacker->GetStateType(), STATE_ATTACK);
  EXPECT_EQ(Lost(defender), 2) << "the lowest melee damage of a default record";
}

TEST_F(InfantryAttackComponentTest, TheBlockKeepsTargetsRangeAndTimers) {
  SoldierEntity* owner = MakeSoldier();
  auto* attack = Armed(owner);
  SoldierEntity* target = MakeSoldier(VisVector_cl(1, 0, 0));
  UnitEntity* enemies = MakeUnit(3);
  attack->SetAttackTargetUnit(enemies);
  attack->SetAttackTarget(target);
  attack->SetRange(2.5f);
  attack->SetNewTargetTimer(0.4f);
  InfantryAttackComponent fresh;
  const Bytes bytes = SaveBytes([&](VArchive& ar) { attack->Serialize(ar); });
  ASSERT_TRUE(LoadBytes(bytes, [&](VArchive& ar) { fresh.Serialize(ar); }));
  EXPECT_EQ(fresh.GetRange(), 2.5f);
  EXPECT_EQ(fresh.GetNewTargetTimer(), 0.4f);
  EXPECT_FALSE(fresh.IsReadyForTarget());
  ASSERT_NE(fresh.GetAttackTarget(), nullptr);
  EXPECT_TRUE(fresh.GetAttackTarget()->IsOfType(SoldierEntity::GetClassTypeId()));
  ASSERT_NE(fresh.GetAttackTargetUnit(), nullptr);

  // Without targets the block reads back byte for byte.
  InfantryAttackComponent idle, idleCopy;
  idle.SetRange(4.0f);
  ASSERT_TRUE(RoundTripSerialize<InfantryAttackComponent>(idle, idleCopy));
  EXPECT_EQ(idleCopy.GetRange(), 4.0f);
}

}  // namespace
