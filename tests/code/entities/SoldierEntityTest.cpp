// The soldier: hit points and damage, death, melee strength with the skill damage
// factor, weapons, the think function, messages and the saved block.
#include "SoldierFixture.h"

#include "components/CarryComponent.h"
#include "components/HealthBarComponent.h"
#include "core/GameManager.h"
#include "entities/FSM/DieState.h"
#include "entities/FSM/State_Attack.h"
#include "entities/CollectableEntity.h"
#include "entities/HeroStats.h"
#include "entities/SoldierEntityTemplate.h"
#include "entities/UnitEntity.h"

#include "support/ArchiveRoundTrip.h"
#include "support/LogCapture.h"
#include "util/ComponentSetup.h"

#include <gtest/gtest.h>

using namespace archive_test;

namespace {

class SoldierEntityTest : public SoldierFixture {
 protected:
  UnitEntity* MakeUnit(int nation = 2) {
    auto* unit = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0)));
    unit->SetNation(nation);
    return unit;
  }
  // Reads a global number of the soldier's script.
  static int ScriptInt(SoldierEntity* soldier, const char* name) {
    int v = -1;
    soldier->GetScriptValue(name, v);
    return v;
  }
};

// ---- hit points and death -------------------------------------------------------------------

TEST_F(SoldierEntityTest, ASoldierMadeWithoutStatisticsGetsAnUntrackedRecordAndCannotBeHurt) {
  UnitEntity* unit = MakeUnit();
  SoldierEntity* soldier = GameManager::GetInstance()->CreateSoldier(unit);
  ASSERT_NE(soldier, nullptr);
  ASSERT_NE(soldier->GetStats(), nullptr);
  EXPECT_EQ(soldier->GetStats()->m_Hitpoints.GetMaximum(), -1);
  EXPECT_EQ(GameSessionManager::GetInstance()->GetNPCCharacterCount(), 1) << "the campaign keeps its record";
  EXPECT_EQ(soldier->GetStats()->GetTemplate()->m_iUniqueID, soldier->GetUniqueID());
  EXPECT_NE(soldier->GetUniqueID(), 0);

  for (int hit : {40, 1000, 1000000}) soldier->ReduceHitPoints(hit, nullptr);
  EXPECT_TRUE(soldier->IsAlive());
  EXPECT_EQ(soldier->GetStats()->m_Hitpoints.GetCurrent(), -1) << "held at the untracked maximum";
  EXPECT_EQ(soldier->GetParentUnit(), unit);
  EXPECT_EQ(GameManager::GetInstance()->CreateSoldier(nullptr), nullptr);
}

TEST_F(SoldierEntityTest, DamageRules) {
  const char* kScript = "hits = 0\nfunction OnTakeHit(self, attacker) hits = hits + 1 end\n";
  struct Case {
    const char* what;
    int damage;
    int startHp;
    bool dead, god, unkillable;
    int hpAfter, scriptCalls;
    bool barShown;
  };
  const Case cases[] = {
      {"a hit", 30, 100, false, false, false, 70, 1, true},
      {"healing stops at the maximum", -50, 80, false, false, false, 100, 1, true},
      {"a dead soldier", 30, 100, true, false, false, 100, 0, false},
      {"no hit points left", 30, 0, false, false, false, 0, 0, false},
      {"god mode", 30, 100, false, true, false, 100, 1, true},
      {"unkillable", 30, 100, false, false, true, 100, 0, false},
  };
  for (const Case& c : cases) {
    SoldierEntity* soldier = MakeSoldier();
    GiveScript(soldier, kScript);
    soldier->GetStats()->m_Hitpoints.SetCurrent(c.startHp);
    if (c.dead) soldier->SetStateType(STATE_DEAD);
    soldier->SetGodMode(c.god);
    soldier->SetUnKillable(c.unkillable);
    soldier->ReduceHitPoints(c.damage, nullptr);
    EXPECT_EQ(soldier->GetStats()->m_Hitpoints.GetCurrent(), c.hpAfter) << c.what;
    EXPECT_EQ(ScriptInt(soldier, "hits"), c.scriptCalls) << c.what;
    HealthBarComponent* bar = soldier->Components<HealthBarComponent>();
    EXPECT_EQ(bar != nullptr, c.barShown) << c.what;
  }
  // Without a record nothing happens at all.
  SoldierEntity* bare = MakeSoldier(VisVector_cl(0, 0, 0), true, false);
  bare->ReduceHitPoints(30, nullptr);
  EXPECT_EQ(bare->Components<HealthBarComponent>(), nullptr);
}

