// Collectables: their script, highlight and stored form. Collecting, carrying
// and buying come with the campaign's items.
#include "entities/CollectableEntity.h"

#include "Managers/SaveGameManager.h"
#include "entities/CollectableEntityTemplate.h"

#include "engine/Vision.h"

V_IMPLEMENT_DYNCREATE_VARS(CollectableEntity, BaseEntity, &CollectableEntity::BuildVarList)

void CollectableEntity::BuildVarList(VARTABLE& t) {
  VAR_BOOL(t, CollectableEntity, m_bHidden, "If true the collectable is not visible and must be discovered.", "FALSE");
  VAR_BOOL(t, CollectableEntity, m_bRemoveWhenUsed, "If true the collectable will be removed when Use returns true.",
           "TRUE");
  VAR_TEXT(t, CollectableEntity, m_sCollectableScriptFile, VULPTYPE_SCRIPT_FILE,
           "Optional script file for this collectable", "");
  VAR_STRING(t, CollectableEntity, m_sScreenName, "Screen name.", "");
  VAR_TEXT(t, CollectableEntity, m_sHighlightEffect, VULPTYPE_FILE, "Highlight particle effect file", "");
}

CollectableEntity::CollectableEntity() = default;

CollectableEntity::~CollectableEntity() = default;

void CollectableEntity::SetHidden(int hidden) {
  m_bHidden = hidden;
  SetVisibleBitmask(hidden ? 0u : 0xffffffffu);
}

void CollectableEntity::InitCollectableItem() {
  if (m_sCollectableScriptFile.IsEmpty()) return;
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  if (scripts && !scripts->GetScriptInstance(this)) {
    if (IVScriptInstance* script = scripts->CreateScriptInstanceFromFile(m_sCollectableScriptFile, this))
      scripts->SetScriptInstance(this, script);
  }
  StartHighlightEffect();
}

int CollectableEntity::Use() {
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  IVScriptInstance* script = scripts ? scripts->GetScriptInstance(this) : nullptr;
  int used = 0;
  if (script && script->HasFunction("UseCollectable")) script->ExecuteFunctionArg("UseCollectable", "*>i", &used);
  return used;
}

void CollectableEntity::StartHighlightEffect() {
  StopHighlightEffect();
  if (!m_sHighlightEffect.IsEmpty() && !m_bHidden) m_bHighlightRunning = true;
}

void CollectableEntity::LoadFromTemplate(const CollectableEntityTemplate& templ) {
  m_sCollectableScriptFile = templ.m_sCollectableScriptFile;
  m_sScreenName = templ.m_sScreenName;
  m_sHighlightEffect = templ.m_sHighlightEffect;
  SetNation(templ.m_iNation);
  m_bHidden = templ.m_bHidden;
  m_bRemoveWhenUsed = templ.m_bRemoveWhenUsed;
}

void CollectableEntity::SaveToTemplate(CollectableEntityTemplate* templ) {
  if (!templ) return;
  templ->m_sKey = GetEntityKey();
  // Model names are kept relative to the data folders (a network path stays as it is).
  const char* model = GetMesh() ? GetMeshFileName() : nullptr;
  if (model && (model[0] == '/' || (model[0] == '\\' && model[1] != '\\'))) ++model;
  templ->m_sModelFile = model;
  templ->m_sEntityParams = SaveGameManagerProto::GetInstance()->GetEntityParameters(this);
  templ->m_sCollectableScriptFile = m_sCollectableScriptFile;
  templ->m_sScreenName = m_sScreenName;
  templ->m_iNation = GetNation();
  templ->m_bHidden = m_bHidden;
  templ->m_bRemoveWhenUsed = m_bRemoveWhenUsed;
  templ->m_sHighlightEffect = m_sHighlightEffect;
}
