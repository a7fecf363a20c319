// Collectables: their script, highlight and stored form. Collecting, carrying
// and buying come with the campaign's items.
#include "entities/CollectableEntity.h"

#include "entities/CollectableEntityTemplate.h"

#include "Managers/SaveGameManager.h"

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
  VAR_BOOL(t, CollectableEntity, m_bCarriable,
           "If true the collectable can be carried (otherwise it's collected right away).", "TRUE");
  VAR_BOOL(t, CollectableEntity, m_bUseWhenCollected, "If true the collectable will be used when picked up.", "TRUE");
  VAR_STRING(t, CollectableEntity, m_sType, "Type name", "");
  VAR_FLOAT(t, CollectableEntity, m_fPickDistance, "Picking distance in meters (at sea scene)", "10.0");
  VAR_FLOAT(t, CollectableEntity, m_fPickDistanceLand, "Picking distance in meters (at land scene)", "6.0");
  VAR_FLOAT(t, CollectableEntity, m_fCooldownTimer, "Cooldown time in seconds", "0.0");
  VAR_STRING(t, CollectableEntity, m_sDescription, "Description", "");
  VAR_STRING(t, CollectableEntity, m_sImage, "GUI image id", "");
  VAR_INT(t, CollectableEntity, m_iItemType, "Item type", "0");
  VAR_INT(t, CollectableEntity, m_iPrice, "Item price", "0");
  VAR_STRING(t, CollectableEntity, m_sLargeImage, "Large image for inventory", "");
  VAR_INT(t, CollectableEntity, m_iMinValue, "Item min value", "0");
  VAR_INT(t, CollectableEntity, m_iMaxValue, "Item Max value", "1");
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
  m_bCarriable = templ.m_bCarriable;
  m_bRemoveWhenUsed = templ.m_bRemoveWhenUsed;
  m_bUseWhenCollected = templ.m_bUseWhenCollected;
  m_sType = templ.m_sType;
  m_fPickDistance = templ.m_fPickDistance;
  m_fPickDistanceLand = templ.m_fPickDistanceLand;
  m_fCooldownTimer = templ.m_fCooldownTimer;
  m_sDescription = templ.m_sDescription;
  m_sImage = templ.m_sImage;
  m_iItemType = templ.m_iItemType;
  m_iPrice = templ.m_iPrice;
  m_iMinValue = templ.m_iMinValue;
  m_iMaxValue = templ.m_iMaxValue;
  m_sLargeImage = templ.m_sLargeImage;
}

void CollectableEntity::SaveToTemplate(CollectableEntityTemplate& templ) {
  templ.m_sKey = GetObjectKey();
  // Model paths are kept relative to the data folders; a network path stays whole.
  const char* model = GetMeshFileName();
  if (model && (model[0] == '/' || model[0] == '\\') && !(model[0] == '\\' && model[1] == '\\')) ++model;
  templ.m_sModelFile = model ? model : "";
  templ.m_sEntityParams = SaveGameManagerProto::GetInstance()->GetEntityParameters(this);
  templ.m_sCollectableScriptFile = m_sCollectableScriptFile;
  templ.m_sScreenName = m_sScreenName;
  templ.m_sType = m_sType;
  templ.m_iNation = GetNation();
  templ.m_bHidden = m_bHidden;
  templ.m_bCarriable = m_bCarriable;
  templ.m_bRemoveWhenUsed = m_bRemoveWhenUsed;
  templ.m_bUseWhenCollected = m_bUseWhenCollected;
  templ.m_fPickDistance = m_fPickDistance;
  templ.m_fPickDistanceLand = m_fPickDistanceLand;
  templ.m_fCooldownTimer = m_fCooldownTimer;
  templ.m_sDescription = m_sDescription;
  templ.m_sImage = m_sImage;
  templ.m_iItemType = m_iItemType;
  templ.m_iPrice = m_iPrice;
  templ.m_iMinValue = m_iMinValue;
  templ.m_iMaxValue = m_iMaxValue;
  templ.m_sHighlightEffect = m_sHighlightEffect;
  templ.m_sLargeImage = m_sLargeImage;
}
