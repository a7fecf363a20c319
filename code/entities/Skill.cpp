// Hero skills.
#include "entities/Skill.h"

#include "entities/UnitEntity.h"

#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"

void Skill::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    ar << "ARCH" << (char)3 << m_sName << m_sSecondText << m_sThirdText;
    for (int i = 0; i < 7; ++i) ar << m_fValues[i];
    ar << m_bHeroSkill;
    for (int i = 7; i < VALUE_COUNT; ++i) ar << m_fValues[i];
    ar << m_bExcludedFromLearning << m_sImage << "EOA";
    return;
  }
  SaveGameManagerProto* saves = SaveGameManagerProto::GetInstance();
  if (!saves->CheckArchiveStartTag(ar)) return;
  char version = 0;
  ar >> version;
  if (version >= 3) {
    ar >> m_sName >> m_sSecondText >> m_sThirdText;
    for (int i = 0; i < 7; ++i) ar >> m_fValues[i];
    ar >> m_bHeroSkill;
    for (int i = 7; i < VALUE_COUNT; ++i) ar >> m_fValues[i];
    ar >> m_bExcludedFromLearning >> m_sImage;
  }
  saves->CheckArchiveEndTag(ar);
}

bool Skill::AppliesToUnit(const UnitEntity* unit) const { return unit && m_bHeroSkill == unit->IsHero(); }
