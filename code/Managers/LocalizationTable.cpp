// The localisation table: the defines file, the string and jokes files, and the
// look-ups by key.
#include "Managers/LocalizationTable.h"

#include "util/EditorParser.h"
#include "util/FileInStreamBuf.h"

#include "engine/base/VString.h"
#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"

#include <utf8.h>

#include <algorithm>
#include <iterator>

using Larkspire::editor::EditorParser;
using Larkspire::editor::EditorParserGroup;

namespace {

const char* const kDefineGroupNames[LocalizationTable::DEFINES_COUNT] = {
    "settings", "sounds", "music", "pictures", "models", "movies", "voices"};

std::string Trim(const std::string& text, const char* leading, const char* trailing) {
  const size_t start = text.find_first_not_of(leading);
  if (start == std::string::npos) return std::string();
  const size_t end = text.find_last_not_of(trailing);
  if (end == std::string::npos || end < start) return std::string();
  return text.substr(start, end - start + 1);
}

// The trimming GetText applies to the caller's key.
std::string TrimKey(const char* key) { return Trim(key ? key : "", " \t", " \t\r\n"); }

void ReplaceLineBreaks(std::wstring& text) {
  size_t to = 0;
  for (size_t from = 0; from < text.size(); ++from, ++to) {
    if (text[from] == L'\\' && from + 1 < text.size() && text[from + 1] == L'n') {
      text[to] = L'\n';
      ++from;
    } else {
      text[to] = text[from];
    }
  }
  text.resize(to);
}

CEGUI::String ToGuiString(const std::wstring& text) {
  const std::string utf8 = VWideToUTF8(text.c_str());
  return CEGUI::String(reinterpret_cast<const CEGUI::utf8*>(utf8.c_str()));
}

// The bytes [from, end) of a line as wide text, but only as far as the line is
// valid UTF-8 counted from its start: the rest of the line is dropped.
std::wstring DecodeLinePart(const std::string& line, size_t from) {
  std::wstring out;
  const size_t valid = (size_t)(utf8::find_invalid(line.begin(), line.end()) - line.begin());
  if (from < valid) utf8::unchecked::utf8to32(line.begin() + from, line.begin() + valid, std::back_inserter(out));
  return out;
}

// Opens a file named relative to the working folder (or absolute), without regard
// to case; the caller closes it.
IVFileInStream* OpenFromWorkingFolder(const std::string& path) {
  std::string found;
  if (path.empty() || !VFileHelper::FindCaseInsensitive(path, found)) return nullptr;
  if (!VFileHelper::IsAbsolutePath(found.c_str())) {
    char cwd[4096];
    if (!VFileHelper::GetCurrentDirectory(cwd, (int)sizeof(cwd))) return nullptr;
    found = VPathHelper::CombineDirAndFile(cwd, found.c_str());
  }
  if (!VFileHelper::ExistsFile(found.c_str())) return nullptr;
  return Vision::File.Open(found.c_str());
}

}  // namespace

LocalizationTable::LocalizationTable() {
  VString folder;
  folder.Format("%s\\localization", "..\\..\\..\\data");
  LoadFromDefinesFile(VPathHelper::CombineDirAndFile(folder.AsChar(), "_lang_defines.txt").c_str());
}

LocalizationTable::LocalizationTable(const char* definesFile) { LoadFromDefinesFile(definesFile); }

LocalizationTable::~LocalizationTable() = default;

void LocalizationTable::LoadFromDefinesFile(const char* definesFile) {
  EditorParser document;
  if (IVFileInStream* file = OpenFromWorkingFolder(definesFile ? definesFile : "")) {
    FileInStreamBuf buffer(file);
    std::istream in(&buffer);
    document.Parse(in);
  }
  LoadDefines(document);
}

void LocalizationTable::LoadDefines(EditorParser& document) {
  EditorParserGroup* localization = document.GetRoot()->GetSubGroup("Localization");
  for (int g = 0; g < DEFINES_COUNT; ++g) {
    const EditorParserGroup* group = localization->GetSubGroup(kDefineGroupNames[g]);
    for (const auto& entry : group->GetValues()) m_defines[g][entry.first.Str()] = entry.second.Str();
  }

  std::string name;
  ReadDefine("stringfile", name);
  LoadStringFile(InFolder(name).c_str());
  name.clear();
  ReadDefine("jokesfile", name);
  LoadJokesFile(InFolder(name).c_str());
}

