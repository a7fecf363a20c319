// Ranged and rifle attacks: the projectile type property, range bonuses that never
// grow the stored range, shot timers, damage bounds, the rifle's hit roll, targets
// reported lost after the shot, and the ground attack outliving StopAttacking.
#include "code/entities/SoldierFixture.h"

#include "components/RangedAttackComponent.h"
#include "core/ComponentMessages.h"
#include "entities/HeroStats.h"
#include "entities/Skill.h"
#include "entities/UnitEntity.h"

#include "support/MessageRecorder.h"
#include "util/ComponentSetup.h"

#include "engine/base/VarTable.h"
#include "engine/sound/VSoundManager.h"

#include <gtest/gtest.h>

namespace {

const char* const kRangeSkill =
    "function GetSkillInfo() end\n"
    "function GetSkill(name, group)\n"
    "  return name, 'c', 't', 'i', '', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0\n"
    "end\n";

class RangedAttackComponentTest : public SoldierFixture {
 protected:
  UnitEntity* MakeUnit(int nation = 2) {
    auto* unit = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0)));
    unit->SetNation(nation);
    return unit;
  }
  template <class T>
  T* Armed(SoldierEntity* soldier, MessageRecorder** heard = nullptr) {
    auto* attack = ComponentSetup::AddNew<T>(soldier);
    auto* recorder = new MessageRecorder();
    soldier->AddComponent(recorder);
    if (heard) *heard = recorder;
    return attack;
  }
};

TEST_F(RangedAttackComponentTest, ProjectileTypesAreListedInNumericOrderWithTheirDefault) {
  RangedAttackComponent attack;
  EXPECT_EQ(attack.GetProjectileType(), PROJECTILE_BALL);
  VString value;
  ASSERT_TRUE(attack.GetVariableValue("m_eProjectileType", value));
  EXPECT_EQ(value, "PROJECTILE_BALL");
  const std::pair<const char*, ProjectileType> choices[] = {
      {"PROJECTILE_NONE", PROJECTILE_NONE},       {"PROJECTILE_CHAIN", PROJECTILE_CHAIN},
      {"PROJECTILE_ROCKET", PROJECTILE_ROCKET},   {"PROJECTILE_STINKBOMB", PROJECTILE_STINKBOMB},
      {"PROJECTILE_BALL", PROJECTILE_BALL},
  };
  for (const auto& [name, type] : choices) {
    ASSERT_TRUE(attack.SetVariable("m_eProjectileType", name)) << name;
    EXPECT_EQ(attack.GetProjectileType(), type) << name;
  }
}

TEST_F(RangedAttackComponentTest, TheLaunchEffectAndShotSoundComeFromTheGamesData) {
  Vision::File.AddDataDirectory(BRINEMARK_SOURCE_DIR "/data");
  VSoundManager::GlobalManager().SetInitialized(true);
  {
    RangedAttackComponent attack;
    EXPECT_NE(attack.GetLaunchEffectFile(), nullptr);
    EXPECT_NE(attack.GetShotSound(), nullptr);
  }
  VSoundManager::GlobalManager().SetInitialized(false);
}