TEST_F(SoldierEntityTest, ALethalHitKillsTheSoldierOnce) {
  LogCapture deaths;
  UnitEntity* unit = MakeUnit();
  SoldierEntity* soldier = MakeSoldier();
  soldier->CommonInit();
  unit->AddSoldier(soldier);
  soldier->SetParentUnit(unit);
  soldier->CreateStateMachine(STATE_IDLE);

  soldier->ReduceHitPoints(150, nullptr);
  EXPECT_EQ(deaths.Matching("SoldierEntity::KillSoldier() Dying.").size(), 1u);
  EXPECT_FALSE(soldier->IsAlive());
  EXPECT_EQ(soldier->GetStats()->m_Hitpoints.GetCurrent(), 0);
  EXPECT_EQ(soldier->GetParentUnit(), nullptr);
  EXPECT_EQ(Current(soldier), DieState::GetInstance()) << "message 160 through the global state";
  EXPECT_EQ(soldier->GetStateType(), STATE_DEAD);
  EXPECT_EQ(Playing(soldier), "Die") << "no ragdoll could be built";
  EXPECT_TRUE(unit->IsSoldierMarkedRemoved(soldier));
  unit->ThinkFunction();
  EXPECT_EQ(unit->GetNumSoldiers(), 0) << "the unit's next think takes it out";

  soldier->KillSoldier();
  soldier->ReduceHitPoints(10, nullptr);
  EXPECT_EQ(deaths.Matching("Dying.").size(), 1u);

  // A soldier without a state machine still dies.
  SoldierEntity* plain = MakeSoldier();
  plain->CommonInit();
  plain->KillSoldier();
  EXPECT_FALSE(plain->IsAlive());
  EXPECT_EQ(deaths.Matching("Dying.").size(), 2u);
}

// ---- melee strength ---------------------------------------------------------------------------------

// Skills come from the game script: "GetSkill" names a skill with its damage factor.
const char* const kFactorSkills =
    "function GetSkillInfo() end\n"
    "function GetSkill(name, group)\n"
    "  local factor = tonumber(string.sub(name, 7))\n"
    "  return name, 'c', 't', 'i', '', 0, 1, 0, 0, 0, 0, 0, factor, 0, 0, 0, 0, 0, 0, 0\n"
    "end\n";

TEST_F(SoldierEntityTest, MeleeStrengthRollsHitsAndSubtractsArmour) {
  SoldierEntity* attacker = MakeSoldier();
  SoldierEntity* victim = MakeSoldier(VisVector_cl(1, 0, 0));
  CombatSkills& skills = attacker->GetStats()->m_CombatSkills;
  skills.m_iMeleeMinDamage = 10;
  skills.m_iMeleeMaxDamage = 20;
  victim->GetStats()->m_Hitpoints.SetArmor(5, -1);
  MathTools::SetUseFixedRandom(true);

  skills.m_iMeleeHitChance = 60;
  EXPECT_EQ(attacker->CalculateAttackStrength(victim), 10 - 5) << "lowest roll hits, lowest damage";
  MathTools::SetTestRandReturnMax(true);
  EXPECT_EQ(attacker->CalculateAttackStrength(victim), 1) << "roll 99 misses a 60% blow";
  skills.m_iMeleeHitChance = 100;
  EXPECT_EQ(attacker->CalculateAttackStrength(victim), 20 - 5) << "roll 99 against 100%, highest damage";
  victim->GetStats()->m_Hitpoints.SetArmor(30, 50);
  EXPECT_EQ(attacker->CalculateAttackStrength(victim), 1) << "armour above the damage";
  skills.m_iMeleeHitChance = 0;
  MathTools::SetTestRandReturnMax(false);
  EXPECT_EQ(attacker->CalculateAttackStrength(victim), 1) << "a miss";
  EXPECT_EQ(attacker->CalculateAttackStrength(nullptr), 1);
}