std::string LocalizationTable::InFolder(const std::string& name) const {
  // The engine's join would make an absolute name relative; with no folder the
  // name stands as it is.
  if (m_folder.empty() || name.empty()) return name;
  return VPathHelper::CombineDirAndFile(m_folder.c_str(), name.c_str());
}

bool LocalizationTable::ReadDefine(const char* key, std::string& value) const {
  const NarrowMap& settings = m_defines[DEFINES_SETTINGS];
  const auto it = settings.find(key);
  if (it == settings.end()) {
    Vision::Error.Warning("Missing localization settings key: %s", key);
    return false;
  }
  value = it->second;
  return true;
}

void LocalizationTable::CheckByteOrderMark(const std::string& firstLine) {
  if (firstLine.size() > 2 && (unsigned char)firstLine[0] == 0xEF && (unsigned char)firstLine[1] == 0xBB &&
      (unsigned char)firstLine[2] == 0xBF)
    Vision::Error.Warning("There is a byte order mark at the beginning of the file");
}

void LocalizationTable::LoadStringFile(const char* path) {
  IVFileInStream* file = OpenFromWorkingFolder(path ? path : "");
  if (!file) return;
  FileInStreamBuf buffer(file);
  std::istream in(&buffer);
  ReadStrings(in);
}

void LocalizationTable::ReadStrings(std::istream& in) {
  std::string line;
  for (bool first = true; std::getline(in, line); first = false) {
    // The mark is only reported: it stays part of the first key.
    if (first) CheckByteOrderMark(line);
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = Trim(line.substr(0, equals), " \t\r\n", " \t\r\n");

    std::wstring value = DecodeLinePart(line, equals + 1);
    value.erase(0, std::min(value.find_first_not_of(L' '), value.size()));
    std::erase(value, L'\r');
    m_texts[key] = std::move(value);
  }
}

void LocalizationTable::LoadJokesFile(const char* path) {
  m_jokes.clear();
  IVFileInStream* file = OpenFromWorkingFolder(path ? path : "");
  if (!file) return;
  FileInStreamBuf buffer(file);
  std::istream in(&buffer);
  ReadJokes(in);
}

void LocalizationTable::ReadJokes(std::istream& in) {
  m_jokes.clear();
  std::string line;
  for (bool first = true; std::getline(in, line); first = false) {
    if (first) CheckByteOrderMark(line);
    std::wstring joke = DecodeLinePart(line, 0);
    // A blank line (of a CR-LF file too) would be a joke with nothing to show.
    if (joke.empty() || joke == L"\r") continue;
    m_jokes.push_back(std::move(joke));
  }
}

std::wstring LocalizationTable::GetWideTextArgs(const char* key, const VFormatArg* args, int count) {
  const auto it = m_texts.find(TrimKey(key));
  if (it == m_texts.end()) {
    std::wstring widened;
    for (const char* p = key ? key : ""; *p; ++p) widened += (wchar_t)(unsigned char)*p;
    return widened;
  }
  std::wstring text = VFormatWide(it->second.c_str(), args, count);
  ReplaceLineBreaks(text);
  return text;
}

CEGUI::String LocalizationTable::GetTextArgs(const char* key, const VFormatArg* args, int count) {
  const std::string trimmed = TrimKey(key);
  const auto it = m_texts.find(trimmed);
  if (it == m_texts.end()) return ToGuiString(VNarrowToWide(trimmed.c_str()));
  std::wstring text = VFormatWide(it->second.c_str(), args, count);
  ReplaceLineBreaks(text);
  return ToGuiString(text);
}

CEGUI::String LocalizationTable::GetJoke(int number) const {
  if (number < 0 || number >= GetJokeCount()) return CEGUI::String();
  std::wstring text = m_jokes[(size_t)number];
  ReplaceLineBreaks(text);
  return ToGuiString(text);
}

std::string LocalizationTable::GetNarrowText(const char* key) const {
  return FindNarrowText(key, m_defines[DEFINES_VOICES]);
}

std::string LocalizationTable::FindNarrowText(const char* key, const NarrowMap& map) const {
  const auto it = map.find(key ? key : "");
  if (it != map.end()) return it->second;
  Vision::Error.Warning("Missing localization file key: %s", key ? key : "");
  return "ERROR";
}

std::wstring ToWideText(const char* text) { return VNarrowToWide(text); }
