// File-system profiler: records of every file opened for reading, dumped to the log.
#include "core/VFileSystemProfiler.h"

#include "core/VProfiledFileInStream.h"

#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"
#include "engine/base/VisTimer.h"

#include <string>

namespace {
VFileSystemProfiler* g_installed = nullptr;
}  // namespace

int VFileSystemProfiler::s_openStreams = 0;

VFileSystemProfiler::VFileSystemProfiler(IVFileStreamManager* wrapped) : m_wrapped(wrapped) {}

VFileSystemProfiler::~VFileSystemProfiler() = default;

void VFileSystemProfiler::Install() {
  if (g_installed) return;
  g_installed = new VFileSystemProfiler(Vision::File.GetManager());
  g_installed->AddRef();
  Vision::File.SetManager(g_installed);
}

void VFileSystemProfiler::Uninstall() {
  if (!g_installed) return;
  VFileSystemProfiler* profiler = g_installed;
  g_installed = nullptr;
  profiler->DumpResultsToLog();
  Vision::File.SetManager(profiler->GetWrappedManager());
  profiler->Release();
}

VFileSystemProfiler* VFileSystemProfiler::GetInstalled() { return g_installed; }

int VFileSystemProfiler::GetOpenStreamCount() { return s_openStreams; }

IVFileInStream* VFileSystemProfiler::Open(const char* name, int flags) {
  const float timeOpened = Vision::Timer.GetTickCount();
  IVFileInStream* stream = m_wrapped ? m_wrapped->Open(name, flags) : nullptr;
  const char* dataDirectory = m_wrapped ? m_wrapped->GetDataDirectory(0) : nullptr;
  if (!stream) {
    AddFailureProfilingEntry(name, dataDirectory, timeOpened);
    return nullptr;
  }
  // Handed out with the opener's reference, which Close gives up.
  VProfiledFileInStream* profiled = new VProfiledFileInStream(stream, this, name, dataDirectory);
  profiled->AddRef();
  return profiled;
}

IVFileOutStream* VFileSystemProfiler::Create(const char* name, int flags) { return m_wrapped->Create(name, flags); }

bool VFileSystemProfiler::Exists(const char* name, int flags) { return m_wrapped->Exists(name, flags); }

bool VFileSystemProfiler::GetTimeStamp(const char* name, VFileTime& out) { return m_wrapped->GetTimeStamp(name, out); }

int VFileSystemProfiler::GetNumDataDirectories() { return m_wrapped->GetNumDataDirectories(); }

bool VFileSystemProfiler::SetDataDirectory(int index, const char* dir) { return m_wrapped->SetDataDirectory(index, dir); }

const char* VFileSystemProfiler::GetDataDirectory(int index) { return m_wrapped->GetDataDirectory(index); }

VFileSystemProfiler::ProfilingEntry* VFileSystemProfiler::CreateProfilingEntry() {
  m_entries.push_back(std::make_unique<ProfilingEntry>());
  return m_entries.back().get();
}

VFileSystemProfiler::ProfilingEntry* VFileSystemProfiler::AddProfilingEntry(const ProfilingEntry& entry) {
  ProfilingEntry* e = CreateProfilingEntry();
  *e = entry;
  return e;
}

void VFileSystemProfiler::AddFailureProfilingEntry(const char* name, const char* dataDirectory, float time) {
  ProfilingEntry* e = CreateProfilingEntry();
  e->fileName = name;
  e->dataDirectory = dataDirectory;
  e->timeOpened = time;
}

void VFileSystemProfiler::DumpResultsToLog() {
  Vision::Error.SystemMessage("=========================== VFileSystemProfiler Results ===============================");
  Vision::Error.SystemMessage(
      "StackDepth;Filename;Extension;Data Directory;LoadedSuccess;Time when Opened; Time when Closed; Life Time; "
      "Num Read Calls; Total Read Bytes;HasBeenClosed");
  for (const std::unique_ptr<ProfilingEntry>& e : m_entries) {
    // Six blanks for every level of nesting above the first.
    const std::string indent(e->stackDepth > 1 ? (size_t)(e->stackDepth - 1) * 6 : 0, ' ');
    const char* extension = VFileHelper::GetExtension(e->fileName.AsChar());
    if (!extension || !*extension) extension = "<none>";
    Vision::Error.SystemMessage("%d;%s%s;%s;%s;%d;%f;%f;%f;%d;%d;%d", e->stackDepth, indent.c_str(),
                                e->fileName.AsChar(), extension, e->dataDirectory.AsChar(), e->loaded ? 1 : 0,
                                e->timeOpened, e->timeClosed, e->lifeTime, e->readCalls, e->readBytes,
                                e->hasBeenClosed ? 1 : 0);
  }
}
