// The campaign's statistics records: their saved blocks (round trips, old versions
// from hand-made bytes, damaged counts and strings), the levels of heroes and of the
// player with their different thresholds, skills every third level, and the player's
// level-up increase counted once.
#include "entities/CombatSkills.h"
#include "entities/HeroSkills.h"
#include "entities/HeroStats.h"
#include "entities/HeroUnitRecord.h"
#include "entities/NPCStats.h"
#include "entities/PlayerStats.h"
#include "entities/ShipStats.h"
#include "entities/Skill.h"
#include "entities/SoldierEntityTemplate.h"
#include "entities/SoldierStats.h"
#include "entities/StatsIncrease.h"
#include "entities/UnitEntity.h"
#include "entities/UnitEntityTemplate.h"

#include "Managers/AchievementManager.h"
#include "Managers/GameSessionManager.h"
#include "core/GameManager.h"

#include "support/ArchiveRoundTrip.h"
#include "support/ScriptBindingFixture.h"

#include <gtest/gtest.h>

using namespace archive_test;

namespace {

template <class T>
::testing::AssertionResult RoundTripX(T& original, T& fresh, Bytes* written = nullptr) {
  auto io = [](T& obj, VArchive& ar) { obj.SerializeX(ar); };
  return RoundTrip(original, fresh, io, io, written);
}

class StatsTest : public ScriptBindingFixture {
 protected:
  void TearDown() override {
    GameSessionManager::CleanInstance();
    ScriptBindingFixture::TearDown();
  }

