// Where the player's own files live, kept apart from the archive code so that the
// file formats can be read (and fuzzed) without the documents folder.
#include "util/UserArchiveFile.h"

#include "Managers/SaveGameManager.h"
#include "engine/base/VisFile.h"
#include "engine/os/VOs.h"

bool UserArchiveFile::GetUserFilePath(const char* fileName, std::string& out) {
  char documents[V_DOCUMENT_FOLDER_SIZE];
  if (!SaveGameManagerProto::GetInstance()->GetMyDocumentFolder(documents)) return false;
  const std::string folder = VPathHelper::CombineDirAndFile(documents, "Fenwold/Brinemark");
  if (!VFileHelper::MkDirRecursive(folder.c_str())) return false;
  // An existing folder may differ in case; the file is written into it.
  std::string found;
  out = VPathHelper::CombineDirAndFile(VFileHelper::FindCaseInsensitive(folder, found) ? found.c_str() : folder.c_str(),
                                       fileName);
  return true;
}
