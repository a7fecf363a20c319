// The localisation table: key look-up for the GUI.
#include "Managers/LocalizationTable.h"

#include <string>

LocalizationTable::~LocalizationTable() = default;

CEGUI::String LocalizationTable::GetText(const char* key) {
  std::string k = key ? key : "";
  size_t start = k.find_first_not_of(" \t");
  if (start == std::string::npos) return CEGUI::String();
  size_t end = k.find_last_not_of(" \t\r\n");
  k = k.substr(start, end - start + 1);
  return CEGUI::String(reinterpret_cast<const CEGUI::utf8*>(k.c_str()));
}
