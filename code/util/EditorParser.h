// An editor-parser document: the root group of a text in the editor-parser format,
// read from a stream, from memory or from a file of the engine's file manager.
#pragma once

#include "util/EditorParserGroup.h"

#include <cstddef>
#include <istream>

namespace Larkspire {
namespace editor {

class EditorParser {
 public:
  // Starts with an empty root group.
  EditorParser();
  ~EditorParser();
  EditorParser(const EditorParser&) = delete;
  EditorParser& operator=(const EditorParser&) = delete;

  EditorParserGroup* GetRoot() const { return m_pRoot; }

  // Reads the text into the root group; what cannot be read is simply absent.
  void Parse(std::istream& in);
  void Parse(const char* text, size_t size);
  // Reads a file found through Vision::File; false (the document unchanged) when
  // it cannot be opened.
  bool ParseFile(const char* name);

 private:
  VSmartPtr<EditorParserGroup> m_pRoot;
};

}  // namespace editor
}  // namespace Larkspire