TEST_F(SoldierEntityTest, ASoldierCarryingLootStrikesAtHalfDamageBeforeArmour) {
  SoldierEntity* attacker = MakeSoldier();
  SoldierEntity* victim = MakeSoldier(VisVector_cl(1, 0, 0));
  CombatSkills& skills = attacker->GetStats()->m_CombatSkills;
  skills.m_iMeleeMinDamage = 15;
  skills.m_iMeleeMaxDamage = 15;
  skills.m_iMeleeHitChance = 100;
  victim->GetStats()->m_Hitpoints.SetArmor(2, -1);
  MathTools::SetUseFixedRandom(true);
  auto* carry = ComponentSetup::AddNew<CarryComponent>(attacker);
  ASSERT_NE(carry, nullptr);
  EXPECT_EQ(attacker->CalculateAttackStrength(victim), 15 - 2) << "nothing carried";
  CollectableEntity* loot = new CollectableEntity();
  carry->SetCarryItem(loot);
  EXPECT_EQ(attacker->CalculateAttackStrength(victim), 15 / 2 - 2);
  carry->SetCarryItem(nullptr);
}

// The damage factors of the unit's skills are summed and scale both bounds once as a
// float; a sum of 0 or less counts as 1.
TEST_F(SoldierEntityTest, SkillDamageFactorsScaleTheDamageOnce) {
  Write("scripts/Game.lua", kFactorSkills);
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  scripts->SetGameScript(scripts->CreateScriptInstanceFromFile("scripts/Game.lua"));
  MathTools::SetUseFixedRandom(true);
  struct Case {
    std::vector<const char*> skills;
    int damage;
  };
  const Case cases[] = {
      {{}, 10},
      {{"factor0.5"}, 5},
      {{"factor0.5", "factor0.5"}, 10},
      {{"factor0.25", "factor0.5"}, 8},  // 10 x 0.75 = 7.5, rounded
      {{"factor2", "factor3"}, 50},
      {{"factor-2"}, 10},
  };
  for (const Case& c : cases) {
    UnitEntity* unit = MakeUnit();
    HeroStats hero;
    for (const char* name : c.skills) hero.AddSkill(name);
    ASSERT_EQ(hero.GetSkillCount(), (int)c.skills.size());
    unit->SetHeroStats(&hero);
    SoldierEntity* attacker = MakeSoldier();
    attacker->SetParentUnit(unit);
    attacker->GetStats()->m_CombatSkills.m_iMeleeMinDamage = 10;
    attacker->GetStats()->m_CombatSkills.m_iMeleeHitChance = 100;
    SoldierEntity* victim = MakeSoldier(VisVector_cl(1, 0, 0));
    victim->GetStats()->m_Hitpoints.SetArmor(0, -1);
    EXPECT_EQ(attacker->CalculateAttackStrength(victim), c.damage) << c.skills.size() << " skills";
    unit->SetHeroStats(nullptr);
    attacker->SetParentUnit(nullptr);
  }
}

// ---- weapons ------------------------------------------------------------------------------------------

TEST_F(SoldierEntityTest, WeaponSelection) {
  SoldierEntity* soldier = MakeSoldier();
  soldier->SelectRandomWeapon();
  EXPECT_EQ(soldier->GetSelectedWeapon(), -1) << "no weapons";
  Weapon cutlass, pistol;
  cutlass.m_iId = 1;
  pistol.m_iId = 3;
  soldier->AddWeapon(cutlass);
  soldier->SelectRandomWeapon();
  EXPECT_EQ(soldier->GetSelectedWeapon(), 0);
  soldier->AddWeapon(pistol);
  soldier->SelectWeapon(5);
  EXPECT_EQ(soldier->GetSelectedWeapon(), 0) << "beyond the list";
  soldier->SelectWeapon(1);
  EXPECT_EQ(soldier->GetSelectedWeapon(), 1);

  // Every draw picks the last weapon; while it cools down the 101st draw ends with weapon 0.
  MathTools::SetUseFixedRandom(true);
  MathTools::SetTestRandReturnMax(true);
  soldier->GetWeapon(1)->m_fCoolDownLeft = 0.5f;
  soldier->SelectRandomWeapon();
  EXPECT_EQ(soldier->GetSelectedWeapon(), 0);
  // Cool-downs run with the think function, clamped at 0, and stand still while paused.
  PauseManager::GetInstance()->SetGamePause(true);
  soldier->ThinkFunction();
  EXPECT_FLOAT_EQ(soldier->GetWeapon(1)->m_fCoolDownLeft, 0.5f);
  PauseManager::GetInstance()->SetGamePause(false);
  soldier->ThinkFunction();
  soldier->ThinkFunction();
  soldier->ThinkFunction();
  EXPECT_EQ(soldier->GetWeapon(1)->m_fCoolDownLeft, 0.0f);
  soldier->SelectRandomWeapon();
  EXPECT_EQ(soldier->GetSelectedWeapon(), 1);

  // Damage ranges follow the weapon set: the second set for weapon 1.
  CombatSkills& c = soldier->GetStats()->m_CombatSkills;
  c.m_iSecondMeleeMinDamage = 30;
  c.m_iSecondRangedMaxDamage = 40;
  EXPECT_EQ(soldier->GetMinAttackDamage(true), 30);
  EXPECT_EQ(soldier->GetMaxAttackDamage(false), 40);
  soldier->SelectWeapon(0);
  EXPECT_EQ(soldier->GetMinAttackDamage(true), c.m_iMeleeMinDamage);
}

