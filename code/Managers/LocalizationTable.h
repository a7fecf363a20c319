// The one source of player-visible text: looks keys up in the player's language,
// whose files are named by the defines file "_lang_defines.txt".
#pragma once

#include "util/Singleton.h"

#include "engine/os/VOs.h"

#include <CEGUI/String.h>

#include <istream>
#include <string>
#include <unordered_map>
#include <vector>

namespace Larkspire {
namespace editor {
class EditorParser;
}
}  // namespace Larkspire

class LocalizationTable : public Singleton<LocalizationTable> {
 public:
  typedef std::unordered_map<std::string, std::wstring> TextMap;
  typedef std::unordered_map<std::string, std::string> NarrowMap;

  // The sub-groups of the defines file's group "Localization", in file order.
  enum DefineGroup { DEFINES_SETTINGS, DEFINES_SOUNDS, DEFINES_MUSIC, DEFINES_PICTURES,
                     DEFINES_MODELS, DEFINES_MOVIES, DEFINES_VOICES, DEFINES_COUNT };

  // Loads the language named by another defines file (a path relative to the
  // working folder, or absolute); GetInstance loads the data folder's one.
  explicit LocalizationTable(const char* definesFile);
  virtual ~LocalizationTable();
  LocalizationTable(const LocalizationTable&) = delete;
  LocalizationTable& operator=(const LocalizationTable&) = delete;

  // The stored text of a key, formatted with the arguments (typed: "%s" takes wide
  // text, "%d" a number; without arguments only "%%" becomes "%"), with every
  // backslash-n turned into a line break. A missing key gives the key itself,
  // trimmed of leading blanks and tabs and of trailing blanks, tabs and line ends.
  template <class... A>
  CEGUI::String GetText(const char* key, const A&... args) {
    const VFormatArg list[] = {VFormatArg(args)..., VFormatArg(0)};
    return GetTextArgs(key, list, (int)sizeof...(A));
  }
  // The same as wide text; a missing key gives the caller's key as it is, each byte
  // one character.
  template <class... A>
  std::wstring GetWideText(const char* key, const A&... args) {
    const VFormatArg list[] = {VFormatArg(args)..., VFormatArg(0)};
    return GetWideTextArgs(key, list, (int)sizeof...(A));
  }
  CEGUI::String GetTextArgs(const char* key, const VFormatArg* args, int count);
  std::wstring GetWideTextArgs(const char* key, const VFormatArg* args, int count);

  // The joke at that position with backslash-n as line breaks; empty outside
  // 0 .. GetJokeCount()-1.
  CEGUI::String GetJoke(int number) const;
  int GetJokeCount() const { return (int)m_jokes.size(); }

  // The sound file of a spoken line (the voices group); "ERROR" and a warning when
  // the key is missing.
  std::string GetNarrowText(const char* key) const;
  // The same look-up in any group of the defines file.
  std::string FindNarrowText(const char* key, const NarrowMap& map) const;
  const NarrowMap& GetDefines(DefineGroup group) const { return m_defines[group]; }

  // The loading steps, open for tools and tests. Reading adds to what is there; a
  // later key replaces an earlier one.
  void LoadDefines(Larkspire::editor::EditorParser& document);
  // Files that cannot be opened are skipped silently.
  void LoadStringFile(const char* path);
  void LoadJokesFile(const char* path);
  // "key = text" lines of UTF-8 text; lines without "=" are skipped.
  void ReadStrings(std::istream& in);
  // Empties the jokes and reads one joke per line; blank lines are no jokes.
  void ReadJokes(std::istream& in);
  const TextMap& GetTexts() const { return m_texts; }

 private:
  friend class Singleton<LocalizationTable>;
  LocalizationTable();

  void LoadFromDefinesFile(const char* definesFile);
  bool ReadDefine(const char* key, std::string& value) const;
  std::string InFolder(const std::string& name) const;
  static void CheckByteOrderMark(const std::string& firstLine);

  TextMap m_texts;
  NarrowMap m_defines[DEFINES_COUNT];
  std::vector<std::wstring> m_jokes;
  // The language files are named relative to this folder (empty: the working folder).
  std::string m_folder;
};

// 8-bit text of the system code page as wide text.
std::wstring ToWideText(const char* text);
inline std::wstring NarrowToWide(const char* text) { return ToWideText(text); }
