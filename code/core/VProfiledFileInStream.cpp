// Input stream of the file-system profiler.
#include "core/VProfiledFileInStream.h"

#include "engine/base/VisTimer.h"

VProfiledFileInStream::VProfiledFileInStream(IVFileInStream* wrapped, VFileSystemProfiler* profiler,
                                             const char* fileName, const char* dataDirectory)
    : m_wrapped(wrapped), m_profiler(profiler) {
  m_fTimeOpened = Vision::Timer.GetTickCount();
  m_iStackDepth = ++VFileSystemProfiler::s_openStreams;
  m_pEntry = profiler->CreateProfilingEntry();
  m_pEntry->stackDepth = m_iStackDepth;
  m_pEntry->fileName = fileName;
  m_pEntry->dataDirectory = dataDirectory;
  m_pEntry->loaded = true;
  m_pEntry->timeOpened = m_fTimeOpened;
}

VProfiledFileInStream::~VProfiledFileInStream() {
  // A stream dropped without Close is no longer open, but its record stays unfinished.
  if (!m_bClosed) {
    --VFileSystemProfiler::s_openStreams;
    m_wrapped->Close();
  }
}

size_t VProfiledFileInStream::Read(void* buffer, size_t size) {
  const size_t read = m_wrapped->Read(buffer, size);
  ++m_iReadCalls;
  m_iReadBytes += (int)read;
  return read;
}

void VProfiledFileInStream::Close() {
  // A second Close must not give up a reference the caller no longer has.
  if (m_bClosed) return;
  m_wrapped->Close();
  m_bClosed = true;
  --VFileSystemProfiler::s_openStreams;
  m_fTimeClosed = Vision::Timer.GetTickCount();
  FinishProfiling();
  m_pEntry->hasBeenClosed = true;
  // The opener's reference goes with Close, as with the engine's own streams.
  Release();
}

void VProfiledFileInStream::FinishProfiling() {
  m_pEntry->timeClosed = m_fTimeClosed;
  m_pEntry->lifeTime = m_fTimeClosed - m_fTimeOpened;
  m_pEntry->readCalls = m_iReadCalls;
  m_pEntry->readBytes = m_iReadBytes;
}