TEST_F(SoldierEntityTest, AttackNeedsATargetAndASelectedWeapon) {
  SoldierEntity* soldier = MakeSoldier();
  SoldierEntity* enemy = MakeSoldier(VisVector_cl(0, 3, 0));
  GiveScript(soldier, "blows = 0\nfunction OnAttackHit(self, target, damage) blows = blows + 1 end\n");
  Weapon cutlass;
  cutlass.m_bMelee = true;
  cutlass.m_fCoolDown = 1.5f;
  soldier->AddWeapon(cutlass);
  soldier->Attack(enemy, 0);
  EXPECT_EQ(ScriptInt(soldier, "blows"), 0) << "weapon -1: nothing happens";
  soldier->SelectWeapon(0);
  soldier->Attack(nullptr, 0);
  soldier->Attack(enemy, 0);
  EXPECT_EQ(ScriptInt(soldier, "blows"), 1);
  EXPECT_EQ(soldier->GetWeapon(0)->m_fCoolDownLeft, 1.5f);
  // The soldier faces the target: its facing is its local -y axis.
  VisVector_cl facing = -soldier->GetRotationMatrix().GetColumn(1);
  EXPECT_TRUE(facing.IsEqual(VisVector_cl(0, 1, 0), 1e-4f));
}

TEST_F(SoldierEntityTest, APlayerHeroWhoAttacksEndsTheInvisibilityPotionOnly) {
  const int kInvisibilityPotion = 33, kGhostPotion = 32;
  SoldierEntity* soldier = MakeSoldier();
  SoldierEntity* enemy = MakeSoldier(VisVector_cl(0, 3, 0));
  Weapon cutlass;
  cutlass.m_bMelee = true;
  soldier->AddWeapon(cutlass);
  soldier->SelectWeapon(0);
  ArtifactManager* artifacts = ArtifactManager::GetInstance();
  artifacts->ActivatePotion(kInvisibilityPotion, 30.0f, 1.0f);
  soldier->Attack(enemy, 0);
  EXPECT_TRUE(artifacts->IsActive(kInvisibilityPotion)) << "not the player's hero";

  soldier->MarkAsPlayerHero(true);
  soldier->Attack(enemy, 0);
  EXPECT_FALSE(artifacts->IsActive(kInvisibilityPotion));
  EXPECT_FLOAT_EQ(artifacts->GetEffect(kInvisibilityPotion), 1.0f);
  artifacts->ActivatePotion(kGhostPotion, 30.0f, 0.5f);
  soldier->Attack(enemy, 0);
  EXPECT_TRUE(artifacts->IsActive(kGhostPotion)) << "other potions run on";
}

// ---- think ---------------------------------------------------------------------------------------------

TEST_F(SoldierEntityTest, AHeroSoldiersFirstThinkDropsTheActiveSkill) {
  Write("scripts/Game.lua", "function GetSkill(name, group) return name, 'c', 't', 'i', '', 0, 1 end\n");
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  scripts->SetGameScript(scripts->CreateScriptInstanceFromFile("scripts/Game.lua"));
  HeroStats hero;
  hero.AddSkill("active_skill");
  ASSERT_TRUE(hero.HasSkill("active_skill"));
  UnitEntity* unit = MakeUnit();
  unit->SetHeroStats(&hero);
  SoldierEntity* soldier = MakeSoldier();
  soldier->SetParentUnit(unit);
  soldier->ThinkFunction();
  EXPECT_FALSE(hero.HasSkill("active_skill"));
  EXPECT_EQ(soldier->GetActiveSkillDurationLeft(), 0.0f);
  soldier->SetParentUnit(nullptr);
  unit->SetHeroStats(nullptr);
}

