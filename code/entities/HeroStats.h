// The persistent record of a hero: experience and level, the hero's own unit and
// soldier, the units the hero leads (at most three) and the skills learned.
#pragma once

#include "entities/HeroSkills.h"
#include "entities/Skill.h"
#include "entities/UnitType.h"

#include "engine/core/VisTypedEngineObject.h"

#include <vector>

class HeroUnitRecord;
class IVScriptInstance;
class SoldierStats;
class UnitEntity;
class UnitEntityTemplate;
class VArchive;

class HeroStats : public VisTypedEngineObject_cl {
  V_DECLARE_DYNAMIC(HeroStats)
 public:
  static constexpr int MAX_UNITS = 3;

  // The character template (class "UnitEntity") and the hero's own soldier record are
  // made with the hero and owned by it, as are the unit records.
  HeroStats();
  ~HeroStats() override;
  HeroStats(const HeroStats&) = delete;
  HeroStats& operator=(const HeroStats&) = delete;

  // Block: "ARCH", version 2, the hero-skills block, the character template's block,
  // the own soldier record, the unit records (count, then per record the template's
  // block, the town name, the soldier count and records), the skills (count and
  // blocks), "EOA". Counts beyond what the block can hold fail the archive.
  virtual bool SerializeX(VArchive& ar);

  int GetExperience() const { return m_HeroSkills.m_iExperience; }
  int GetLevel() const { return m_HeroSkills.m_iLevel; }
  HeroSkills& GetHeroSkills() { return m_HeroSkills; }
  UnitEntityTemplate* GetCharacterTemplate() const { return m_pCharacterTemplate; }
  SoldierStats* GetSoldierStats() const { return m_pSoldierStats; }

  // Skills.
  int GetSkillCount() const { return (int)m_skills.size(); }
  Skill& GetSkill(int i) { return m_skills[i]; }
  const std::vector<Skill>& GetSkills() const { return m_skills; }
  // The first skill of that name, else a shared default skill.
  Skill& GetSkillByName(const char* name);
  bool HasSkill(const char* name) const;
  // Removes the first skill of that name.
  void RemoveSkillByName(const char* name);
  // 2 for the character ids 2 and 4, 3 for 3 and 5, else 1.
  int GetSkillGroup() const;
  // The game script's "GetSkill" for the name, or the default skill.
  void GetSkillInfo(Skill& out, const char* name);
  // Appends the skill the game script describes under that name (twice is possible).
  void AddSkill(const char* name);
  // Adds the first skill of the script's list the hero lacks and may learn.
  void AddNextSkill();
  // The skills of the hero's group in the script's list ("GetSkillCount",
  // "GetSkillAt") that it lacks and may learn, in the list's order.
  std::vector<Skill> GetLearnableSkills(IVScriptInstance* script) const;
  // Levels up through GameSessionManager's table: at every level reached while the
  // experience is at least the entry of the current level; a skill every third level.
  virtual void AddExperience(int xp);

  // Units.
  int GetUnitRecordCount() const { return (int)m_units.size(); }
  HeroUnitRecord* GetUnitRecord(int i) const { return i >= 0 && i < (int)m_units.size() ? m_units[i] : nullptr; }
  // Appends while the hero has fewer than three units; false otherwise (the caller
  // keeps the record).
  bool AddUnitRecord(HeroUnitRecord* record);
  // Takes the record out (and deletes it).
  void DeleteUnitRecord(HeroUnitRecord* record);
  // The unit of record i in the scene, found by its template's unique id.
  UnitEntity* GetUnitByIndex(int i) const;
  bool HasUnit(UnitType type) const;

  // The three further words the campaign keeps with the hero.
  int m_iWords[3] = {0, 0, 0};

 protected:
  // Reads the skill outputs of "GetSkill" / "GetSkillAt" into out; false when the first
  // string is unset or a part of "None".
  static bool StoreSkillOutputs(Skill& out, const VString (&s)[5], const int (&i)[2], const float (&f)[13]);
  // The level-up message of the hero's class.
  void ShowLevelUpMessage();

  HeroSkills m_HeroSkills;
  UnitEntityTemplate* m_pCharacterTemplate;
  SoldierStats* m_pSoldierStats;
  std::vector<HeroUnitRecord*> m_units;
  std::vector<Skill> m_skills;
};
