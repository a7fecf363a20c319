// The town's name key.
#include "entities/TownEntity.h"

V_IMPLEMENT_DYNCREATE(TownEntity, StaticEntity)

const VString& TownEntity::GetTownNameKey() {
  if (m_sTownNameKey.IsEmpty() && (!GetScriptValue("sNameKey", m_sTownNameKey) || m_sTownNameKey.IsEmpty()))
    m_sTownNameKey = "str_TOWN_NONE";
  return m_sTownNameKey;
}

void TownEntity::SetTownNameKey(const char* key) {
  SetScriptValue("sNameKey", key);
  m_sTownNameKey = key;
}
