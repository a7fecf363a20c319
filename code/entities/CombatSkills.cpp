// Combat values and their saved block.
#include "entities/CombatSkills.h"

#include "entities/StatsIncrease.h"

#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"

void CombatSkills::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, BLOCK_VERSION);
    ar << m_fAttackIntervalMax << m_fAttackIntervalMin << m_iMeleeHitChance << m_iMeleeMaxDamage << m_iBaseValue
       << m_iMeleeMinDamage << m_iRangedMinDamage << m_iExperienceValue << m_fViewRange << m_iRangedHitChance;
    ar << m_iRangedMaxDamage << m_iSecondMeleeMinDamage << m_iSecondMeleeMaxDamage << m_iSecondRangedMinDamage
       << m_iSecondRangedMaxDamage;
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  char version = 0;
  if (!SaveGameManagerProto::ReadBlockStart(ar, version)) return;
  if (version >= 2) {
    if (version == 2) {
      float dropped = 0.0f;
      ar >> dropped;
    }
    ar >> m_fAttackIntervalMax >> m_fAttackIntervalMin >> m_iMeleeHitChance >> m_iMeleeMaxDamage >> m_iBaseValue >>
        m_iMeleeMinDamage >> m_iRangedMinDamage >> m_iExperienceValue >> m_fViewRange;
  }
  if (version >= 4) ar >> m_iRangedHitChance;
  if (version >= 5)
    ar >> m_iRangedMaxDamage >> m_iSecondMeleeMinDamage >> m_iSecondMeleeMaxDamage >> m_iSecondRangedMinDamage >>
        m_iSecondRangedMaxDamage;
  SaveGameManagerProto::ReadBlockEnd(ar);
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
