// An input stream handed out by the file-system profiler: counts the reads of the
// stream it wraps and fills the profiler's record when it is closed. Like the
// engine's streams it comes with one reference, which Close gives up.
#pragma once

#include "core/VFileSystemProfiler.h"

class VProfiledFileInStream : public IVFileInStream {
 public:
  VProfiledFileInStream(IVFileInStream* wrapped, VFileSystemProfiler* profiler, const char* fileName,
                        const char* dataDirectory);
  ~VProfiledFileInStream() override;

  size_t Read(void* buffer, size_t size) override;
  void Close() override;
  bool SetPos(int64_t pos, int mode = 0) override { return m_wrapped->SetPos(pos, mode); }
  int64_t GetPos() override { return m_wrapped->GetPos(); }
  int64_t GetSize() override { return m_wrapped->GetSize(); }
  const char* GetFileName() override { return m_wrapped->GetFileName(); }
  const char* GetInitialSearchPath() override { return m_wrapped->GetInitialSearchPath(); }

  // Writes the counts so far into the record without closing the stream.
  void FinishProfiling();
  int GetStackDepth() const { return m_iStackDepth; }

 private:
  VSmartPtr<IVFileInStream> m_wrapped;
  VSmartPtr<VFileSystemProfiler> m_profiler;
  float m_fTimeOpened = 0.0f;
  float m_fTimeClosed = 0.0f;
  int m_iReadCalls = 0;
  int m_iReadBytes = 0;
  int m_iStackDepth = 0;
  bool m_bClosed = false;
  VFileSystemProfiler::ProfilingEntry* m_pEntry = nullptr;
};
