// What the player's level-ups have added to the player's own soldier, summed over
// all levels gained: damages, hit chances, hit points and speed.
#pragma once

class VArchive;

class StatsIncrease {
 public:
  StatsIncrease() = default;
  virtual ~StatsIncrease() = default;

  // Block: "ARCH", version 1, the eleven ints and the speed in declared order, "EOA".
  virtual bool SerializeX(VArchive& ar);

  // Field by field sum and difference.
  void Add(const StatsIncrease& other);
  StatsIncrease Minus(const StatsIncrease& other) const;
  bool IsZero() const;

  int m_iMeleeMinDamage = 0;
  int m_iMeleeMaxDamage = 0;
  int m_iSecondMeleeMinDamage = 0;
  int m_iSecondMeleeMaxDamage = 0;
  int m_iRangedMinDamage = 0;
  int m_iRangedMaxDamage = 0;
  int m_iSecondRangedMinDamage = 0;
  int m_iSecondRangedMaxDamage = 0;
  int m_iMeleeHitChance = 0;
  int m_iRangedHitChance = 0;
  int m_iHitPoints = 0;
  float m_fSpeed = 0.0f;
};