// The effective range (range x (1 + bonuses)) is used but never stored.
TEST_F(RangedAttackComponentTest, RangeBonusesWidenTheCheckWithoutGrowingTheRange) {
  Write("scripts/Game.lua", kRangeSkill);
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  scripts->SetGameScript(scripts->CreateScriptInstanceFromFile("scripts/Game.lua"));
  UnitEntity* own = MakeUnit();
  HeroStats hero;
  hero.AddSkill("farsight");
  ASSERT_EQ(hero.GetSkillCount(), 1);
  hero.GetSkill(0).SetValue(Skill::RANGE_BONUS, 0.5f);
  own->SetHeroStats(&hero);
  UnitEntity* enemies = MakeUnit(3);
  SoldierEntity* enemy = MakeSoldier(VisVector_cl(13, 0, 0));
  enemies->AddSoldier(enemy);

  for (int kind = 0; kind < 2; ++kind) {
    SoldierEntity* owner = MakeSoldier();
    owner->SetParentUnit(own);
    MessageRecorder* heard = nullptr;
    AttackComponent* attack = kind == 0 ? (AttackComponent*)Armed<RangedAttackComponent>(owner, &heard)
                                        : (AttackComponent*)Armed<RifleAttackComponent>(owner, &heard);
    attack->SetRange(10.0f);
    attack->SetAttackTargetUnit(enemies);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(attack->CheckInRange()) << kind << ": 13 is within 10 x 1.5";
    EXPECT_EQ(attack->GetRange(), 10.0f) << kind;
    EXPECT_EQ(attack->GetAttackTarget(), enemy);
    EXPECT_EQ(heard->Count(VIS_MSG_USER_UNIT_TARGET_IN_RANGE), 3);
    enemy->SetPosition(VisVector_cl(15, 0, 0));
    EXPECT_FALSE(attack->CheckInRange()) << kind << ": 15 is not below 15";
    enemy->SetPosition(VisVector_cl(13, 0, 0));
  }
  own->SetHeroStats(nullptr);
}

// After each shot: 154 while the target unit has soldiers, 159 once it has none; a
// soldier target without a target unit is dropped at once.
TEST_F(RangedAttackComponentTest, ShotsReportTheTargetAliveOrLost) {
  for (int kind = 0; kind < 2; ++kind) {
    SoldierEntity* owner = MakeSoldier(VisVector_cl(0, 0, 0), true, false);
    MessageRecorder* heard = nullptr;
    AttackComponent* attack = kind == 0 ? (AttackComponent*)Armed<RangedAttackComponent>(owner, &heard)
                                        : (AttackComponent*)Armed<RifleAttackComponent>(owner, &heard);
    SoldierEntity* enemy = MakeSoldier(VisVector_cl(8, 0, 0));
    attack->SetAttackTarget(enemy);
    attack->Update();
    EXPECT_EQ(heard->Count(VIS_MSG_USER_UNIT_STOP), 1) << kind;
    EXPECT_EQ(attack->GetAttackTarget(), nullptr);
    EXPECT_TRUE(attack->IsReadyForTarget());

    UnitEntity* enemies = MakeUnit(3);
    enemies->AddSoldier(enemy);
    attack->SetAttackTargetUnit(enemies);
    attack->SetAttackTarget(enemy);
    owner->SetStateType(STATE_IDLE);
    attack->Update();
    EXPECT_EQ(attack->GetAttackTimer(), -kStep) << kind << ": the timer runs down outside the attack state";
    owner->SetStateType(STATE_ATTACK);
    heard->ids.clear();
    attack->Update();
    EXPECT_EQ(attack->GetAttackTimer(), 10.0f) << kind << ": without statistics";
    ASSERT_EQ(heard->ids.size(), 1u);
    EXPECT_EQ(heard->Count(VIS_MSG_USER_UNIT_NEW_TARGET), 1) << kind;
    EXPECT_EQ(heard->firstParameters.back(), (INT_PTR)(VisBaseEntity_cl*)enemies);
    EXPECT_TRUE(attack->IsReadyForTarget());

    enemies->RemoveSoldier(enemy);
    ASSERT_TRUE(enemies->GetSoldiers().empty());
    attack->SetAttackTarget(enemy);
    attack->SetNewTargetTimer(0.0f);
    for (int i = 0; i < 41; ++i) attack->Update();
    EXPECT_EQ(heard->Count(VIS_MSG_USER_UNIT_STOP), 1) << kind << ": lost after the shot";
  }
}

