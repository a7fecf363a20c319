// Loading a shared model, directly or after its resource list, and dropping it when
// nobody uses it any more.
#include "core/VModelProxy.h"

#include "core/VModelScheduler.h"

#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"
#include "engine/core/VisGame.h"

namespace {
// Frees the engine's models that nobody references any more.
void PurgeUnusedResources() { Vision::Game.PurgeUnusedMeshes(); }
}  // namespace

VModelProxy::VModelProxy(const char* modelFile)
    : m_pScheduler(&VModelScheduler::GlobalManager()), m_sModelFile(modelFile ? modelFile : "") {
  // Names longer than the engine's path limit are cut.
  if (m_sModelFile.GetLength() > 4096) m_sModelFile = VString(std::string(m_sModelFile.AsChar(), 4096));
}

VModelProxy::~VModelProxy() {
  if (m_pScheduler) m_pScheduler->RemoveProxy(this);
}

void VModelProxy::EnsureLoaded() {
  if (m_bSnapshotRead) {
    // A list that was read but never got going is scheduled again.
    if (!IsScheduled()) ScheduleSnapshot();
    return;
  }
  m_bRequested = true;

  VString listFile;
  listFile.Format("%s_data\\resources.xml", m_sModelFile.AsChar());
  if (IVFileInStream* in = Vision::File.Open(listFile.AsChar())) {
    const bool read = LoadSnapshot(in);
    in->Close();
    if (read) {
      m_bSnapshotRead = true;
      ScheduleSnapshot();
      return;
    }
    // A broken list must not keep the model from ever loading.
    Vision::Error.Warning("Model %s: resource list %s unusable, loading the model directly", m_sModelFile.AsChar(),
                          listFile.AsChar());
  }
  LoadMesh();
}

void VModelProxy::OnSnapshotFinished() { LoadMesh(); }

void VModelProxy::LoadMesh() { m_spMesh = Vision::Game.LoadDynamicMesh(m_sModelFile.AsChar(), true, true); }

void VModelProxy::Release() {
  if (m_iRefCount > 1) {
    --m_iRefCount;
    // Only the scheduler's reference is left: nobody uses the model any more.
    if (m_iRefCount == 1 && !m_bKeep && m_pScheduler) {
      ReleaseMesh();
      m_pScheduler->RemoveProxy(this);
      m_pScheduler = nullptr;
      m_iRefCount = 0;
      delete this;
      PurgeUnusedResources();
    }
    return;
  }
  ReleaseMesh();
  if (m_pScheduler) {
    m_pScheduler->RemoveProxy(this);
    m_pScheduler = nullptr;
  }
  if (--m_iRefCount <= 0) delete this;
  PurgeUnusedResources();
}
