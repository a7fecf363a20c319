// Ship upgrades in the world.
#include "entities/UpgradeEntity.h"

#include "Managers/SaveGameManager.h"
#include "entities/UpgradeEntityTemplate.h"
#include "util/ArchiveLimits.h"

#include "engine/base/VArchive.h"
#include "engine/core/VScriptManager.h"

namespace {
const char kUpgradeVersion = 3;
const int kMaxText = 4096;
}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(UpgradeEntity, BaseEntity, &UpgradeEntity::BuildVarList)

void UpgradeEntity::BuildVarList(VARTABLE& t) {
  VAR_TEXT(t, UpgradeEntity, m_sUpgradeScriptFile, VULPTYPE_SCRIPT_FILE, "Optional script file for this upgrade", "");
  VAR_STRING(t, UpgradeEntity, m_sScreenName, "Screen name.", "");
  VAR_STRING(t, UpgradeEntity, m_sType, "Type name", "");
  VAR_STRING(t, UpgradeEntity, m_sName, "key to localized name", "");
  VAR_STRING(t, UpgradeEntity, m_sDescription, "key to localized description", "");
  VAR_STRING(t, UpgradeEntity, m_sImage, "Large image", "");
  VAR_STRING(t, UpgradeEntity, m_sIcon, "icon image", "");
}

UpgradeEntity::UpgradeEntity() = default;

UpgradeEntity::~UpgradeEntity() = default;

void UpgradeEntity::InitFunction() {
  BaseEntity::InitFunction();
  CommonInit();
}

void UpgradeEntity::InitUpgrade() {
  if (m_sUpgradeScriptFile.IsEmpty()) return;
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  if (!scripts) return;
  if (IVScriptInstance* script = scripts->CreateScriptInstanceFromFile(m_sUpgradeScriptFile.AsChar(), this))
    scripts->SetScriptInstance(this, script);
}

void UpgradeEntity::Buy() {
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  if (!scripts) return;
  IVScriptInstance* script = scripts->GetScriptInstance(this);
  if (script && script->HasFunction("OnBuy")) {
    int unused = 0;
    script->ExecuteFunctionArg("OnBuy", "*>i", &unused);
  }
  if (!IsMarkedRemoved()) Remove();
}

void UpgradeEntity::SaveToTemplate(UpgradeEntityTemplate* templ) {
  if (!templ) return;
  templ->m_sKey = GetObjectKey();
  static_cast<UpgradeTexts&>(*templ) = *this;
  templ->m_sEntityParams = SaveGameManagerProto::GetInstance()->GetEntityParameters(this);
}

void UpgradeEntity::Serialize(VArchive& ar) {
  BaseEntity::Serialize(ar);
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kUpgradeVersion);
    ar << m_sUpgradeScriptFile << m_sType << m_sScreenName << m_sName << m_sDescription << m_sImage << m_sIcon;
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  SavedBlockReader block(ar, "UpgradeEntity", kUpgradeVersion);
  if (!block.IsOpen()) return;
  UpgradeTexts read = *this;
  auto text = [&](VString& out) { return ArchiveLimits::ReadString(ar, out, kMaxText); };
  if (block.Has(2) && (!text(read.m_sUpgradeScriptFile) || !text(read.m_sType) || !text(read.m_sScreenName)))
    return (void)block.Fail();
  if (block.Has(3) && (!text(read.m_sName) || !text(read.m_sDescription) || !text(read.m_sImage) || !text(read.m_sIcon)))
    return (void)block.Fail();
  if (!block.End()) return;
  static_cast<UpgradeTexts&>(*this) = read;
}
