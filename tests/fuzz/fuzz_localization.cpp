// The localisation string-file and jokes reader over arbitrary bytes: no crash, no
// sanitizer report, and every entry keeps the shape the reader promises; every text
// then formats and converts for the GUI.
// fuzz-sources: code/Managers/LocalizationTable.cpp code/util/EditorParser.cpp code/util/EditorParserGroup.cpp code/util/FileInStreamBuf.cpp engine/os/VFormatWide.cpp engine/os/VTextConversion.cpp
// fuzz-libs: PkgConfig::CEGUI utf8cpp
#include "Managers/LocalizationTable.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

void Require(bool condition) {
  if (!condition) abort();
}

bool IsKeyBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsScalarValue(wchar_t c) { return (uint32_t)c <= 0x10FFFF && ((uint32_t)c < 0xD800 || (uint32_t)c > 0xDFFF); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  // No defines file: the table starts empty and reads the bytes directly.
  LocalizationTable table("<no defines file>");

  std::istringstream strings(bytes);
  table.ReadStrings(strings);
  for (const auto& entry : table.GetTexts()) {
    const std::string& key = entry.first;
    const std::wstring& text = entry.second;
    Require(key.empty() || (!IsKeyBlank(key.front()) && !IsKeyBlank(key.back())));
    Require(key.find('=') == std::string::npos && key.find('\n') == std::string::npos);
    Require(text.find(L'\r') == std::wstring::npos && text.find(L'\n') == std::wstring::npos);
    for (wchar_t c : text) Require(IsScalarValue(c));
    Require(text.size() <= size);

    // The stored text is a format: with and without (typed) arguments.
    table.GetText(key.c_str());
    table.GetText(key.c_str(), L"wide", 7, 2.5f);
    table.GetWideText(key.c_str(), L"wide", -1, 1e300);
  }

  std::istringstream jokes(bytes);
  table.ReadJokes(jokes);
  Require(table.GetJokeCount() <= (int)size);
  for (int i = -1; i <= table.GetJokeCount(); ++i) {
    const CEGUI::String joke = table.GetJoke(i);
    if (i < 0 || i >= table.GetJokeCount()) Require(joke.empty());
  }
  return 0;
}
