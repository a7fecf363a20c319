// Records of figures outside the campaign's soldiers.
#include "entities/NPCStats.h"

#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"

bool NPCStats::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, 2);
    m_CombatSkills.SerializeX(ar);
    m_Hitpoints.SerializeX(ar);
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "NPCStats", 2);
  if (!block.IsOpen()) return false;
  CombatSkills combat = m_CombatSkills;
  Hitpoints hitpoints = m_Hitpoints;
  if (block.Has(2) && (!combat.SerializeX(ar) || !hitpoints.SerializeX(ar))) return block.Fail();
  if (!block.End()) return false;
  m_CombatSkills = combat;
  m_Hitpoints = hitpoints;
  return true;
}
