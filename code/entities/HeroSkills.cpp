// Experience and level of a hero.
#include "entities/HeroSkills.h"

#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"

void HeroSkills::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    ar << "ARCH" << (char)2 << m_iExperience << m_iLevel << m_iFirstLimit << m_iSecondLimit << "EOA";
    return;
  }
  SaveGameManagerProto* saves = SaveGameManagerProto::GetInstance();
  if (!saves->CheckArchiveStartTag(ar)) return;
  char version = 0;
  ar >> version;
  if (version >= 2) ar >> m_iExperience >> m_iLevel >> m_iFirstLimit >> m_iSecondLimit;
  saves->CheckArchiveEndTag(ar);
}
