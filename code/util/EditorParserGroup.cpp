// One group of the editor-parser text format and the reading of its body.
#include "util/EditorParserGroup.h"

#include "engine/base/VisError.h"

#include <iterator>
#include <string>

namespace Larkspire {
namespace editor {

namespace {
// Rough cost of one stored entry, line or group beyond its text (nodes, headers).
constexpr size_t kItemOverhead = 64;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

void TrimTrailing(std::string& s) {
  size_t end = s.size();
  while (end > 0 && IsBlank(s[end - 1])) --end;
  s.resize(end);
}

void TrimLeading(std::string& s, bool spacesAndTabsOnly) {
  size_t start = 0;
  while (start < s.size() && (spacesAndTabsOnly ? (s[start] == ' ' || s[start] == '\t') : IsBlank(s[start]))) ++start;
  s.erase(0, start);
}
}  // namespace

// Hands out prepared lines: comment cut, blanks trimmed, empty lines skipped.
class EditorParserGroup::LineReader {
 public:
  explicit LineReader(std::istream& in) : m_in(in), m_buf(in.rdbuf()) {}

  int GetLineNumber() const { return m_lineNumber; }

  // The next non-empty prepared line; false at the end of the input.
  bool Next(std::string& out) {
    while (ReadRaw(out)) {
      TrimTrailing(out);
      TrimLeading(out, true);
      if (!out.empty()) return true;
    }
    return false;
  }

  // Consumes the body of a group that is not kept, line for line as Parse would
  // read it, without recursion.
  void SkipBody() {
    std::string line;
    size_t open = 1;
    bool first = true;
    while (open > 0 && Next(line)) {
      if (first) {
        first = false;
        if (line[0] == '}') --open;
      } else if (line[0] == '{') {
        ++open;
        first = true;
      } else if (line[0] == '}') {
        --open;
      }
    }
  }

 private:
  // One raw line up to its line feed, without the comment; an overlong line comes
  // back empty. False when the input had nothing left.
  bool ReadRaw(std::string& out) {
    out.clear();
    if (m_atEnd || !m_buf) return false;
    bool any = false;
    bool comment = false;
    bool overlong = false;
    for (;;) {
      const std::streambuf::int_type c = m_buf->sbumpc();
      if (std::streambuf::traits_type::eq_int_type(c, std::streambuf::traits_type::eof())) {
        m_atEnd = true;
        m_in.setstate(std::ios::eofbit);
        if (!any) return false;
        break;
      }
      any = true;
      const char ch = std::streambuf::traits_type::to_char_type(c);
      if (ch == '\n') break;
      if (comment || overlong) continue;
      if (ch == '/' && !out.empty() && out.back() == '/') {
        out.pop_back();
        comment = true;
        continue;
      }
      // One byte of slack so a "//" straddling the limit is still seen as a comment.
      if (out.size() > MaxLineLength) {
        overlong = true;
        continue;
      }
      out.push_back(ch);
    }
    ++m_lineNumber;
    if (overlong || out.size() > MaxLineLength) {
      if (!m_warnedLong) {
        m_warnedLong = true;
        Vision::Error.Warning("Editor parser: line %d is longer than %zu bytes and was dropped", m_lineNumber, MaxLineLength);
      }
      out.clear();
    }
    return true;
  }

  std::istream& m_in;
  std::streambuf* m_buf;
  int m_lineNumber = 0;
  bool m_atEnd = false;
  bool m_warnedLong = false;
};

// Everything one call of Parse shares across the levels it reads.
struct EditorParserGroup::ParseContext {
  explicit ParseContext(const LineReader& r) : reader(r) {}

  const LineReader& reader;
  size_t stored = 0;
  bool stopped = false;
  bool warnedDepth = false;
  bool warnedSize = false;

