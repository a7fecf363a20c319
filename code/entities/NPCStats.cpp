// Records of figures outside the campaign's soldiers.
#include "entities/NPCStats.h"

#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"

void NPCStats::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    ar << "ARCH" << (char)2;
    m_CombatSkills.SerializeX(ar);
    m_Hitpoints.SerializeX(ar);
    ar << "EOA";
    return;
  }
  SaveGameManagerProto* saves = SaveGameManagerProto::GetInstance();
  if (!saves->CheckArchiveStartTag(ar)) return;
  char version = 0;
  ar >> version;
  if (version >= 2) {
    m_CombatSkills.SerializeX(ar);
    m_Hitpoints.SerializeX(ar);
  }
  saves->CheckArchiveEndTag(ar);
}
