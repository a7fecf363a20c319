// settings.xml: the quality presets, read with TinyXML.
#include "Managers/SettingsXmlReader.h"

#include "engine/base/VString.h"
#include "engine/core/VXmlRoot.h"

#include <tinyxml.h>

#include <cstring>

namespace {

const char* const kTypeNames[] = {nullptr, "SSAO", "Shadows", "Anisotropic", "Vsync", "Windowed"};
const char* const kSceneKinds[] = {"WORLD", "LAND", "SEA"};

int CountTags(const char* text) {
  int tags = 0;
  for (const char* p = text; *p; ++p)
    if (*p == '<') ++tags;
  return tags;
}

}  // namespace

const char* SettingsXmlReader::GetTypeName(eSettingType type) {
  return type >= SETTING_SSAO && type <= SETTING_WINDOWED ? kTypeNames[type] : nullptr;
}

eSettingType SettingsXmlReader::GetTypeByName(const char* name) {
  if (!name) return SETTING_RESOLUTION;
  for (int i = SETTING_SSAO; i <= SETTING_WINDOWED; ++i)
    if (strcmp(name, kTypeNames[i]) == 0) return (eSettingType)i;
  return SETTING_RESOLUTION;
}

int SettingsXmlReader::GetSceneKindByName(const char* name) {
  if (!name) return -1;
  for (int i = 0; i < 3; ++i)
    if (strcmp(name, kSceneKinds[i]) == 0) return i;
  return -1;
}

bool SettingsXmlReader::Read(const char* text, const Visitor& visit, std::string& error) {
  if (!text) text = "";
  if (CountTags(text) > MaxTags) {
    error = "Too many elements";
    return false;
  }
  TiXmlDocument doc;
  VParseXmlText(doc, text);
  if (doc.Error() || !doc.RootElement()) {
    error = doc.Error() ? doc.ErrorDesc() : "No root element";
    return false;
  }
  for (TiXmlElement* settings = doc.RootElement()->FirstChildElement("Settings"); settings;
       settings = settings->NextSiblingElement("Settings")) {
    const eSettingType type = GetTypeByName(settings->Attribute("type"));
    if (type == SETTING_RESOLUTION) continue;
    const char* quality = settings->Attribute("quality");
    if (!quality) quality = "";
    // Read by hand: TinyXML's own bool query asserts on an empty attribute.
    bool isDefault = false;
    if (const char* flag = settings->Attribute("default")) VString::ParseBool(flag, isDefault);
    for (TiXmlElement* setting = settings->FirstChildElement("Setting"); setting;
         setting = setting->NextSiblingElement("Setting")) {
      const char* key = setting->Attribute("key");
      const char* value = setting->Attribute("value");
      const std::string fullKey = std::string(kTypeNames[type]) + "_" + (key ? key : "");
      if (!value) value = "";
      const char* loc = setting->Attribute("loc");
      if (!loc) {
        for (int kind = 0; kind < 3; ++kind) visit(type, kind, quality, fullKey.c_str(), value, isDefault);
        continue;
      }
      // A scene kind the game does not know belongs to no preset.
      const int kind = GetSceneKindByName(loc);
      if (kind >= 0) visit(type, kind, quality, fullKey.c_str(), value, isDefault);
    }
  }
  return true;
}