  // Makes the file the game script and starts a fresh campaign manager (which reads
  // the level table from it).
  void UseGameScript(const std::string& code) {
    Write("scripts/Game.lua", code);
    VScriptResourceManager* scripts = Vision::GetScriptManager();
    IVScriptInstance* game = scripts->CreateScriptInstanceFromFile("scripts/Game.lua");
    ASSERT_NE(game, nullptr);
    scripts->SetGameScript(game);
    GameSessionManager::CleanInstance();
    GameSessionManager::GetInstance();
  }
};

// ---- game scripts ---------------------------------------------------------------------------

const char* const kThreeLevels =
    "local t = {1000, 2000, 3000}\n"
    "function GetLevelCount(self) return #t - 1 end\n"
    "function GetLevelExp(level) return t[level + 1] end\n";

const char* const kSkillsAndLevels =
    "local t = {0, 10, 20, 30, 40, 50, 60, 70}\n"
    "function GetLevelCount(self) return #t - 1 end\n"
    "function GetLevelExp(level) return t[level + 1] end\n"
    "local skills = {\n"
    "  {'Secret', 1}, {'Brawler', 0}, {'Marksman', 0},\n"
    "}\n"
    "local function describe(s)\n"
    "  return s[1], 'cap_' .. s[1], 'third', 'img', 'fx.xml', 1, s[2],\n"
    "         1, 2, 3, 4, 5, 1.5, 8, 9, 10, 11, 12, 6, 7\n"
    "end\n"
    "function GetSkillCount(group) return #skills end\n"
    "function GetSkillAt(i, group) return describe(skills[i]) end\n"
    "function GetSkill(name, group)\n"
    "  for _, s in ipairs(skills) do if s[1] == name then return describe(s) end end\n"
    "  return 'None'\n"
    "end\n"
    "function GetSoldierLevelUpStatsIncrease(character)\n"
    "  return 1, 2, 0, 0, 1, 1, 0, 0, 3, 3, 25, 0.1\n"
    "end\n";

// ---- saved blocks -----------------------------------------------------------------------

TEST_F(StatsTest, CombatSkillsKeepEveryFieldAndReadOlderVersionsFieldByField) {
  CombatSkills original;
  original.m_iBaseValue = 90;
  original.m_iMeleeHitChance = 61;
  original.m_iMeleeMaxDamage = 12;
  original.m_iMeleeMinDamage = 4;
  original.m_iRangedHitChance = 33;
  original.m_iRangedMaxDamage = 15;
  original.m_iRangedMinDamage = 6;
  original.m_fAttackIntervalMax = 3.5f;
  original.m_fAttackIntervalMin = 1.25f;
  original.m_iExperienceValue = 42;
  original.m_fViewRange = 17.5f;
  original.m_iSecondMeleeMinDamage = 1;
  original.m_iSecondMeleeMaxDamage = 2;
  original.m_iSecondRangedMinDamage = 3;
  original.m_iSecondRangedMaxDamage = 4;
  CombatSkills fresh;
  ASSERT_TRUE(RoundTripX(original, fresh));
  // The ranged maximum and the second weapon's damages no longer revert on load.
  EXPECT_EQ(fresh.m_iRangedMaxDamage, 15);
  EXPECT_EQ(fresh.m_iSecondRangedMaxDamage, 4);

  // Version 4: fields 8, 9, 2, 3, 1, 4, 7, 10, 11, 5; the rest keep what they held.
  Bytes v4 = ByteWriter().Str("ARCH").U8(4).F32(5.0f).F32(2.5f).I32(70).I32(11).I32(99).I32(3).I32(5).I32(20)
                 .F32(8.0f).I32(45).Str("EOA");
  CombatSkills old;
  old.m_iRangedMaxDamage = 13;
  old.m_iSecondMeleeMaxDamage = 9;
  ASSERT_TRUE(LoadBytes(v4, [&](VArchive& ar) { old.SerializeX(ar); }));
  EXPECT_EQ(old.m_fAttackIntervalMax, 5.0f);
  EXPECT_EQ(old.m_fAttackIntervalMin, 2.5f);
  EXPECT_EQ(old.m_iMeleeHitChance, 70);
  EXPECT_EQ(old.m_iMeleeMaxDamage, 11);
  EXPECT_EQ(old.m_iBaseValue, 99);
  EXPECT_EQ(old.m_iMeleeMinDamage, 3);
  EXPECT_EQ(old.m_iRangedMinDamage, 5);
  EXPECT_EQ(old.m_iExperienceValue, 20);
  EXPECT_EQ(old.m_fViewRange, 8.0f);
  EXPECT_EQ(old.m_iRangedHitChance, 45);
  EXPECT_EQ(old.m_iRangedMaxDamage, 13);
  EXPECT_EQ(old.m_iSecondMeleeMaxDamage, 9);

  // Version 2 drops a leading float and has no ranged hit chance; version 1 carries nothing.
  Bytes v2 = ByteWriter().Str("ARCH").U8(2).F32(123.0f).F32(6.0f).F32(1.0f).I32(55).I32(8).I32(100).I32(2)
                 .I32(2).I32(10).F32(10.0f).Str("EOA");
  CombatSkills older;
  ASSERT_TRUE(LoadBytes(v2, [&](VArchive& ar) { older.SerializeX(ar); }));
  EXPECT_EQ(older.m_fAttackIntervalMax, 6.0f);
  EXPECT_EQ(older.m_iMeleeHitChance, 55);
  EXPECT_EQ(older.m_iRangedHitChance, 50);
  Bytes v1 = ByteWriter().Str("ARCH").U8(1).Str("EOA");
  CombatSkills oldest;
  ASSERT_TRUE(LoadBytes(v1, [&](VArchive& ar) { oldest.SerializeX(ar); }));
  EXPECT_EQ(oldest.m_iMeleeMaxDamage, 7);
}

TEST_F(StatsTest, SmallRecordsRoundTrip) {
  StatsIncrease inc;
  inc.m_iMeleeMinDamage = 1;
  inc.m_iSecondRangedMaxDamage = 8;
  inc.m_iHitPoints = 25;
  inc.m_fSpeed = 0.5f;
  StatsIncrease incCopy;
  EXPECT_TRUE(RoundTripX(inc, incCopy));
  EXPECT_EQ(incCopy.m_iSecondRangedMaxDamage, 8);
  EXPECT_EQ(incCopy.m_fSpeed, 0.5f);

  HeroSkills skills;
  skills.m_iExperience = 1234;
  skills.m_iLevel = 4;
  skills.m_iFirstLimit = 7;
  HeroSkills skillsCopy;
  Bytes written;
  EXPECT_TRUE(RoundTripX(skills, skillsCopy, &written));
  EXPECT_EQ(written, ByteWriter().Str("ARCH").U8(2).I32(1234).I32(4).I32(7).I32(15).Str("EOA").Get());

  Skill skill;
  skill.m_sName = "Cutthroat";
  skill.m_sFifthText = "Particles\\skill.xml";
  skill.m_bHeroSkill = true;
  skill.m_bExcludedFromLearning = false;
  for (int n = 1; n <= Skill::VALUE_COUNT; ++n) skill.SetValue(n, n * 0.5f);
  Skill skillCopy;
  EXPECT_TRUE(RoundTripX(skill, skillCopy));
  EXPECT_EQ(skillCopy.GetValue(Skill::DAMAGE_FACTOR), 6.5f);
  EXPECT_TRUE(skillCopy.m_bHeroSkill);
  EXPECT_TRUE(skillCopy.m_sFifthText.IsEmpty()) << "the fifth text is not saved";

  NPCStats npc;
  npc.m_Hitpoints.SetMaximum(300);
  npc.m_CombatSkills.m_iMeleeMaxDamage = 21;
  NPCStats npcCopy;
  EXPECT_TRUE(RoundTripX(npc, npcCopy));
  EXPECT_EQ(npcCopy.m_CombatSkills.m_iMeleeMaxDamage, 21);
}

TEST_F(StatsTest, SoldierRecordAndTemplateRoundTripAndRaiseTheIdCounter) {
  SoldierStats original;
  original.m_Hitpoints.SetMaximum(150);
  original.m_Hitpoints.SetCurrent(90);
  original.m_CombatSkills.m_iRangedMaxDamage = 11;
  SoldierEntityTemplate* t = original.GetTemplate();
  t->m_sModelFile = "Models\\soldier.model";
  t->m_sKey = "Gunner";
  t->m_sEntityParams = "m_sHeadBoneName=\"Bip01 Head\"";
  t->m_vPosition = VisVector_cl(1, 2, 3, 1);
  t->m_iNation = 3;
  t->m_iUniqueID = 5000;
  t->m_weaponIds = {1, 4};
  SoldierStats fresh;
  ASSERT_TRUE(RoundTripX(original, fresh));
  EXPECT_EQ(fresh.m_Hitpoints.GetCurrent(), 90);
  EXPECT_EQ(fresh.GetTemplate()->m_sKey, "Gunner");
  EXPECT_EQ(fresh.GetTemplate()->m_weaponIds, (std::vector<int>{1, 4}));
  EXPECT_TRUE(*fresh.GetTemplate() == *t);
  EXPECT_EQ(GameManager::GetInstance()->GetNextUniqueID(), 5001) << "loading id n raises the counter to n + 1";

  // A version 1 record keeps every default.
  SoldierStats old;
  ASSERT_TRUE(LoadBytes(ByteWriter().Str("ARCH").U8(1).Str("EOA"), [&](VArchive& ar) { old.SerializeX(ar); }));
  EXPECT_EQ(old.m_Hitpoints.GetMaximum(), -1);
  EXPECT_EQ(old.m_CombatSkills.m_iMeleeHitChance, 50);

  // A version 2 template carries no weapons.
  Bytes v2 = ByteWriter().Str("ARCH").U8(2).U8(1).F32(4).F32(5).F32(6).F32(1).Str("m.model").Str("Archer").Str("")
                 .F32(90).F32(0).F32(0).F32(1).F32(1).F32(1).F32(1).F32(1).I32(2).I64(77).Str("EOA");
  SoldierEntityTemplate templ;
  templ.m_weaponIds = {9};
  ASSERT_TRUE(LoadBytes(v2, [&](VArchive& ar) { templ.SerializeX(ar); }));
  EXPECT_EQ(templ.m_sKey, "Archer");
  EXPECT_EQ(templ.m_iNation, 2);
  EXPECT_EQ(templ.m_iUniqueID, 77);
  EXPECT_EQ(templ.m_weaponIds, (std::vector<int>{9}));
}

// Counts and strings that cannot fit in what is left fail the block: nothing huge is
// reserved and the archive reports the failure.
TEST_F(StatsTest, DamagedCountsAndStringsFailTheBlock) {
  struct Case {
    const char* what;
    Bytes bytes;
  };
  const Case cases[] = {
      {"weapon count", ByteWriter().Str("ARCH").U8(3).U8(1).F32(0).F32(0).F32(0).F32(1).Str("").Str("").Str("")
                           .F32(0).F32(0).F32(0).F32(1).F32(1).F32(1).F32(1).F32(1).I32(0).I64(0).I32(0x7fffffff)},
      {"negative count", ByteWriter().Str("ARCH").U8(3).U8(1).F32(0).F32(0).F32(0).F32(1).Str("").Str("").Str("")
                             .F32(0).F32(0).F32(0).F32(1).F32(1).F32(1).F32(1).F32(1).I32(0).I64(0).I32(-4)},
      {"key beyond its limit", ByteWriter().Str("ARCH").U8(3).U8(1).F32(0).F32(0).F32(0).F32(1).Str("")
                                   .Str(std::string(SoldierEntityTemplate::MAX_NAME_LENGTH + 1, 'k'))},
  };
  for (const Case& c : cases) {
    SoldierEntityTemplate templ;
    ReadArchive ar(c.bytes);
    templ.SerializeX(*ar);
    EXPECT_FALSE(ar->IsOK()) << c.what;
    EXPECT_TRUE(templ.m_weaponIds.empty()) << c.what;
  }

  HeroStats hero;
  Bytes heroBlock = SaveBytes([&](VArchive& ar) { hero.SerializeX(ar); });
  // The unit count follows the hero-skills, template and soldier blocks: make it 4.
  Bytes tooMany = heroBlock;
  Bytes units = ByteWriter().I32(0).I32(0).Str("EOA");  // unit count, skill count, end
  ASSERT_TRUE(std::equal(units.begin(), units.end(), tooMany.end() - units.size()));
  size_t at = tooMany.size() - units.size();
  tooMany[at] = 4;
  HeroStats read;
  ReadArchive ar(tooMany);
  read.SerializeX(*ar);
  EXPECT_FALSE(ar->IsOK()) << "a hero leads at most three units";
  EXPECT_EQ(read.GetUnitRecordCount(), 0);
}

TEST_F(StatsTest, HeroAndPlayerRecordsRoundTrip) {
  UseGameScript(kSkillsAndLevels);
  PlayerStats player;
  player.GetHeroSkills().m_iExperience = 640;
  player.GetHeroSkills().m_iLevel = 3;
  player.GetSoldierStats()->m_Hitpoints.SetMaximum(400);
  player.GetCharacterTemplate()->m_iUnitType = 2;
  auto* record = new HeroUnitRecord();
  record->m_sTownName = "Port Sable";
  record->m_pTemplate->m_iUniqueID = 31;
  record->m_soldiers.push_back(new SoldierStats());
  record->m_soldiers.back()->m_CombatSkills.m_iMeleeMaxDamage = 19;
  ASSERT_TRUE(player.AddUnitRecord(record));
  player.AddSkill("Marksman");
  player.AddMoney(1500);
  player.UnlockUpgrade(2);
  player.UnlockWeapon(4);
  player.GetPlayerLevelUpStats()->m_iMeleeMinDamage = 3;
  player.ApplyLevelUpIncrease();

  PlayerStats fresh;
  ASSERT_TRUE(RoundTripX(player, fresh));
  EXPECT_EQ(fresh.GetLevel(), 3);
  EXPECT_EQ(fresh.GetMoney(), 1500);
  EXPECT_TRUE(fresh.IsUpgradeUnlocked(2));
  EXPECT_TRUE(fresh.IsWeaponUnlocked(4));
  ASSERT_EQ(fresh.GetUnitRecordCount(), 1);
  EXPECT_EQ(fresh.GetUnitRecord(0)->m_sTownName, "Port Sable");
  EXPECT_EQ(fresh.GetUnitRecord(0)->m_soldiers[0]->m_CombatSkills.m_iMeleeMaxDamage, 19);
  EXPECT_EQ(fresh.GetSkillGroup(), 2);
  EXPECT_EQ(fresh.GetAppliedIncrease().m_iMeleeMinDamage, 3);
  ASSERT_EQ(fresh.GetSkillCount(), 1);
  EXPECT_EQ(fresh.GetSkill(0).m_sName, "Marksman");
}

// A save from before the applied increase was kept: its record already holds the
// increase, so a soldier made from it gets nothing more.
TEST_F(StatsTest, PlayerBlocksOfVersion7TreatTheIncreaseAsApplied) {
  HeroStats hero;
  hero.GetSoldierStats()->m_CombatSkills.m_iMeleeMinDamage = 6;  // base 2 + the saved increase 4
  ByteWriter bytes;
  for (uint8_t b : SaveBytes([&](VArchive& ar) { hero.SerializeX(ar); })) bytes.U8(b);
  StatsIncrease inc;
  inc.m_iMeleeMinDamage = 4;
  bytes.Str("ARCH").U8(7).U32(250).I32(2).I32(0).I32(1).I32(1).I32(5).I32(1).Str("scripts\\Brig.lua").I32(0);
  for (uint8_t b : SaveBytes([&](VArchive& ar) { inc.SerializeX(ar); })) bytes.U8(b);
  bytes.Str("EOA");

  PlayerStats player;
  ASSERT_TRUE(LoadBytes(bytes, [&](VArchive& ar) { player.SerializeX(ar); }));
  EXPECT_EQ(player.GetMoney(), 250);
  EXPECT_EQ(player.GetSelectedHeroScriptId(), 2);
  EXPECT_EQ(player.GetPendingLevelUps(), 1);
  EXPECT_TRUE(player.IsUpgradeUnlocked(5));
  EXPECT_EQ(player.GetPlayerLevelUpStats()->m_iMeleeMinDamage, 4);
  player.ApplyLevelUpIncrease();
  EXPECT_EQ(player.GetSoldierStats()->m_CombatSkills.m_iMeleeMinDamage, 6);
}

// ---- levels -------------------------------------------------------------------------------

TEST_F(StatsTest, HeroesReachTheCurrentLevelsEntryThePlayerTheNextOnes) {
  UseGameScript(kThreeLevels);
  ASSERT_EQ(GameSessionManager::GetInstance()->GetLevelTable(), (std::vector<int>{1000, 2000, 3000}));
  EXPECT_EQ(GameSessionManager::GetInstance()->GetNextLevelExp(1), 3000);
  EXPECT_EQ(GameSessionManager::GetInstance()->GetNextLevelExp(2), -1);

  HeroStats hero;
  hero.GetHeroSkills().m_iExperience = 1400;
  hero.AddExperience(700);
  EXPECT_EQ(hero.GetExperience(), 2100);
  EXPECT_EQ(hero.GetLevel(), 2);

  PlayerStats player;
  player.GetHeroSkills().m_iExperience = 1400;
  player.AddExperience(700);
  EXPECT_EQ(player.GetLevel(), 1) << "2100 is below 3000, the entry of level 2";

  // Neither goes past the last level of the table.
  hero.AddExperience(1000000);
  player.AddExperience(1000000);
  EXPECT_EQ(hero.GetLevel(), 2);
  EXPECT_EQ(player.GetLevel(), 2);
}

TEST_F(StatsTest, EveryThirdLevelGivesAHeroASkillAndThePlayerAPendingLevelUp) {
  UseGameScript(kSkillsAndLevels);
  HeroStats hero;
  hero.AddExperience(35);
  EXPECT_EQ(hero.GetLevel(), 4);
  ASSERT_EQ(hero.GetSkillCount(), 1) << "one skill at level 3";
  const Skill& skill = hero.GetSkill(0);
  EXPECT_EQ(skill.m_sName, "Brawler") << "the first skill the hero lacks and may learn";
  EXPECT_EQ(skill.m_sSecondText, "cap_Brawler");
  EXPECT_TRUE(skill.m_bHeroSkill);
  EXPECT_EQ(skill.GetValue(5), 5.0f);
  EXPECT_EQ(skill.GetValue(Skill::DAMAGE_FACTOR), 1.5f);
  EXPECT_EQ(skill.GetValue(Skill::DEFENCE_VALUE), 8.0f);
  EXPECT_EQ(skill.GetValue(Skill::ACTIVE_SKILL_COOLDOWN), 12.0f);
  EXPECT_EQ(skill.GetValue(6), 6.0f);
  hero.AddExperience(30);  // level 7: the next learnable one
  ASSERT_EQ(hero.GetSkillCount(), 2);
  EXPECT_EQ(hero.GetSkill(1).m_sName, "Marksman");

  PlayerStats player;
  player.AddExperience(35);
  EXPECT_EQ(player.GetLevel(), 3);
  EXPECT_EQ(player.GetPendingLevelUps(), 1);
  EXPECT_TRUE(player.IsLevelUp());
  player.SetLevelUp();
  EXPECT_FALSE(player.IsLevelUp());
}

// The increase of all levels is added to the player's soldier record once: not again
// at every level (compounding), nor when the soldier is made anew.
TEST_F(StatsTest, TheLevelUpIncreaseCountsOnce) {
  UseGameScript(kSkillsAndLevels);
  PlayerStats player;
  SoldierStats* record = player.GetSoldierStats();
  record->m_Hitpoints.SetMaximum(100);
  record->m_Hitpoints.SetCurrent(100);
  player.AddExperience(35);  // three levels
  EXPECT_EQ(player.GetPlayerLevelUpStats()->m_iMeleeMinDamage, 3);
  EXPECT_EQ(record->m_CombatSkills.m_iMeleeMinDamage, 2 + 3);
  EXPECT_EQ(record->m_CombatSkills.m_iMeleeMaxDamage, 7 + 6);
  EXPECT_EQ(record->m_CombatSkills.m_iMeleeHitChance, 50 + 9);
  EXPECT_EQ(record->m_Hitpoints.GetMaximum(), 175);
  EXPECT_EQ(record->m_Hitpoints.GetCurrent(), 175);

  // The soldier is made again (a new scene, a respawn): nothing more is added.
  player.ApplyLevelUpIncrease();
  player.ApplyLevelUpIncrease();
  EXPECT_EQ(record->m_CombatSkills.m_iMeleeMinDamage, 5);
  EXPECT_EQ(record->m_Hitpoints.GetMaximum(), 175);

  // Saved and loaded, the record and the applied part travel together.
  PlayerStats loaded;
  ASSERT_TRUE(RoundTripX(player, loaded));
  loaded.ApplyLevelUpIncrease();
  EXPECT_EQ(loaded.GetSoldierStats()->m_CombatSkills.m_iMeleeMinDamage, 5);
}

TEST_F(StatsTest, SoldierStatsComeFromTheGameScript) {
  UseGameScript("function GetSoldierStats(t) return 120 + t, 4, 9, 3, 7, 65, 40, 3.5 end\n");
  SoldierStats* stats = GameSessionManager::GetInstance()->GetSoldierStats(15);
  EXPECT_EQ(stats->m_Hitpoints.GetMaximum(), 135);
  EXPECT_EQ(stats->m_CombatSkills.m_iMeleeMinDamage, 4);
  EXPECT_EQ(stats->m_CombatSkills.m_iMeleeMaxDamage, 9);
  EXPECT_EQ(stats->m_CombatSkills.m_iRangedMinDamage, 3);
  EXPECT_EQ(stats->m_CombatSkills.m_iRangedMaxDamage, 7);
  EXPECT_EQ(stats->m_CombatSkills.m_iMeleeHitChance, 65);
  EXPECT_EQ(stats->m_CombatSkills.m_iRangedHitChance, 40);
  EXPECT_FLOAT_EQ(stats->m_fSpeed, 3.5f);
  delete stats;
}

TEST_F(StatsTest, ScriptsReachTheHerosUnitsAndSkills) {
  UseGameScript(kSkillsAndLevels);
  HeroStats hero;
  auto* own = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(0, 0, 0)));
  own->SetUniqueID(70);
  hero.GetCharacterTemplate()->m_iUniqueID = 70;
  auto* troop = static_cast<UnitEntity*>(Vision::Game.CreateEntity("UnitEntity", VisVector_cl(5, 0, 0)));
  troop->SetUniqueID(71);
  for (int64_t id : {71, 72}) {
    auto* record = new HeroUnitRecord();
    record->m_pTemplate->m_iUniqueID = id;
    ASSERT_TRUE(hero.AddUnitRecord(record));
  }
  SetGlobalObject("hero", &hero);
  SetGlobalObject("own", own);
  SetGlobalObject("troop", troop);
  EXPECT_EQ(Number("hero:GetUnitCount()"), 3);
  EXPECT_TRUE(Bool("hero:GetUnit(0) == own"));
  EXPECT_TRUE(Bool("hero:GetUnit(1) == troop"));
  EXPECT_TRUE(Bool("hero:GetUnit(2) == nil")) << "not in the scene";
  EXPECT_TRUE(Bool("hero:GetUnit(3) == nil"));
  ASSERT_EQ(Run("hero:AddSkill('Brawler')"), "");
  EXPECT_TRUE(Bool("hero:HasSkill('Brawler')"));
  EXPECT_FALSE(Bool("hero:HasSkill('Marksman')"));
  EXPECT_NE(Run("hero.HasSkill(hero, 5)").find(ArgError(3, "HasSkill", "Expected const char *")), std::string::npos);
}

