// The engine's file manager: data folders, the output folder and file access.
// Paths may use "\" or "/"; a leading separator is dropped; names are found
// without regard to case (folder listings are cached).
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
  bool AddDataDirectory(const char* dir);
  int GetMaxDataDirectoryCount() const;
  // Null for an unused slot.
  const char* GetDataDirectory(int index) const;
  bool SetOutputDirectory(const char* dir);
  const char* GetOutputDirectory() const;

  // Absolute names are used as they are; relative ones are tried in every data folder.
  IVFileInStream* Open(const char* name, int flags = 0);
  bool Exists(const char* name);
  // Creates a file in the output folder (absolute names as they are).
  IVFileOutStream* Create(const char* name);
  // Resolves a name to an existing file's full path; false when absent.
  bool ResolvePath(const char* name, std::string& outPath);
  bool PrecacheFile(const char* name, void* unused = nullptr);
  // Whole file as text; false when absent.
  bool ReadTextFile(const char* name, std::string& out);
  // Lines of at most 1024 characters, line ends removed.
  bool ReadTextLines(const char* name, std::vector<std::string>& out);

  // The stream manager all opens go through; replaceable (the profiler wraps it).
  IVFileStreamManager* GetManager() const { return m_manager; }
  void SetManager(IVFileStreamManager* manager);
  // The built-in manager over the data folders.
  IVFileStreamManager* GetBaseManager() const { return m_baseManager; }
  // Forgets cached folder listings (after files were written behind the engine's back).
  void ClearCache();

 private:
  VSmartPtr<IVFileStreamManager> m_baseManager;
  VSmartPtr<IVFileStreamManager> m_manager;
};

// Path and folder helpers.
class VBASE_IMPEXP VFileHelper {
 public:
  static bool ExistsDir(const char* dir);
  static bool ExistsFile(const char* file);
  // Creates the folder with all its parents.
  static bool MkDirRecursive(const char* dir);
  static bool GetCurrentDirectory(char* out, int size);
  static bool SetCurrentDirectory(const char* dir);
  // Extension without the dot, or "" when the name has none.
  static const char* GetExtension(const char* path);
  // Folder part of a path (without the final separator).
  static std::string GetDirectory(const char* path);
  // Turns "\" into "/" and collapses repeated separators.
  static std::string NormalizePath(const char* path);
  // Finds an existing file or folder regardless of case; false when absent.
  static bool FindCaseInsensitive(const std::string& path, std::string& out);
  static bool IsAbsolutePath(const char* path);
};

class VBASE_IMPEXP VPathHelper {
 public:
  static std::string CombineDirAndFile(const char* dir, const char* file);
};

class VBASE_IMPEXP VisionAppHelpers {
 public:
  // Makes the folder of the running program current.
  static bool MakeEXEDirCurrent();
  static std::string GetEXEDirectory();
  static std::string GetEXEPath();
  static bool CheckShaderCompatibility() { return true; }
};

namespace Vision {
VBASE_IMPEXP extern VisFile_cl File;
}  // namespace Vision
