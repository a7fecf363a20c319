// The engine's file manager: data folders, the output folder and file access.
// Paths may use "\" or "/"; names are found without regard to case (folder
// listings are cached). A name is absolute when it starts with "/" and exists as
// such (or, for Create, its folder exists); any other name, with a leading
// separator dropped, is relative to the data folders ("\Scripts\X.lua").
//
// Streams from Open and Create hold one reference for the caller: Close() closes
// the file and gives that reference up (the stream is deleted unless someone else,
// an archive say, still holds a reference). Balance every Open and Create with one Close.
#pragma once

#include "engine/base/VStreams.h"

#include <string>
#include <vector>

class VBASE_IMPEXP VisFile_cl {
 public:
  VisFile_cl();
  ~VisFile_cl();

  void RemoveAllDataDirectories();
  // A folder, or a ".v"/".zip" package (packages are not supported and report false).
  // A relative folder is taken against the current folder at the time of the call.
  // False for a missing folder or when all slots are taken; a folder already in the
  // list is not added twice (true).
  bool AddDataDirectory(const char* dir);
  // The number of slots (unused ones included).
  int GetMaxDataDirectoryCount() const;
  // The folder as an absolute path with "/" separators; null for an unused slot.
  const char* GetDataDirectory(int index) const;
  // An existing folder (relative to the current folder); false leaves the old one.
  bool SetOutputDirectory(const char* dir);
  // Absolute path, or "" while none is set (Create then writes into the current folder).
  const char* GetOutputDirectory() const;

  // Absolute names are used as they are; relative ones are tried in every data folder.
  IVFileInStream* Open(const char* name, int flags = 0);
  bool Exists(const char* name);
  // Creates (or truncates) a file in the output folder (absolute names as they are);
  // the folder must exist. An existing file of the name in another case is overwritten.
  IVFileOutStream* Create(const char* name);
  // Resolves a name to an existing file's full path; false when absent.
  bool ResolvePath(const char* name, std::string& outPath);
  // Nothing is cached in memory: true when the file can be found.
  bool PrecacheFile(const char* name, void* unused = nullptr);
  // Whole file as text; false when absent.
  bool ReadTextFile(const char* name, std::string& out);
  // Lines of at most 1024 characters (a longer line continues in the next entry),
  // line ends ("\n", "\r\n") removed; no entry after a final line end.
  bool ReadTextLines(const char* name, std::vector<std::string>& out);

  // The stream manager all opens, creates and data-folder calls go through;
  // replaceable (the profiler wraps it); null restores the built-in one.
  IVFileStreamManager* GetManager() const { return m_manager; }
  void SetManager(IVFileStreamManager* manager);
  // The built-in manager over the data folders.
  IVFileStreamManager* GetBaseManager() const { return m_baseManager; }
  // Forgets cached folder listings (after files were written behind the engine's back).
  void ClearCache();
  // Size of the disk read cache in bytes. Reads go straight to the files here, so
  // the size is only kept.
  void SetReadCacheSize(int bytes) { m_iReadCacheSize = bytes < 0 ? 0 : bytes; }
  int GetReadCacheSize() const { return m_iReadCacheSize; }

 private:
  VSmartPtr<IVFileStreamManager> m_baseManager;
  VSmartPtr<IVFileStreamManager> m_manager;
  int m_iReadCacheSize = 0;
};

// Path and folder helpers.
class VBASE_IMPEXP VFileHelper {
 public:
  // Both find names without regard to case; relative paths start at the current folder.
  static bool ExistsDir(const char* dir);
  static bool ExistsFile(const char* file);
  // Creates the folder with all its parents (existing parents are found without
  // regard to case); true when the folder exists afterwards.
  static bool MkDirRecursive(const char* dir);
  static bool GetCurrentDirectory(char* out, int size);
  static bool SetCurrentDirectory(const char* dir);
  // Extension without the dot (a pointer into path), or "" when the file name has none.
  static const char* GetExtension(const char* path);
  // Folder part of a path (without the final separator).
  static std::string GetDirectory(const char* path);
  // Turns "\" into "/" and collapses repeated separators.
  static std::string NormalizePath(const char* path);
  // The key a cache of loaded files keeps a name under: normalised, without leading
  // separators, lower case, so that every spelling that finds the same data file
  // shares one entry.
  static std::string GetCacheKey(const char* name);
  // Finds an existing file or folder regardless of case; false when absent. The
  // exact name wins; otherwise the first match in name order. Either separator.
  static bool FindCaseInsensitive(const std::string& path, std::string& out);
  // Starts with "/" (a leading "\" marks a data-relative name).
  static bool IsAbsolutePath(const char* path);
  // Forgets the cached listing of one folder, or of all folders for null.
  static void ClearFolderCache(const char* dir = nullptr);
};

class VBASE_IMPEXP VPathHelper {
 public:
  // dir + "/" + file, with no doubled separator; either part may be empty or null.
  static std::string CombineDirAndFile(const char* dir, const char* file);
};

class VBASE_IMPEXP VisionAppHelpers {
 public:
  // Makes the folder of the running program current.
  static bool MakeEXEDirCurrent();
  // From /proc/self/exe; "" when it cannot be read.
  static std::string GetEXEDirectory();
  static std::string GetEXEPath();
  static bool CheckShaderCompatibility() { return true; }
};

namespace Vision {
VBASE_IMPEXP extern VisFile_cl File;
}  // namespace Vision
