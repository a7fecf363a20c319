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

void UpgradeEntityTemplate::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kTemplateVersion);
    ar << m_bFlag << m_vPosition << m_sClassName << m_sKey << m_sEntityParams;
    ar << m_vOrientation << m_vScaling << m_sUpgradeScriptFile;
    ar << m_sName << m_sDescription << m_sImage << m_sIcon;
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  char version = 0;
  if (!SaveGameManagerProto::ReadBlockStart(ar, version)) return;
  if (version >= 1) {
    ar >> m_bFlag >> m_vPosition >> m_sClassName >> m_sKey >> m_sEntityParams;
    ar >> m_vOrientation >> m_vScaling >> m_sUpgradeScriptFile;
  }
  if (version >= 2) ar >> m_sName >> m_sDescription >> m_sImage >> m_sIcon;
  SaveGameManagerProto::ReadBlockEnd(ar);
}
