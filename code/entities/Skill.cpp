// Hero skills.
#include "entities/Skill.h"

#include "entities/UnitEntity.h"

#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"

bool Skill::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, 3);
    ar << m_sName << m_sSecondText << m_sThirdText;
    for (int i = 0; i < 7; ++i) ar << m_fValues[i];
    ar << m_bHeroSkill;
    for (int i = 7; i < VALUE_COUNT; ++i) ar << m_fValues[i];
    ar << m_bExcludedFromLearning << m_sImage;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "Skill", 3);
  if (!block.IsOpen()) return false;
  Skill r(*this);
  if (block.Has(3)) {
    ar >> r.m_sName >> r.m_sSecondText >> r.m_sThirdText;
    for (int i = 0; i < 7; ++i) ar >> r.m_fValues[i];
    ar >> r.m_bHeroSkill;
    for (int i = 7; i < VALUE_COUNT; ++i) ar >> r.m_fValues[i];
    ar >> r.m_bExcludedFromLearning >> r.m_sImage;
  }
  if (!block.End()) return false;
  *this = r;
  return true;
}

bool Skill::AppliesToUnit(const UnitEntity* unit) const { return unit && m_bHeroSkill == unit->IsHero(); }
