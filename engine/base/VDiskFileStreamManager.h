// The built-in file-stream manager: data folders in slots, tried in order, and the
// output folder that Create writes into (see VisFile.h for the naming rules).
#pragma once

#include "engine/base/VStreams.h"

#include <string>
#include <vector>

class VBASE_IMPEXP VDiskFileStreamManager : public IVFileStreamManager {
 public:
  enum { MAX_DATA_DIRECTORIES = 32 };
  VDiskFileStreamManager();

  const char* GetName() override { return "VDiskFileStreamManager"; }
  IVFileInStream* Open(const char* name, int flags = 0) override;
  IVFileOutStream* Create(const char* name, int flags = 0) override;
  bool Exists(const char* name, int flags = 0) override;
  bool GetTimeStamp(const char* name, VFileTime& out) override;
  int GetNumDataDirectories() override { return MAX_DATA_DIRECTORIES; }
  // A null or empty folder clears the slot; false for a bad slot or a missing folder.
  bool SetDataDirectory(int index, const char* dir) override;
  const char* GetDataDirectory(int index) override;

  bool SetOutputDirectory(const char* dir);
  const char* GetOutputDirectory() const { return m_output.c_str(); }

  // Full path of an existing file and the data folder it was found in ("" for an absolute name).
  bool Resolve(const char* name, std::string& path, std::string& dataDir) const;
  // The path Create would write for the name; false when its folder does not exist.
  bool ResolveForWriting(const char* name, std::string& path) const;
  // An existing folder as an absolute, canonical path (relative to the current folder).
  static bool ResolveDirectory(const char* dir, std::string& out);

 private:
  std::vector<std::string> m_dirs;  // "" = unused slot
  std::string m_output;
};
