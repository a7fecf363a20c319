// The file manager (Vision::File), path and folder helpers, and the program folder.
#include "engine/base/VisFile.h"

#include "engine/base/VDiskFileStreamManager.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <map>
#include <mutex>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Vision {
VisFile_cl File;
}  // namespace Vision

// Folder listings ----------------------------------------------------------------

namespace {
struct FolderCache {
  std::mutex lock;
  std::map<std::string, std::vector<std::string>> listings;  // by canonical folder path
};
FolderCache& Cache() {
  static FolderCache c;
  return c;
}

bool PathExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

std::string CanonicalKey(const std::string& dir) {
  char real[PATH_MAX];
  return realpath(dir.empty() ? "." : dir.c_str(), real) ? std::string(real) : std::string();
}

// Finds the entry of the folder that matches the name without regard to case.
bool FindInFolder(const std::string& dir, const std::string& name, std::string& match) {
  const std::string key = CanonicalKey(dir);
  if (key.empty()) return false;
  FolderCache& c = Cache();
  std::lock_guard<std::mutex> guard(c.lock);
  auto it = c.listings.find(key);
  if (it == c.listings.end()) {
    std::vector<std::string> names;
    if (DIR* d = opendir(key.c_str())) {
      while (dirent* e = readdir(d)) {
        if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0) names.push_back(e->d_name);
      }
      closedir(d);
    } else {
      return false;
    }
    std::sort(names.begin(), names.end());
    it = c.listings.emplace(key, std::move(names)).first;
  }
  for (const std::string& n : it->second) {
    if (strcasecmp(n.c_str(), name.c_str()) == 0) {
      match = n;
      return true;
    }
  }
  return false;
}

