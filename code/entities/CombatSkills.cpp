// Combat values and their saved block.
#include "entities/CombatSkills.h"

#include "entities/StatsIncrease.h"

#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"

bool CombatSkills::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, BLOCK_VERSION);
    ar << m_fAttackIntervalMax << m_fAttackIntervalMin << m_iMeleeHitChance << m_iMeleeMaxDamage << m_iBaseValue
       << m_iMeleeMinDamage << m_iRangedMinDamage << m_iExperienceValue << m_fViewRange << m_iRangedHitChance;
    ar << m_iRangedMaxDamage << m_iSecondMeleeMinDamage << m_iSecondMeleeMaxDamage << m_iSecondRangedMinDamage
       << m_iSecondRangedMaxDamage;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "CombatSkills", BLOCK_VERSION);
  if (!block.IsOpen()) return false;
  CombatSkills r(*this);
  if (block.Has(2)) {
    if (block.GetVersion() == 2) {
      float dropped = 0.0f;
      ar >> dropped;
    }
    ar >> r.m_fAttackIntervalMax >> r.m_fAttackIntervalMin >> r.m_iMeleeHitChance >> r.m_iMeleeMaxDamage >>
        r.m_iBaseValue >> r.m_iMeleeMinDamage >> r.m_iRangedMinDamage >> r.m_iExperienceValue >> r.m_fViewRange;
  }
  if (block.Has(4)) ar >> r.m_iRangedHitChance;
  if (block.Has(5))
    ar >> r.m_iRangedMaxDamage >> r.m_iSecondMeleeMinDamage >> r.m_iSecondMeleeMaxDamage >>
        r.m_iSecondRangedMinDamage >> r.m_iSecondRangedMaxDamage;
  if (!block.End()) return false;
  *this = r;
  return true;
}

void CombatSkills::IncreaseStats(const StatsIncrease* inc) {
  if (!inc) return;
  m_iMeleeMinDamage += inc->m_iMeleeMinDamage;
  m_iMeleeMaxDamage += inc->m_iMeleeMaxDamage;
  m_iSecondMeleeMinDamage += inc->m_iSecondMeleeMinDamage;
  m_iSecondMeleeMaxDamage += inc->m_iSecondMeleeMaxDamage;
  m_iRangedMinDamage += inc->m_iRangedMinDamage;
  m_iRangedMaxDamage += inc->m_iRangedMaxDamage;
  m_iSecondRangedMinDamage += inc->m_iSecondRangedMinDamage;
  m_iSecondRangedMaxDamage += inc->m_iSecondRangedMaxDamage;
  m_iMeleeHitChance += inc->m_iMeleeHitChance;
  m_iRangedHitChance += inc->m_iRangedHitChance;
}
