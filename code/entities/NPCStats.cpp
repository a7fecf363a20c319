// Records of figures outside the campaign's soldiers.
#include "entities/NPCStats.h"

#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"

void NPCStats::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, 2);
    m_CombatSkills.SerializeX(ar);
    m_Hitpoints.SerializeX(ar);
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  char version = 0;
  if (!SaveGameManagerProto::ReadBlockStart(ar, version)) return;
  if (version >= 2) {
    m_CombatSkills.SerializeX(ar);
    m_Hitpoints.SerializeX(ar);
  }
  SaveGameManagerProto::ReadBlockEnd(ar);
}
