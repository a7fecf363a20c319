// Hero skills.
#include "entities/Skill.h"

#include "entities/UnitEntity.h"

#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"

void Skill::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, 3);
    ar << m_sName << m_sSecondText << m_sThirdText;
    for (int i = 0; i < 7; ++i) ar << m_fValues[i];
    ar << m_bHeroSkill;
    for (int i = 7; i < VALUE_COUNT; ++i) ar << m_fValues[i];
    ar << m_bExcludedFromLearning << m_sImage;
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  char version = 0;
  if (!SaveGameManagerProto::ReadBlockStart(ar, version)) return;
  if (version >= 3) {
    ar >> m_sName >> m_sSecondText >> m_sThirdText;
    for (int i = 0; i < 7; ++i) ar >> m_fValues[i];
    ar >> m_bHeroSkill;
    for (int i = 7; i < VALUE_COUNT; ++i) ar >> m_fValues[i];
    ar >> m_bExcludedFromLearning >> m_sImage;
  }
  SaveGameManagerProto::ReadBlockEnd(ar);
}

bool Skill::AppliesToUnit(const UnitEntity* unit) const { return unit && m_bHeroSkill == unit->IsHero(); }
