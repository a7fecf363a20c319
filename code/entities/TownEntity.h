// A town of the world map or of a land scene. Most of its data lives in its town
// script; so far the town keeps the localisation key of its name.
#pragma once

#include "core/StaticEntity.h"

#include "engine/base/VString.h"

class TownEntity : public StaticEntity {
  V_DECLARE_DYNCREATE(TownEntity)
 public:
  TownEntity() = default;

  // The stored key; while it is empty the script's "sNameKey" is taken, else
  // "str_TOWN_NONE", and kept.
  const VString& GetTownNameKey();
  // Stored, and written to the script's "sNameKey" when the town has a script.
  void SetTownNameKey(const char* key);

 private:
  VString m_sTownNameKey;
};
