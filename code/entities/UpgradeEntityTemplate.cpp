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
  UpgradeEntity* upgrade = static_cast<UpgradeEntity*>(entity);
  upgrade->m_sUpgradeScriptFile = m_sUpgradeScriptFile;
  upgrade->m_sScreenName = m_sScreenName;
  upgrade->m_sType = m_sType;
  upgrade->m_sName = m_sName;
  upgrade->m_sDescription = m_sDescription;
  upgrade->m_sImage = m_sImage;
  upgrade->m_sIcon = m_sIcon;
}

void UpgradeEntityTemplate::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    ar << "ARCH" << kTemplateVersion;
    ar << m_bFlag << m_vPosition << m_sClassName << m_sKey << m_sEntityParams;
    ar << m_vOrientation << m_vScaling << m_sUpgradeScriptFile;
    ar << m_sName << m_sDescription << m_sImage << m_sIcon;
    ar << "EOA";
    return;
  }
  SaveGameManagerProto* blocks = SaveGameManagerProto::GetInstance();
  if (!blocks->CheckArchiveStartTag(ar)) return;
  char version = 0;
  ar >> version;
  if (version >= 1) {
    ar >> m_bFlag >> m_vPosition >> m_sClassName >> m_sKey >> m_sEntityParams;
    ar >> m_vOrientation >> m_vScaling >> m_sUpgradeScriptFile;
  }
  if (version >= 2) ar >> m_sName >> m_sDescription >> m_sImage >> m_sIcon;
  blocks->CheckArchiveEndTag(ar);
}
