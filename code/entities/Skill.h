// One skill of a hero: its texts and images, whether it applies to the hero's own
// unit or to the hero's troops, and its thirteen values (bonuses, the active skill's
// duration and cool-down, a damage factor).
#pragma once

#include "engine/base/VString.h"

class UnitEntity;
class VArchive;

class Skill {
 public:
  // Positions of the values, counted from 1 as the skill tables of the game script do.
  enum Value {
    MELEE_DAMAGE_BONUS = 1,
    RANGED_DAMAGE_BONUS = 2,
    ATTACK_INTERVAL_BONUS = 3,
    RANGE_BONUS = 4,
    HIT_CHANCE_BONUS = 5,
    DEFENCE_VALUE = 8,
    ACTIVE_SKILL_VALUE = 9,
    ACTIVE_SKILL_DURATION = 11,
    ACTIVE_SKILL_COOLDOWN = 12,
    DAMAGE_FACTOR = 13,
    VALUE_COUNT = 13
  };

  Skill() = default;
  virtual ~Skill() = default;

  // Block: "ARCH", version 3, name, second text, third text, values 1 to 7, hero-skill
  // flag, values 8 to 13, excluded flag, image, "EOA". The fifth text is not saved.
  virtual bool SerializeX(VArchive& ar);

  // A hero skill applies to a hero's own unit, any other skill to the hero's troops.
  bool AppliesToUnit(const UnitEntity* unit) const;

  // Value n, counted from 1; 0 for a position outside 1..13.
  float GetValue(int n) const { return n >= 1 && n <= VALUE_COUNT ? m_fValues[n - 1] : 0.0f; }
  void SetValue(int n, float v) {
    if (n >= 1 && n <= VALUE_COUNT) m_fValues[n - 1] = v;
  }

  VString m_sName = "None";
  VString m_sSecondText = "None";  // the caption shown when the skill is used
  VString m_sImage = "SkillEmpty";
  VString m_sThirdText = "None";
  VString m_sFifthText;  // the particle effect of an active skill
  bool m_bHeroSkill = false;
  bool m_bExcludedFromLearning = true;
  float m_fValues[VALUE_COUNT] = {};
};
