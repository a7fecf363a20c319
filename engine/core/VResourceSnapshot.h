// A resource snapshot: the list of files a model needs, read from a resource list
// (<resources><resource file="..."/>...</resources>) and loaded over several frames.
//
// The stand-in loads one listed file per advance step (TickFunction), whatever the
// frame time, by precaching it through Vision::File; a missing file is counted and
// logged but does not stop the snapshot. OnSnapshotFinished runs once, in the step
// that brings in the last file (the first step for an empty list).
#pragma once

#include "engine/base/VString.h"

#include <vector>

class IVFileInStream;

class VBASE_IMPEXP VResourceSnapshot {
 public:
  VResourceSnapshot() = default;
  virtual ~VResourceSnapshot() = default;

  // Reads the list from an open stream (the caller closes it); false (logged) when it
  // is not a resource list. Replaces an earlier list and its progress.
  bool LoadSnapshot(IVFileInStream* in);
  // Starts loading the listed files; false without a list.
  bool ScheduleSnapshot();
  // One advance step: loads the next file; the frame time is only accumulated.
  void TickFunction(float dt);
  // Called once when every listed file is in.
  virtual void OnSnapshotFinished() {}

  int GetResourceCount() const { return (int)m_files.size(); }
  const char* GetResourceFile(int i) const { return m_files[i].AsChar(); }
  int GetLoadedCount() const { return m_loaded; }
  int GetMissingCount() const { return m_missing; }
  // -1 until scheduled, then the loaded share from 0 to 1.
  float GetProgress() const;
  bool IsSnapshotRead() const { return m_bRead; }
  bool IsScheduled() const { return m_bScheduled; }
  bool IsFinished() const { return m_bFinished; }
  float GetElapsedTime() const { return m_elapsed; }

 private:
  std::vector<VString> m_files;
  int m_loaded = 0;
  int m_missing = 0;
  float m_elapsed = 0.0f;
  bool m_bRead = false;
  bool m_bScheduled = false;
  bool m_bFinished = false;
};
