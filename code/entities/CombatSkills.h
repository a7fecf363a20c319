// The combat values of a soldier: hit chances, the damage ranges of both weapon
// sets, the attack interval, the experience a kill of it is worth and its view range.
#pragma once

class StatsIncrease;
class VArchive;

class CombatSkills {
 public:
  // The block version written; 4 and older blocks lack the ranged maximum and the
  // second weapon's damages, which then keep their values.
  static constexpr char BLOCK_VERSION = 5;

  CombatSkills() = default;
  virtual ~CombatSkills() = default;

  // Block: "ARCH", version 5, attack interval max and min, melee hit chance, melee max
  // and min damage, base value, ranged min damage, experience value, view range, ranged
  // hit chance (the fields of version 4, in its order), then ranged max damage and the
  // second weapon's melee min and max and ranged min and max damage, "EOA".
  virtual bool SerializeX(VArchive& ar);

  // Adds the increase to the fields it raises (damages and hit chances).
  void IncreaseStats(const StatsIncrease* increase);

  int m_iBaseValue = 100;
  int m_iMeleeHitChance = 50;  // percent
  int m_iMeleeMaxDamage = 7;
  int m_iMeleeMinDamage = 2;
  int m_iRangedHitChance = 50;  // percent
  int m_iRangedMaxDamage = 7;
  int m_iRangedMinDamage = 2;
  float m_fAttackIntervalMax = 4.0f;  // seconds
  float m_fAttackIntervalMin = 2.0f;
  int m_iExperienceValue = 10;  // what killing the soldier is worth
  float m_fViewRange = 10.0f;
  int m_iSecondMeleeMinDamage = 0;
  int m_iSecondMeleeMaxDamage = 0;
  int m_iSecondRangedMinDamage = 0;
  int m_iSecondRangedMaxDamage = 0;
};
