// The player's small archive files: versioned reads and whole-file replacement.
#include "util/UserArchiveFile.h"

#include "engine/base/VArchive.h"
#include "engine/base/VisFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool WriteAll(int fd, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= (size_t)n;
  }
  return true;
}

// After the rename the new name lives in the folder's own data; without this a
// power cut could still bring the old file back.
void SyncFolder(const std::string& folder) {
  const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

bool UserArchiveFile::Read(const char* path, const Body& body) {
  if (!path || !*path) return false;
  IVFileInStream* in = Vision::File.Open(path);
  if (!in) return false;
  const bool ok = Read(in, path, body);
  in->Close();
  return ok;
}

bool UserArchiveFile::Read(IVFileInStream* in, const char* name, const Body& body) {
  if (!in) return false;
  VArchive ar(name ? name : "", in, Vision::File.GetManager(), 4096);
  int version = 0;
  ar >> version;
  bool ok = ar.IsOK() && Vision::IsValidArchive(version);
  if (ok) {
    ar.SetLoadingVersion(version);
    body(ar);
    ok = ar.IsOK();
  }
  ar.Close();
  return ok;
}

bool UserArchiveFile::Write(const char* path, const Body& body) {
  if (!path || !*path) return false;
  VSmartPtr<VMemoryStream> memory = new VMemoryStream(path);
  VMemoryOutStream* out = new VMemoryOutStream(memory);
  bool ok = false;
  {
    VArchive ar(path, out, Vision::File.GetManager(), 4096);
    ar << Vision::GetArchiveVersion();
    body(ar);
    ok = ar.IsOK();
    ar.Close();
  }
  out->Close();
  return ok && ReplaceFile(path, memory->GetDataPtr(), (size_t)memory->GetSize());
}

bool UserArchiveFile::ReplaceFile(const char* path, const void* data, size_t size) {
  if (!path || !*path) return false;
  const std::string target = path;
  std::string temp = target + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = WriteAll(fd, data, size);
  // mkstemp makes the file private; these are ordinary files of the user's.
  ok = ok && fchmod(fd, 0644) == 0;
  ok = ok && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    unlink(temp.c_str());
    return false;
  }
  const std::string folder = VFileHelper::GetDirectory(target.c_str());
  SyncFolder(folder);
  VFileHelper::ClearFolderCache(folder.empty() ? "." : folder.c_str());
  return true;
}
