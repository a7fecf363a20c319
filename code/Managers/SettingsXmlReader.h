// Reads the quality presets of settings.xml: every "Setting" of a "Settings" element
// of a known family, handed on once for each scene kind it applies to.
#pragma once

#include "Managers/SettingType.h"

#include <functional>
#include <string>

class SettingsXmlReader {
 public:
  // family, scene kind (0 world, 1 land, 2 sea), quality name, key ("<family>_<key>"),
  // value and the preset's default flag. Texts are never null.
  typedef std::function<void(eSettingType, int, const char*, const char*, const char*, bool)> Visitor;

  // The parser reads nested elements recursively: a text with more tags than this is
  // refused before it is parsed, so a broken file cannot exhaust the stack.
  static constexpr int MaxTags = 4096;

  // False with the parser's error text when the document does not parse.
  static bool Read(const char* text, const Visitor& visit, std::string& error);
  // "SSAO", "Shadows", "Anisotropic", "Vsync", "Windowed"; null for the resolution.
  static const char* GetTypeName(eSettingType type);
  // A family by its XML name; SETTING_RESOLUTION for none.
  static eSettingType GetTypeByName(const char* name);
  // 0, 1, 2 for "WORLD", "LAND", "SEA"; -1 for anything else.
  static int GetSceneKindByName(const char* name);
};
