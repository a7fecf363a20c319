// Experience and level of a hero.
#include "entities/HeroSkills.h"

#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"

bool HeroSkills::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, 2);
    ar << m_iExperience << m_iLevel << m_iFirstLimit << m_iSecondLimit;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "HeroSkills", 2);
  if (!block.IsOpen()) return false;
  HeroSkills read(*this);
  if (block.Has(2)) ar >> read.m_iExperience >> read.m_iLevel >> read.m_iFirstLimit >> read.m_iSecondLimit;
  if (!block.End()) return false;
  *this = read;
  return true;
}
