// Stored ship upgrades.
#include "entities/UpgradeEntityTemplate.h"

#include "entities/UpgradeEntity.h"
#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"

namespace {
const char kTemplateVersion = 2;
}

UpgradeEntityTemplate::UpgradeEntityTemplate() {
  m_sClassName = "UpgradeEntity";
  m_bFlag = true;
}

void UpgradeEntityTemplate::ApplyToEntity(VisBaseEntity_cl* entity) {
  if (!entity || !entity->IsOfType(UpgradeEntity::GetClassTypeId())) return;
  static_cast<UpgradeTexts&>(*static_cast<UpgradeEntity*>(entity)) = *this;
}

bool UpgradeEntityTemplate::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kTemplateVersion);
    ar << m_bFlag << m_vPosition << m_sClassName << m_sKey << m_sEntityParams;
    ar << m_vOrientation << m_vScaling << m_sUpgradeScriptFile;
    ar << m_sName << m_sDescription << m_sImage << m_sIcon;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "UpgradeEntityTemplate", kTemplateVersion);
  if (!block.IsOpen()) return false;
  UpgradeEntityTemplate r(*this);
  if (block.Has(1)) {
    ar >> r.m_bFlag >> r.m_vPosition >> r.m_sClassName >> r.m_sKey >> r.m_sEntityParams;
    ar >> r.m_vOrientation >> r.m_vScaling >> r.m_sUpgradeScriptFile;
  }
  if (block.Has(2)) ar >> r.m_sName >> r.m_sDescription >> r.m_sImage >> r.m_sIcon;
  if (!block.End()) return false;
  *this = r;
  return true;
}
