// One quality preset of one settings family for one scene kind (settings.xml).
#pragma once

#include "engine/base/VHashString.h"
#include "engine/base/VStrDictionary.h"

class SettingQuality {
 public:
  SettingQuality(const char* name, int sceneKind, bool isDefault)
      : m_sName(name), m_iSceneKind(sceneKind), m_bDefault(isDefault) {}

  VStrDictionary m_values;
  VHashString m_sName;
  int m_iSceneKind;
  bool m_bDefault;
};