  // Books the bytes, or stops the reading when they do not fit.
  bool Charge(size_t bytes) {
    if (stopped) return false;
    if (bytes > MaxStoredBytes - stored) {
      stopped = true;
      if (!warnedSize) {
        warnedSize = true;
        Vision::Error.Warning("Editor parser: text larger than %zu bytes, reading stopped at line %d", MaxStoredBytes,
                              reader.GetLineNumber());
      }
      return false;
    }
    stored += bytes;
    return true;
  }
};

void EditorParserGroup::Parse(std::istream& in) {
  if (!in.good() || !in.rdbuf()) return;
  LineReader reader(in);
  ParseContext ctx(reader);
  ParseBody(reader, ctx, 0);
}

void EditorParserGroup::ParseBody(LineReader& reader, ParseContext& ctx, int depth) {
  // The pending line only becomes an entry or plain line once the next line shows
  // it is not a group header.
  std::string pending;
  std::string current;
  if (!reader.Next(pending) || pending[0] == '}') return;
  for (;;) {
    if (!reader.Next(current)) {
      AddLine(pending, ctx);
      return;
    }
    if (current[0] == '{') {
      ReadSubGroup(pending, reader, ctx, depth);
      pending.clear();
    } else {
      AddLine(pending, ctx);
      if (current[0] == '}') return;
      pending.swap(current);
    }
    if (ctx.stopped) return;
  }
}

void EditorParserGroup::ReadSubGroup(const std::string& header, LineReader& reader, ParseContext& ctx, int depth) {
  std::string name = header;
  std::string base;
  const size_t colon = header.find(':');
  if (colon != std::string::npos) {
    name = header.substr(0, colon);
    base = header.substr(colon + 1);
    TrimTrailing(name);
    TrimLeading(base, false);
  }

  if (depth >= MaxDepth) {
    if (!ctx.warnedDepth) {
      ctx.warnedDepth = true;
      Vision::Error.Warning("Editor parser: groups nested deeper than %d levels were skipped (line %d)", MaxDepth,
                            reader.GetLineNumber());
    }
    reader.SkipBody();
    return;
  }
  if (!ctx.Charge(name.size() + kItemOverhead)) return;

  VSmartPtr<EditorParserGroup> group = new EditorParserGroup();
  if (!base.empty()) {
    // Only an earlier sibling can be a base; anything else starts the group empty.
    GroupMap::const_iterator it = m_subGroups.find(VString(base));
    if (it != m_subGroups.end()) {
      if (!ctx.Charge(it->second->m_contentBytes)) return;
      group->CopyContentFrom(*it->second);
    }
  }
  group->ParseBody(reader, ctx, depth + 1);
  // Kept even when the reading stopped inside it: what was read so far stays.
  m_subGroups[VString(name)] = group;
}

void EditorParserGroup::AddLine(const std::string& line, ParseContext& ctx) {
  if (line.empty() || line == "{" || line == "}") return;
  const size_t eq = line.find('=');
  if (eq == std::string::npos || eq == 0) {
    const size_t cost = line.size() + kItemOverhead;
    if (!ctx.Charge(cost)) return;
    m_plainLines.push_back(VString(line));
    m_contentBytes += cost;
    return;
  }
  std::string key = line.substr(0, eq);
  std::string value = line.substr(eq + 1);
  TrimTrailing(key);
  TrimLeading(value, false);
  const size_t cost = key.size() + value.size() + kItemOverhead;
  if (!ctx.Charge(cost)) return;
  ValueMap::iterator it = m_values.find(VString(key));
  if (it != m_values.end()) {
    // A replaced value gives its share of the group's size back.
    m_contentBytes -= key.size() + it->second.GetLength() + kItemOverhead;
    it->second = VString(value);
  } else {
    m_values.emplace(VString(key), VString(value));
  }
  m_contentBytes += cost;
  InvalidateIndex();
}

void EditorParserGroup::CopyContentFrom(const EditorParserGroup& base) {
  m_values = base.m_values;
  m_plainLines = base.m_plainLines;
  // Sub-groups are shared with the base, not copied.
  m_subGroups = base.m_subGroups;
  m_contentBytes = base.m_contentBytes;
  InvalidateIndex();
}

EditorParserGroup* EditorParserGroup::GetSubGroup(const char* name) {
  VSmartPtr<EditorParserGroup>& slot = m_subGroups[VString(name)];
  if (!slot) slot = new EditorParserGroup();
  return slot;
}

std::pair<VString, VString> EditorParserGroup::GetValue(int index) const {
  if (index < 0 || index >= GetValueCount()) return {};
  if (!m_indexValid || index < m_cachedIndex) {
    m_cachedIt = m_values.begin();
    m_cachedIndex = 0;
    m_indexValid = true;
  }
  std::advance(m_cachedIt, index - m_cachedIndex);
  m_cachedIndex = index;
  return {m_cachedIt->first, m_cachedIt->second};
}

}  // namespace editor
}  // namespace Larkspire
