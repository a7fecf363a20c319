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
    ar << "ARCH" << (char)2;
    m_CombatSkills.SerializeX(ar);
    m_Hitpoints.SerializeX(ar);
    m_pTemplate->SerializeX(ar);
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
    if (!m_pTemplate) m_pTemplate = new SoldierEntityTemplate();
    m_pTemplate->SerializeX(ar);
  }
  saves->CheckArchiveEndTag(ar);
}
