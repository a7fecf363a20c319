// The built-in file-stream manager over the data folders and the output folder.
#include "engine/base/VDiskFileStreamManager.h"

#include "engine/base/VFileStreams.h"
#include "engine/base/VisFile.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace {
// Normalised name with leading separators dropped.
std::string RelativeName(const char* name) {
  std::string n = VFileHelper::NormalizePath(name);
  size_t i = 0;
  while (i < n.size() && n[i] == '/') ++i;
  return n.substr(i);
}

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}
}  // namespace

VDiskFileStreamManager::VDiskFileStreamManager() : m_dirs(MAX_DATA_DIRECTORIES) {}

bool VDiskFileStreamManager::ResolveDirectory(const char* dir, std::string& out) {
  if (!dir || !*dir) return false;
  std::string path = VFileHelper::NormalizePath(dir);
  if (!VFileHelper::IsAbsolutePath(path.c_str())) {
    char cwd[4096];
    if (!VFileHelper::GetCurrentDirectory(cwd, (int)sizeof(cwd))) return false;
    path = VPathHelper::CombineDirAndFile(cwd, path.c_str());
  }
  std::string found;
  if (!VFileHelper::FindCaseInsensitive(path, found)) return false;
  char real[PATH_MAX];
  if (!realpath(found.c_str(), real)) return false;
  struct stat st;
  if (stat(real, &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  out = real;
  return true;
}

bool VDiskFileStreamManager::SetDataDirectory(int index, const char* dir) {
  if (index < 0 || index >= MAX_DATA_DIRECTORIES) return false;
  if (!dir || !*dir) {
    m_dirs[index].clear();
    return true;
  }
  std::string abs;
  if (!ResolveDirectory(dir, abs)) return false;
  m_dirs[index] = abs;
  return true;
}

const char* VDiskFileStreamManager::GetDataDirectory(int index) {
  if (index < 0 || index >= MAX_DATA_DIRECTORIES || m_dirs[index].empty()) return nullptr;
  return m_dirs[index].c_str();
}

bool VDiskFileStreamManager::SetOutputDirectory(const char* dir) {
  std::string abs;
  if (!ResolveDirectory(dir, abs)) return false;
  m_output = abs;
  return true;
}

bool VDiskFileStreamManager::Resolve(const char* name, std::string& path, std::string& dataDir) const {
  if (!name || !*name) return false;
  std::string found;
  if (VFileHelper::IsAbsolutePath(name) && VFileHelper::FindCaseInsensitive(VFileHelper::NormalizePath(name), found) &&
      IsRegularFile(found)) {
    path = found;
    dataDir.clear();
    return true;
  }
  const std::string rel = RelativeName(name);
  if (rel.empty()) return false;
  for (const std::string& dir : m_dirs) {
    if (dir.empty()) continue;
    if (VFileHelper::FindCaseInsensitive(VPathHelper::CombineDirAndFile(dir.c_str(), rel.c_str()), found) &&
        IsRegularFile(found)) {
      path = found;
      dataDir = dir;
      return true;
    }
  }
  return false;
}

bool VDiskFileStreamManager::ResolveForWriting(const char* name, std::string& path) const {
  if (!name || !*name) return false;
  std::string target;
  const std::string norm = VFileHelper::NormalizePath(name);
  if (VFileHelper::IsAbsolutePath(name) && VFileHelper::ExistsDir(VFileHelper::GetDirectory(norm.c_str()).c_str())) {
    target = norm;
  } else {
    const std::string rel = RelativeName(name);
    if (rel.empty() || rel.back() == '/') return false;
    if (m_output.empty()) {
      char cwd[4096];
      if (!VFileHelper::GetCurrentDirectory(cwd, (int)sizeof(cwd))) return false;
      target = VPathHelper::CombineDirAndFile(cwd, rel.c_str());
    } else {
      target = VPathHelper::CombineDirAndFile(m_output.c_str(), rel.c_str());
    }
  }
  // Reuse the case of an existing file or folder; the file itself may be new.
  std::string found;
  if (VFileHelper::FindCaseInsensitive(target, found)) {
    path = found;
    return IsRegularFile(found);
  }
  const std::string dir = VFileHelper::GetDirectory(target.c_str());
  const size_t cut = target.find_last_of('/');
  const std::string file = cut == std::string::npos ? target : target.substr(cut + 1);
  if (dir.empty()) {
    path = target;
    return true;
  }
  if (!VFileHelper::FindCaseInsensitive(dir, found)) return false;
  struct stat st;
  if (stat(found.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  path = VPathHelper::CombineDirAndFile(found.c_str(), file.c_str());
  return true;
}

IVFileInStream* VDiskFileStreamManager::Open(const char* name, int flags) {
  std::string path, dataDir;
  if (!Resolve(name, path, dataDir)) return nullptr;
  return VDiskFileInStream::Open(path, dataDir);
}

IVFileOutStream* VDiskFileStreamManager::Create(const char* name, int flags) {
  std::string path;
  if (!ResolveForWriting(name, path)) return nullptr;
  VDiskFileOutStream* s = VDiskFileOutStream::Create(path);
  // The folder's cached listing does not know the new file yet.
  if (s) VFileHelper::ClearFolderCache(VFileHelper::GetDirectory(path.c_str()).c_str());
  return s;
}

bool VDiskFileStreamManager::Exists(const char* name, int flags) {
  std::string path, dataDir;
  return Resolve(name, path, dataDir);
}

bool VDiskFileStreamManager::GetTimeStamp(const char* name, VFileTime& out) {
  std::string path, dataDir;
  if (!Resolve(name, path, dataDir)) return false;
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return false;
  out.seconds = (int64_t)st.st_mtime;
  return true;
}