TEST_F(StatsTest, PlayerMoneyShipsAndUnlocks) {
  PlayerStats player;
  EXPECT_TRUE(player.CanUnlock(0)) << "no blueprints needed";
  EXPECT_FALSE(player.CanUnlock(1));
  player.AddMoney(100);
  EXPECT_TRUE(player.CanAfford(100));
  EXPECT_FALSE(player.CanAfford(101));
  for (int upgrade = 0; upgrade <= 5; ++upgrade) player.UnlockUpgrade(upgrade);
  EXPECT_TRUE(AchievementManager::GetInstance()->IsUnlocked(44));
  AchievementManager::CleanInstance();
}

TEST_F(StatsTest, ASoldShipIsPaidAndItsRecordFreed) {
  struct WatchedShip : ShipStats {
    explicit WatchedShip(bool* freed) : freed(freed) {}
    ~WatchedShip() override { *freed = true; }
    bool* freed;
  };
  PlayerStats player;
  bool freed = false;
  ShipStats* sold = new WatchedShip(&freed);
  sold->SetSellValue(70);
  player.AddPlayerShip(sold);
  EXPECT_TRUE(player.SellShip(sold));
  EXPECT_TRUE(freed);
  EXPECT_TRUE(player.GetPlayerShips().empty());
  EXPECT_EQ(player.GetMoney(), 70);

  ShipStats notTheirs;  // on the stack: deleting it would crash
  EXPECT_FALSE(player.SellShip(&notTheirs));
  EXPECT_FALSE(player.SellShip(nullptr));
}

}  // namespace
