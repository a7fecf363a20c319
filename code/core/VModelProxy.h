// The shared stand-in for one model file: loads the mesh on demand, after the
// model's resource list (if it has one) has been loaded in the background.
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/base/VString.h"
#include "engine/core/VDynamicMesh.h"
#include "engine/core/VResourceSnapshot.h"

class VModelScheduler;

// One reference belongs to the scheduler while the proxy is in its list; every
// user adds its own. Release (not VRefCounter's) applies the unload rule: once only
// the scheduler's reference is left, the model is dropped unless it is kept.
class VModelProxy : public VRefCounter, public VResourceSnapshot {
 public:
  explicit VModelProxy(const char* modelFile);
  ~VModelProxy() override;

  // Starts loading: through the resource list "<model>_data\resources.xml" when it
  // exists, else at once.
  void EnsureLoaded();
  void Release();

  const char* GetModelFile() const { return m_sModelFile.AsChar(); }
  // Null until loaded, and when the model could not be loaded.
  VDynamicMesh* GetMesh() const { return m_spMesh.GetPtr(); }
  bool IsLoaded() const { return m_spMesh.GetPtr() != nullptr; }
  // Loading was asked for at least once.
  bool IsRequested() const { return m_bRequested; }
  bool IsSnapshotListRead() const { return m_bSnapshotRead; }
  // A kept model stays loaded while the scheduler holds it, even when nobody uses it.
  bool IsKeep() const { return m_bKeep; }
  void SetKeep(bool keep) { m_bKeep = keep; }

  VModelScheduler* GetScheduler() const { return m_pScheduler; }
  void SetScheduler(VModelScheduler* scheduler) { m_pScheduler = scheduler; }

 protected:
  // The listed resources are in: now the mesh.
  void OnSnapshotFinished() override;

 private:
  void LoadMesh();
  void ReleaseMesh() { m_spMesh = nullptr; }

  VModelScheduler* m_pScheduler;
  VSmartPtr<VDynamicMesh> m_spMesh;
  VString m_sModelFile;
  bool m_bSnapshotRead = false;
  bool m_bRequested = false;
  bool m_bKeep = false;
};
