// Experience and level of a hero.
#include "entities/HeroSkills.h"

#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"

void HeroSkills::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, 2);
    ar << m_iExperience << m_iLevel << m_iFirstLimit << m_iSecondLimit;
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  char version = 0;
  if (!SaveGameManagerProto::ReadBlockStart(ar, version)) return;
  if (version >= 2) ar >> m_iExperience >> m_iLevel >> m_iFirstLimit >> m_iSecondLimit;
  SaveGameManagerProto::ReadBlockEnd(ar);
}
