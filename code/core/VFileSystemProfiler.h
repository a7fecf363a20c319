// Diagnostic file-stream manager: put between the engine's file system and its
// current manager, it records every file opened for reading and writes the
// records to the log when it is taken out again.
#pragma once

#include "engine/base/VStreams.h"
#include "engine/base/VString.h"

#include <memory>
#include <vector>

class VFileSystemProfiler : public IVFileStreamManager {
 public:
  // One record per open attempt.
  struct ProfilingEntry {
    int stackDepth = 0;
    VString fileName;
    VString dataDirectory;
    bool loaded = false;
    float timeOpened = 0.0f;
    float timeClosed = 0.0f;
    float lifeTime = 0.0f;
    int readCalls = 0;
    int readBytes = 0;
    bool hasBeenClosed = false;
  };

  explicit VFileSystemProfiler(IVFileStreamManager* wrapped);
  ~VFileSystemProfiler() override;

  // Wraps the engine's current file-stream manager, once.
  static void Install();
  // Logs the results and gives the engine its manager back.
  static void Uninstall();
  static VFileSystemProfiler* GetInstalled();

  void DumpResultsToLog();

  const char* GetName() override { return "VFileSystemProfiler"; }
  IVFileInStream* Open(const char* name, int flags = 0) override;
  IVFileOutStream* Create(const char* name, int flags = 0) override;
  bool Exists(const char* name, int flags = 0) override;
  bool GetTimeStamp(const char* name, VFileTime& out) override;
  int GetNumDataDirectories() override;
  bool SetDataDirectory(int index, const char* dir) override;
  const char* GetDataDirectory(int index) override;

  // The profiler owns its entries; the returned pointer stays valid while it lives.
  ProfilingEntry* CreateProfilingEntry();
  ProfilingEntry* AddProfilingEntry(const ProfilingEntry& entry);
  void AddFailureProfilingEntry(const char* name, const char* dataDirectory, float time);
  int GetEntryCount() const { return (int)m_entries.size(); }
  const ProfilingEntry& GetEntry(int i) const { return *m_entries[i]; }
  IVFileStreamManager* GetWrappedManager() const { return m_wrapped; }

  // Number of profiled streams open at the moment.
  static int GetOpenStreamCount();

 private:
  friend class VProfiledFileInStream;
  static int s_openStreams;
  VSmartPtr<IVFileStreamManager> m_wrapped;
  std::vector<std::unique_ptr<ProfilingEntry>> m_entries;
};