// A physics object that only moves its owner.
class FakePhysics : public IVisPhysicsObject_cl {
 public:
  void SetPosition(const VisVector_cl& p) override { static_cast<VisObject3D_cl*>(GetOwner())->SetPosition(p); }
  VisVector_cl GetPosition() const override { return static_cast<VisObject3D_cl*>(GetOwner())->GetPosition(); }
  void SetRotation(const VisVector_cl&) override {}
  VisVector_cl GetRotation() const override { return VisVector_cl(0, 0, 0); }
  void SetRotationMatrix(const VisMatrix3x3_cl&) override {}
  VisMatrix3x3_cl GetRotationMatrix() const override { return VisMatrix3x3_cl(); }
  void SetVelocity(const VisVector_cl&) override {}
  VisVector_cl GetVelocity() const override { return VisVector_cl(0, 0, 0); }
  void IncMotionDelta(const VisVector_cl&) override {}
};

TEST_F(SoldierEntityTest, AFallingSoldierIsPutBackAboveTheSamePoint) {
  LogCapture log;
  SoldierEntity* soldier = MakeSoldier(VisVector_cl(7, -3, -100.5f));
  FakePhysics* physics = new FakePhysics();
  ASSERT_TRUE(soldier->AddComponent(physics));
  soldier->SetPhysicsObject(physics);
  soldier->ThinkFunction();
  EXPECT_TRUE(soldier->GetPosition() == VisVector_cl(7, -3, 100));
  EXPECT_TRUE(log.Contains("SoldierEntity::ThinkFunction() Saved from falling."));
  soldier->SetPhysicsObject(nullptr);
}

// ---- messages --------------------------------------------------------------------------------------------

TEST_F(SoldierEntityTest, AnimationEventsReachTheStatesTriggersDoNot) {
  SoldierEntity* soldier = MakeSoldier();
  soldier->LoadAnimation("no_such.anim");  // registers the event names
  GiveScript(soldier, "begun = 0\nfunction OnAttackBegin(self, second) begun = begun + 1 end\n");
  soldier->CreateStateMachine(STATE_IDLE);
  soldier->GetStateMachine()->SetCurrentState(State_Attack::GetInstance());
  const int attack = Vision::Animations.GetEventID("attack");
  ASSERT_NE(attack, 0);
  soldier->SendMsg(VIS_MSG_TRIGGER, attack, 0);
  EXPECT_EQ(ScriptInt(soldier, "begun"), 0);
  soldier->SendMsg(VIS_MSG_ANIMATION_EVENT, attack, 0);
  EXPECT_EQ(ScriptInt(soldier, "begun"), 1);

  // The weapon trail starts on "trail_start" and stops on "end", not on "trail_end".
  std::filesystem::create_directories(m_dir / "Particles");
  Write("Particles/trail.xml", "<particles><layer name=\"streak\" rate=\"10\" lifetime=\"0.3\"/></particles>");
  Weapon sword;
  sword.m_sTrailEffect = "Particles\\trail.xml";
  soldier->AddWeapon(sword);
  soldier->SelectWeapon(0);
  VisParticleGroupManager_cl& particles = VisParticleGroupManager_cl::GlobalManager();
  const int before = particles.GetEffectCount();
  soldier->HandleEvent(Vision::Animations.GetEventID("trail_start"));
  ASSERT_EQ(particles.GetEffectCount(), before + 1);
  VisParticleEffect_cl* trail = particles.GetEffect(before);
  soldier->HandleEvent(Vision::Animations.GetEventID("trail_end"));
  EXPECT_FALSE(trail->IsFinished());
  soldier->HandleEvent(Vision::Animations.GetEventID("end"));
  EXPECT_TRUE(trail->IsFinished());
}

// ---- saved block -------------------------------------------------------------------------------------------