TEST_F(RangedAttackComponentTest, RifleNeverDealsItsMaximumWhileTheShellCan) {
  MathTools::SetUseFixedRandom(true);
  MathTools::SetTestRandReturnMax(true);
  UnitEntity* enemies = MakeUnit(3);
  SoldierEntity* enemy = MakeSoldier(VisVector_cl(8, 0, 0));
  enemies->AddSoldier(enemy);
  enemy->GetStats()->m_Hitpoints.SetArmor(0, 50);

  SoldierEntity* rifleman = MakeSoldier();
  CombatSkills& rifle = rifleman->GetStats()->m_CombatSkills;
  rifle.m_iRangedMinDamage = 2;
  rifle.m_iRangedMaxDamage = 3;
  rifle.m_iRangedHitChance = 100;
  auto* shot = Armed<RifleAttackComponent>(rifleman);
  EXPECT_EQ(shot->GetMuzzleEffectFile(), nullptr);
  shot->SetAttackTargetUnit(enemies);
  shot->SetAttackTarget(enemy);
  rifleman->SetStateType(STATE_ATTACK);
  shot->Update();
  EXPECT_EQ(enemy->GetStats()->m_Hitpoints.GetCurrent(), 98) << "the highest draw of 2..3 is 2";

  // A roll of 99 misses a rifleman without statistics (hit chance 50).
  SoldierEntity* raw = MakeSoldier(VisVector_cl(0, 1, 0), true, false);
  auto* rawShot = Armed<RifleAttackComponent>(raw);
  rawShot->SetAttackTargetUnit(enemies);
  rawShot->SetAttackTarget(enemy);
  raw->SetStateType(STATE_ATTACK);
  rawShot->Update();
  EXPECT_EQ(enemy->GetStats()->m_Hitpoints.GetCurrent(), 98);

  SoldierEntity* gunner = MakeSoldier(VisVector_cl(0, 2, 0));
  gunner->GetStats()->m_CombatSkills.m_iRangedMinDamage = 2;
  gunner->GetStats()->m_CombatSkills.m_iRangedMaxDamage = 3;
  auto* shell = Armed<RangedAttackComponent>(gunner);
  shell->SetAttackTargetUnit(enemies);
  shell->SetAttackTarget(enemy);
  gunner->SetStateType(STATE_ATTACK);
  shell->Update();
  EXPECT_EQ(shell->GetLastShotDamage(), 3) << "the shell includes its maximum";
  MathTools::SetTestRandReturnMax(false);
  shell->SetAttackTarget(enemy);
  shell->SetNewTargetTimer(0.0f);
  while (shell->GetAttackTimer() > 0.0f) shell->Update();
  shell->Update();
  EXPECT_EQ(shell->GetLastShotDamage(), 2);
}

TEST_F(RangedAttackComponentTest, AGroundAttackOutlivesStopAttacking) {
  SoldierEntity* owner = MakeSoldier(VisVector_cl(0, 0, 0), true, false);
  MessageRecorder* heard = nullptr;
  auto* attack = Armed<RangedAttackComponent>(owner, &heard);
  attack->SetRange(20.0f);
  attack->SetGroundAttackTarget(VisVector_cl(10, 0, 0));
  attack->StopAttacking();
  EXPECT_TRUE(attack->CheckInRange());
  owner->SetStateType(STATE_ATTACK);
  int shots = 0;
  float last = attack->GetAttackTimer();
  for (int i = 0; i < 100; ++i) {
    attack->Update();
    if (attack->GetAttackTimer() > last) ++shots;
    last = attack->GetAttackTimer();
  }
  EXPECT_EQ(shots, 3) << "every 10 s over 25 s, from the first frame";
  EXPECT_EQ(heard->Count(VIS_MSG_USER_UNIT_STOP) + heard->Count(VIS_MSG_USER_UNIT_NEW_TARGET), 0);
  EXPECT_TRUE(attack->IsReadyForTarget());

  RifleAttackComponent rifle;
  rifle.SetGroundAttackTarget(VisVector_cl(1, 0, 0));
  EXPECT_FALSE(rifle.CheckInRange()) << "rifles never shoot at the ground";
}

}  // namespace
