// Soldier records.
#include "entities/SoldierStats.h"

#include "entities/SoldierEntityTemplate.h"

#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"

SoldierStats::SoldierStats() : m_pTemplate(new SoldierEntityTemplate()) {}

SoldierStats::~SoldierStats() {
  if (m_pTemplate) m_pTemplate->DisposeObject();
}

bool SoldierStats::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, 2);
    m_CombatSkills.SerializeX(ar);
    m_Hitpoints.SerializeX(ar);
    m_pTemplate->SerializeX(ar);
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "SoldierStats", 2);
  if (!block.IsOpen()) return false;
  CombatSkills combat = m_CombatSkills;
  Hitpoints hitpoints = m_Hitpoints;
  SoldierEntityTemplate templ = m_pTemplate ? *m_pTemplate : SoldierEntityTemplate();
  if (block.Has(2) && (!combat.SerializeX(ar) || !hitpoints.SerializeX(ar) || !templ.SerializeX(ar)))
    return block.Fail();
  if (!block.End()) return false;
  m_CombatSkills = combat;
  m_Hitpoints = hitpoints;
  if (block.Has(2)) {
    if (!m_pTemplate) m_pTemplate = new SoldierEntityTemplate();
    *m_pTemplate = templ;
  }
  return true;
}

void SoldierStats::CopyFrom(const SoldierStats& other) {
  m_Hitpoints = other.m_Hitpoints;
  m_CombatSkills = other.m_CombatSkills;
  m_fSpeed = other.m_fSpeed;
  if (!other.m_pTemplate) return;
  if (!m_pTemplate) m_pTemplate = new SoldierEntityTemplate();
  *m_pTemplate = *other.m_pTemplate;
}