std::string Join(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  if (dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

// Walks a normalised path one name at a time: cur starts as "/" or "" and step(cur,
// name, candidate) is called with candidate = cur joined with name; step moves cur
// on, or returns false to stop the walk (which then returns false).
template <class Step>
bool WalkPath(const std::string& norm, std::string& cur, Step&& step) {
  cur = !norm.empty() && norm[0] == '/' ? "/" : "";
  size_t pos = 0;
  while (pos < norm.size()) {
    size_t next = norm.find('/', pos);
    if (next == std::string::npos) next = norm.size();
    const std::string name = norm.substr(pos, next - pos);
    pos = next + 1;
    if (name.empty()) continue;
    if (!step(cur, name, Join(cur, name))) return false;
  }
  return true;
}
}  // namespace

// VFileHelper --------------------------------------------------------------------

std::string VFileHelper::NormalizePath(const char* path) {
  std::string out;
  if (!path) return out;
  for (const char* p = path; *p; ++p) {
    const char c = *p == '\\' ? '/' : *p;
    if (c == '/' && !out.empty() && out.back() == '/') continue;
    out += c;
  }
  return out;
}

std::string VFileHelper::GetCacheKey(const char* name) {
  std::string key = NormalizePath(name);
  if (!key.empty() && key[0] == '/') key.erase(0, 1);  // repeated ones are collapsed
  for (char& c : key) c = (char)tolower((unsigned char)c);
  return key;
}

bool VFileHelper::IsAbsolutePath(const char* path) { return path && path[0] == '/'; }

bool VFileHelper::FindCaseInsensitive(const std::string& path, std::string& out) {
  const std::string norm = NormalizePath(path.c_str());
  if (norm.empty()) return false;
  if (PathExists(norm)) {
    out = norm;
    return true;
  }
  std::string cur;
  const bool found = WalkPath(norm, cur, [](std::string& at, const std::string& name, const std::string& candidate) {
    if (name == "." || name == ".." || PathExists(candidate)) {
      at = candidate;
      return true;
    }
    std::string match;
    if (!FindInFolder(at, name, match)) return false;
    at = Join(at, match);
    return true;
  });
  if (!found) return false;
  out = cur;
  return true;
}

void VFileHelper::ClearFolderCache(const char* dir) {
  FolderCache& c = Cache();
  if (!dir) {
    std::lock_guard<std::mutex> guard(c.lock);
    c.listings.clear();
    return;
  }
  const std::string key = CanonicalKey(NormalizePath(dir));
  std::lock_guard<std::mutex> guard(c.lock);
  if (!key.empty()) c.listings.erase(key);
}

bool VFileHelper::ExistsDir(const char* dir) {
  std::string found;
  struct stat st;
  return dir && *dir && FindCaseInsensitive(dir, found) && stat(found.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool VFileHelper::ExistsFile(const char* file) {
  std::string found;
  struct stat st;
  return file && *file && FindCaseInsensitive(file, found) && stat(found.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool VFileHelper::MkDirRecursive(const char* dir) {
  const std::string norm = NormalizePath(dir);
  if (norm.empty()) return false;
  std::string cur;
  const bool made = WalkPath(norm, cur, [](std::string& at, const std::string&, const std::string& candidate) {
    std::string found;
    if (FindCaseInsensitive(candidate, found)) {
      at = found;
      return true;
    }
    if (mkdir(candidate.c_str(), 0777) != 0 && errno != EEXIST) return false;
    ClearFolderCache(at.empty() ? "." : at.c_str());
    at = candidate;
    return true;
  });
  if (!made) return false;
  struct stat st;
  return stat(cur.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool VFileHelper::GetCurrentDirectory(char* out, int size) {
  return out && size > 0 && getcwd(out, (size_t)size) != nullptr;
}

bool VFileHelper::SetCurrentDirectory(const char* dir) {
  std::string found;
  return dir && *dir && FindCaseInsensitive(dir, found) && chdir(found.c_str()) == 0;
}

const char* VFileHelper::GetExtension(const char* path) {
  if (!path) return "";
  const char* name = path;
  for (const char* p = path; *p; ++p)
    if (*p == '/' || *p == '\\') name = p + 1;
  const char* dot = strrchr(name, '.');
  return dot ? dot + 1 : "";
}

std::string VFileHelper::GetDirectory(const char* path) {
  if (!path) return std::string();
  const std::string p = path;
  const size_t cut = p.find_last_of("/\\");
  if (cut == std::string::npos) return std::string();
  if (cut == 0) return p.substr(0, 1);  // the root folder
  return p.substr(0, cut);
}

// VPathHelper --------------------------------------------------------------------

std::string VPathHelper::CombineDirAndFile(const char* dir, const char* file) {
  std::string d = dir ? dir : "";
  const char* f = file ? file : "";
  while (*f == '/' || *f == '\\') ++f;
  if (d.empty()) return f;
  if (!*f) return d;
  while (d.size() > 1 && (d.back() == '/' || d.back() == '\\')) d.pop_back();
  if (d.back() == '/' || d.back() == '\\') return d + f;
  return d + "/" + f;
}

// VisionAppHelpers ---------------------------------------------------------------

std::string VisionAppHelpers::GetEXEPath() {
  // readlink does not say whether it cut the name short: grow until it fits.
  std::string path(256, '\0');
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0) return std::string();
    if ((size_t)n < path.size()) {
      path.resize((size_t)n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::string VisionAppHelpers::GetEXEDirectory() { return VFileHelper::GetDirectory(GetEXEPath().c_str()); }

bool VisionAppHelpers::MakeEXEDirCurrent() {
  const std::string dir = GetEXEDirectory();
  return !dir.empty() && chdir(dir.c_str()) == 0;
}

// VisFile_cl ---------------------------------------------------------------------

namespace {
VDiskFileStreamManager* Base(IVFileStreamManager* m) { return static_cast<VDiskFileStreamManager*>(m); }
}  // namespace

VisFile_cl::VisFile_cl() {
  m_baseManager = new VDiskFileStreamManager();
  m_manager = m_baseManager;
}

VisFile_cl::~VisFile_cl() = default;

void VisFile_cl::RemoveAllDataDirectories() {
  const int n = m_manager->GetNumDataDirectories();
  for (int i = 0; i < n; ++i) m_manager->SetDataDirectory(i, nullptr);
}

bool VisFile_cl::AddDataDirectory(const char* dir) {
  if (!dir || !*dir) return false;
  const char* ext = VFileHelper::GetExtension(dir);
  if (strcasecmp(ext, "v") == 0 || strcasecmp(ext, "zip") == 0) return false;
  std::string abs;
  if (!VDiskFileStreamManager::ResolveDirectory(dir, abs)) return false;
  const int n = m_manager->GetNumDataDirectories();
  int freeSlot = -1;
  for (int i = 0; i < n; ++i) {
    const char* d = m_manager->GetDataDirectory(i);
    if (!d) {
      if (freeSlot < 0) freeSlot = i;
    } else if (abs == d) {
      return true;
    }
  }
  return freeSlot >= 0 && m_manager->SetDataDirectory(freeSlot, abs.c_str());
}

int VisFile_cl::GetMaxDataDirectoryCount() const { return m_manager->GetNumDataDirectories(); }

const char* VisFile_cl::GetDataDirectory(int index) const { return m_manager->GetDataDirectory(index); }

bool VisFile_cl::SetOutputDirectory(const char* dir) { return Base(m_baseManager)->SetOutputDirectory(dir); }

const char* VisFile_cl::GetOutputDirectory() const { return Base(m_baseManager)->GetOutputDirectory(); }

IVFileInStream* VisFile_cl::Open(const char* name, int flags) { return m_manager->Open(name, flags); }

bool VisFile_cl::Exists(const char* name) { return m_manager->Exists(name, 0); }

IVFileOutStream* VisFile_cl::Create(const char* name) { return m_manager->Create(name, 0); }

bool VisFile_cl::ResolvePath(const char* name, std::string& outPath) {
  std::string dataDir;
  return Base(m_baseManager)->Resolve(name, outPath, dataDir);
}

bool VisFile_cl::PrecacheFile(const char* name, void*) { return Exists(name); }

bool VisFile_cl::ReadTextFile(const char* name, std::string& out) {
  IVFileInStream* in = Open(name);
  if (!in) return false;
  out.clear();
  char buf[4096];
  size_t n;
  while ((n = in->Read(buf, sizeof(buf))) > 0) out.append(buf, n);
  in->Close();
  return true;
}

bool VisFile_cl::ReadTextLines(const char* name, std::vector<std::string>& out) {
  std::string text;
  if (!ReadTextFile(name, text)) return false;
  out.clear();
  const size_t kMaxLine = 1024;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    const bool hasEnd = end != std::string::npos;
    if (!hasEnd) end = text.size();
    size_t len = end - pos;
    if (len > 0 && text[end - 1] == '\r') --len;
    // A long line continues in the next entries rather than being cut off.
    for (size_t i = 0; i < len || i == 0; i += kMaxLine) {
      out.push_back(text.substr(pos + i, std::min(kMaxLine, len - i)));
      if (len == 0) break;
    }
    pos = end + 1;
  }
  return true;
}

void VisFile_cl::SetManager(IVFileStreamManager* manager) { m_manager = manager ? manager : m_baseManager.GetPtr(); }

void VisFile_cl::ClearCache() { VFileHelper::ClearFolderCache(nullptr); }
