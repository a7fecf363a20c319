// One group of the editor-parser text format: its entries (sorted by key), its
// plain lines and its named sub-groups; reads its body from a text stream.
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/base/VString.h"

#include <istream>
#include <map>
#include <utility>
#include <vector>

namespace Larkspire {
namespace editor {

class EditorParserGroup : public VRefCounter {
 public:
  typedef std::map<VString, VString> ValueMap;
  typedef std::map<VString, VSmartPtr<EditorParserGroup>> GroupMap;

  // Hostile input stays cheap: a line longer than this (before any comment) is
  // dropped, groups nested deeper are skipped, and reading stops once the text
  // stored by one Parse, inherited copies included, would exceed the last figure.
  static constexpr size_t MaxLineLength = 64 * 1024;
  static constexpr int MaxDepth = 64;
  static constexpr size_t MaxStoredBytes = 16 * 1024 * 1024;

  EditorParserGroup() = default;
  ~EditorParserGroup() override = default;
  EditorParserGroup(const EditorParserGroup&) = delete;
  EditorParserGroup& operator=(const EditorParserGroup&) = delete;

  // Reads a group body from the stream's current position up to its closing "}"
  // line or the end of the stream; a "}" line is consumed. A line of nothing but
  // spaces and tabs counts as empty, so it never takes a header's place.
  void Parse(std::istream& in);

  // The sub-group of that name; a missing one is created empty and kept.
  EditorParserGroup* GetSubGroup(const char* name);

  int GetValueCount() const { return (int)m_values.size(); }
  // The entry at that position in ascending key order; an empty pair outside
  // 0 .. GetValueCount()-1.
  std::pair<VString, VString> GetValue(int index) const;

  const ValueMap& GetValues() const { return m_values; }
  const std::vector<VString>& GetPlainLines() const { return m_plainLines; }
  const GroupMap& GetSubGroups() const { return m_subGroups; }

 private:
  class LineReader;
  struct ParseContext;

  void ParseBody(LineReader& reader, ParseContext& ctx, int depth);
  void ReadSubGroup(const std::string& header, LineReader& reader, ParseContext& ctx, int depth);
  void AddLine(const std::string& line, ParseContext& ctx);
  void CopyContentFrom(const EditorParserGroup& base);
  void InvalidateIndex() { m_indexValid = false; }

  ValueMap m_values;
  std::vector<VString> m_plainLines;
  GroupMap m_subGroups;
  // Bytes charged for this group's own entries and lines, for the copy budget.
  size_t m_contentBytes = 0;

  // GetValue walks on from the last position asked, so a loop over all indices
  // stays linear.
  mutable bool m_indexValid = false;
  mutable int m_cachedIndex = 0;
  mutable ValueMap::const_iterator m_cachedIt;
};

}  // namespace editor
}  // namespace Larkspire
