// Level-up increases of the player's soldier.
#include "entities/StatsIncrease.h"

#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"

bool StatsIncrease::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, 1);
    ar << m_iMeleeMinDamage << m_iMeleeMaxDamage << m_iSecondMeleeMinDamage << m_iSecondMeleeMaxDamage
       << m_iRangedMinDamage << m_iRangedMaxDamage << m_iSecondRangedMinDamage << m_iSecondRangedMaxDamage
       << m_iMeleeHitChance << m_iRangedHitChance << m_iHitPoints << m_fSpeed;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "StatsIncrease", 1);
  if (!block.IsOpen()) return false;
  StatsIncrease r(*this);
  if (block.Has(1))
    ar >> r.m_iMeleeMinDamage >> r.m_iMeleeMaxDamage >> r.m_iSecondMeleeMinDamage >> r.m_iSecondMeleeMaxDamage >>
        r.m_iRangedMinDamage >> r.m_iRangedMaxDamage >> r.m_iSecondRangedMinDamage >> r.m_iSecondRangedMaxDamage >>
        r.m_iMeleeHitChance >> r.m_iRangedHitChance >> r.m_iHitPoints >> r.m_fSpeed;
  if (!block.End()) return false;
  *this = r;
  return true;
}

void StatsIncrease::Add(const StatsIncrease& o) {
  m_iMeleeMinDamage += o.m_iMeleeMinDamage;
  m_iMeleeMaxDamage += o.m_iMeleeMaxDamage;
  m_iSecondMeleeMinDamage += o.m_iSecondMeleeMinDamage;
  m_iSecondMeleeMaxDamage += o.m_iSecondMeleeMaxDamage;
  m_iRangedMinDamage += o.m_iRangedMinDamage;
  m_iRangedMaxDamage += o.m_iRangedMaxDamage;
  m_iSecondRangedMinDamage += o.m_iSecondRangedMinDamage;
  m_iSecondRangedMaxDamage += o.m_iSecondRangedMaxDamage;
  m_iMeleeHitChance += o.m_iMeleeHitChance;
  m_iRangedHitChance += o.m_iRangedHitChance;
  m_iHitPoints += o.m_iHitPoints;
  m_fSpeed += o.m_fSpeed;
}

StatsIncrease StatsIncrease::Minus(const StatsIncrease& o) const {
  StatsIncrease d;
  d.m_iMeleeMinDamage = m_iMeleeMinDamage - o.m_iMeleeMinDamage;
  d.m_iMeleeMaxDamage = m_iMeleeMaxDamage - o.m_iMeleeMaxDamage;
  d.m_iSecondMeleeMinDamage = m_iSecondMeleeMinDamage - o.m_iSecondMeleeMinDamage;
  d.m_iSecondMeleeMaxDamage = m_iSecondMeleeMaxDamage - o.m_iSecondMeleeMaxDamage;
  d.m_iRangedMinDamage = m_iRangedMinDamage - o.m_iRangedMinDamage;
  d.m_iRangedMaxDamage = m_iRangedMaxDamage - o.m_iRangedMaxDamage;
  d.m_iSecondRangedMinDamage = m_iSecondRangedMinDamage - o.m_iSecondRangedMinDamage;
  d.m_iSecondRangedMaxDamage = m_iSecondRangedMaxDamage - o.m_iSecondRangedMaxDamage;
  d.m_iMeleeHitChance = m_iMeleeHitChance - o.m_iMeleeHitChance;
  d.m_iRangedHitChance = m_iRangedHitChance - o.m_iRangedHitChance;
  d.m_iHitPoints = m_iHitPoints - o.m_iHitPoints;
  d.m_fSpeed = m_fSpeed - o.m_fSpeed;
  return d;
}

bool StatsIncrease::IsZero() const {
  return m_iMeleeMinDamage == 0 && m_iMeleeMaxDamage == 0 && m_iSecondMeleeMinDamage == 0 &&
         m_iSecondMeleeMaxDamage == 0 && m_iRangedMinDamage == 0 && m_iRangedMaxDamage == 0 &&
         m_iSecondRangedMinDamage == 0 && m_iSecondRangedMaxDamage == 0 && m_iMeleeHitChance == 0 &&
         m_iRangedHitChance == 0 && m_iHitPoints == 0 && m_fSpeed == 0.0f;
}
