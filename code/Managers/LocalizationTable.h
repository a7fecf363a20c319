// The one source of player-visible text: looks keys up in the player's language.
// The language files are not read yet, so every key stands for itself.
#pragma once

#include "util/Singleton.h"

#include <CEGUI/String.h>

class LocalizationTable : public Singleton<LocalizationTable> {
 public:
  virtual ~LocalizationTable();

  // The GUI text of a key; a missing key gives the key itself, trimmed of leading
  // blanks and tabs and of trailing blanks, tabs and line ends.
  CEGUI::String GetText(const char* key);

 private:
  friend class Singleton<LocalizationTable>;
  LocalizationTable() = default;
};
