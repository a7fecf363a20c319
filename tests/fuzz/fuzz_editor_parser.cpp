// The editor-parser reader over arbitrary bytes: no crash, no sanitizer report, and
// every document it builds keeps the shape the format promises.
// fuzz-sources: code/util/EditorParser.cpp code/util/EditorParserGroup.cpp code/util/FileInStreamBuf.cpp
#include "util/EditorParser.h"

#include <cstdint>
#include <cstdlib>
#include <set>

using Larkspire::editor::EditorParser;
using Larkspire::editor::EditorParserGroup;

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
// Lines lose leading spaces and tabs only; a leading carriage return stays.
bool IsIndent(char c) { return c == ' ' || c == '\t'; }

void Require(bool condition) {
  if (!condition) abort();
}

// Shared sub-groups are visited once, so the walk stays linear.
void Check(const EditorParserGroup* group, int depth, std::set<const EditorParserGroup*>& seen) {
  Require(depth <= EditorParserGroup::MaxDepth);
  if (!seen.insert(group).second) return;

  const int count = group->GetValueCount();
  Require(count == (int)group->GetValues().size());
  for (int i = 0; i < count; ++i) {
    const std::pair<VString, VString> entry = group->GetValue(i);
    const std::string& key = entry.first.Str();
    const std::string& value = entry.second.Str();
    Require(key.empty() || (key[0] != '=' && !IsIndent(key[0]) && !IsBlank(key.back())));
    Require(key.find('\n') == std::string::npos && key.find("//") == std::string::npos);
    Require(value.empty() || (!IsBlank(value[0]) && !IsBlank(value.back())));
    Require(value.find('\n') == std::string::npos && value.find("//") == std::string::npos);
    if (i > 0) Require(group->GetValue(i - 1).first < entry.first);
  }
  Require(group->GetValue(count).first.IsEmpty());

  for (const VString& line : group->GetPlainLines()) {
    const std::string& s = line.Str();
    Require(!s.empty() && s != "{" && s != "}" && s.size() <= EditorParserGroup::MaxLineLength);
    Require(s.find('=') == std::string::npos || s[0] == '=');
    Require(!IsIndent(s[0]) && !IsBlank(s.back()) && s.find('\n') == std::string::npos);
  }
  for (const auto& entry : group->GetSubGroups()) {
    Require(entry.second.GetPtr() != nullptr);
    Check(entry.second, depth + 1, seen);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  EditorParser doc;
  doc.Parse(reinterpret_cast<const char*>(data), size);
  std::set<const EditorParserGroup*> seen;
  Check(doc.GetRoot(), 0, seen);
  return 0;
}
