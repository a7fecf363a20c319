// An editor-parser document over its root group.
#include "util/EditorParser.h"

#include "util/FileInStreamBuf.h"

#include "engine/base/VisFile.h"

namespace Larkspire {
namespace editor {

EditorParser::EditorParser() : m_pRoot(new EditorParserGroup()) {}

EditorParser::~EditorParser() = default;

void EditorParser::Parse(std::istream& in) { m_pRoot->Parse(in); }

void EditorParser::Parse(const char* text, size_t size) {
  FileInStreamBuf buf(new VMemoryInStream(text, size, "<editor text>"));
  std::istream in(&buf);
  m_pRoot->Parse(in);
}

bool EditorParser::ParseFile(const char* name) {
  IVFileInStream* file = name ? Vision::File.Open(name) : nullptr;
  if (!file) return false;
  FileInStreamBuf buf(file);
  std::istream in(&buf);
  m_pRoot->Parse(in);
  return true;
}

}  // namespace editor
}  // namespace Larkspire
