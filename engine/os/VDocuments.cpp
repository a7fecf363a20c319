// The user's documents folder, where the game keeps settings, saves and update.bin.
#include "engine/os/VOs.h"

#include "engine/base/VisError.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* NonEmptyEnv(const char* name) {
  const char* value = getenv(name);
  return value && *value ? value : nullptr;
}

}  // namespace

bool VGetDocumentsFolder(std::string& out) {
  if (const char* dir = NonEmptyEnv("ENGINE_DOCUMENTS_DIR")) {
    out = dir;
  } else if (const char* xdg = NonEmptyEnv("XDG_DOCUMENTS_DIR")) {
    out = xdg;
  } else if (const char* home = NonEmptyEnv("HOME")) {
    out = std::string(home) + "/Documents";
  } else {
    return false;
  }
  // Callers append "/Fenwold/..." themselves.
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  return true;
}

int VGetMyDocumentFolder(char* out) {
  if (!out) {
    Vision::Error.SystemMessage("GetMyDocumentFolder: Invalid parameter");
    return 0;
  }
  std::string folder;
  if (!VGetDocumentsFolder(folder)) return 0;
  if (folder.size() + 1 > V_DOCUMENT_FOLDER_SIZE) {
    Vision::Error.SystemMessage("GetMyDocumentFolder: Insufficient buffer");
    return 0;
  }
  memcpy(out, folder.c_str(), folder.size() + 1);
  return 1;
}
