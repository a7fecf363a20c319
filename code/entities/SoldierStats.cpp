// Soldier records.
#include "entities/SoldierStats.h"

#include "entities/SoldierEntityTemplate.h"

#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"

SoldierStats::SoldierStats() : m_pTemplate(new SoldierEntityTemplate()) {}

SoldierStats::~SoldierStats() {
  if (m_pTemplate) m_pTemplate->DisposeObject();
}

void SoldierStats::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, 2);
    m_CombatSkills.SerializeX(ar);
    m_Hitpoints.SerializeX(ar);
    m_pTemplate->SerializeX(ar);
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  char version = 0;
  if (!SaveGameManagerProto::ReadBlockStart(ar, version)) return;
  if (version >= 2) {
    m_CombatSkills.SerializeX(ar);
    m_Hitpoints.SerializeX(ar);
    if (!m_pTemplate) m_pTemplate = new SoldierEntityTemplate();
    m_pTemplate->SerializeX(ar);
  }
  SaveGameManagerProto::ReadBlockEnd(ar);
}