TEST_F(SoldierEntityTest, SavedBlockRoundTripsAndReadsVersion2) {
  GameManager* gm = GameManager::GetInstance();
  Weapon club;
  club.m_iId = 2;
  club.m_fCoolDown = 1.6f;
  gm->AddWeapon(club);
  SoldierEntity* original = MakeSoldier();
  original->SetUniqueID(900);
  original->SetTargetPosition(VisVector_cl(3, 4, 5, 1));
  original->SetStateType(STATE_WALK);
  original->AddWeapon(gm->GetWeapon(2));
  SoldierEntity* fresh = MakeSoldier();
  ASSERT_TRUE(RoundTripSerialize(*original, *fresh));
  EXPECT_TRUE(fresh->GetTargetPosition() == VisVector_cl(3, 4, 5));
  EXPECT_EQ(fresh->GetStateType(), STATE_WALK);
  ASSERT_EQ(fresh->GetWeaponCount(), 1);
  EXPECT_EQ(fresh->GetWeapon(0)->m_fCoolDown, 1.6f);
  EXPECT_EQ(gm->GetNextUniqueID(), 901);

  // Version 2: target and state, no weapons.
  Bytes base = SaveBytes([&](VArchive& ar) { original->BaseEntity::Serialize(ar); });
  ByteWriter v2;
  for (uint8_t b : base) v2.U8(b);
  v2.Str("ARCH").U8(2).F32(9).F32(8).F32(7).F32(1).I32(STATE_ATTACK).Str("EOA");
  SoldierEntity* old = MakeSoldier();
  ASSERT_TRUE(LoadBytes(v2, [&](VArchive& ar) { old->Serialize(ar); }));
  EXPECT_TRUE(old->GetTargetPosition() == VisVector_cl(9, 8, 7));
  EXPECT_EQ(old->GetStateType(), STATE_ATTACK);
  EXPECT_EQ(old->GetWeaponCount(), 0);

  // A state number the game does not know reads as no state.
  ByteWriter odd;
  for (uint8_t b : base) odd.U8(b);
  odd.Str("ARCH").U8(2).F32(0).F32(0).F32(0).F32(1).I32(-33554432).Str("EOA");
  SoldierEntity* damaged = MakeSoldier();
  damaged->SetStateType(STATE_WALK);
  ASSERT_TRUE(LoadBytes(odd, [&](VArchive& ar) { damaged->Serialize(ar); }));
  EXPECT_EQ(damaged->GetStateType(), STATE_NONE);
}

TEST_F(SoldierEntityTest, TemplatesCarryTheSoldierAndMakeItAgain) {
  GameManager* gm = GameManager::GetInstance();
  Weapon pistol;
  pistol.m_iId = 3;
  gm->AddWeapon(pistol);
  SoldierEntity* soldier = MakeSoldier(VisVector_cl(4, 5, 0));
  soldier->SetNation(3);
  soldier->SetEntityKey("Gunner");
  soldier->AddWeapon(gm->GetWeapon(3));
  SoldierEntityTemplate templ;
  soldier->SaveToTemplate(&templ);
  EXPECT_NE(templ.m_iUniqueID, 0) << "a soldier without an id takes one";
  EXPECT_EQ(templ.m_iUniqueID, soldier->GetUniqueID());
  EXPECT_EQ(templ.m_sKey, "Gunner");
  EXPECT_EQ(templ.m_weaponIds, std::vector<int>{3});
  EXPECT_EQ(templ.m_iNation, 3);

  VisBaseEntity_cl* copy = Vision::Game.CreateEntity(templ);
  ASSERT_NE(copy, nullptr);
  ASSERT_TRUE(copy->IsOfType(SoldierEntity::GetClassTypeId()));
  SoldierEntity* made = static_cast<SoldierEntity*>(copy);
  EXPECT_EQ(made->GetNation(), 3);
  EXPECT_EQ(made->GetWeaponCount(), 1);
  EXPECT_TRUE(made->GetPosition() == VisVector_cl(4, 5, 0));

  // Saved again, the soldier made from the template gives the same template back.
  SoldierEntityTemplate again;
  made->SaveToTemplate(&again);
  EXPECT_EQ(again.m_iUniqueID, templ.m_iUniqueID);
  EXPECT_EQ(again.m_iNation, templ.m_iNation);
  EXPECT_EQ(again.m_weaponIds, templ.m_weaponIds);
  EXPECT_EQ(again.m_sKey, templ.m_sKey);
  // (The fixture's model exists only in memory, so the copy has none to name.)
  EXPECT_EQ(again.m_sEntityParams, templ.m_sEntityParams);
  EXPECT_EQ(again.m_sClassName, templ.m_sClassName);
  EXPECT_TRUE(again.m_vPosition == templ.m_vPosition);
  EXPECT_TRUE(again.m_vOrientation == templ.m_vOrientation);
}

}  // namespace
