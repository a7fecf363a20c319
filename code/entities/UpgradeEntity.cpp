// Ship upgrades in the world.
#include "entities/UpgradeEntity.h"

#include "engine/core/VScriptManager.h"

V_IMPLEMENT_DYNCREATE(UpgradeEntity, BaseEntity)

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
