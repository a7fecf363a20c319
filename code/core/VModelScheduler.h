// The one list of model proxies: shared lookup by file name, the per-frame advance
// of their background loading and the teardown when the engine stops.
#pragma once

#include "engine/base/DynArray.h"
#include "engine/base/VCallback.h"

class VModelProxy;

class VModelScheduler : public IVisCallbackHandler_cl {
 public:
  // The static scheduler; the plug-in registers it on the engine's second per-frame
  // callback (Vision::Callbacks.OnFrameUpdatePreRender).
  static VModelScheduler& GlobalManager();

  VModelScheduler() = default;
  ~VModelScheduler() override;
  VModelScheduler(const VModelScheduler&) = delete;
  VModelScheduler& operator=(const VModelScheduler&) = delete;

  // Advances every proxy's loading by the frame time (only for the second per-frame callback).
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  // The proxy of a model file (names compared without regard to case), created
  // when missing; the caller adds its own reference.
  VModelProxy* GetModelProxy(const char* modelFile);
  VModelProxy* FindModelProxy(const char* modelFile) const;
  // Takes the proxy out of the list without releasing it.
  void RemoveProxy(VModelProxy* proxy);
  // Forgets every proxy and drops the list's references.
  void Shutdown();

  int GetProxyCount() const { return m_proxies.GetLength(); }
  VModelProxy* GetProxy(int i) const { return m_proxies.Get(i); }

 private:
  VPList<VModelProxy> m_proxies;
};

// The static scheduler's operations.
VModelProxy* GetModelProxy(const char* modelFile);
VModelProxy* FindModelProxy(const char* modelFile);
// Called when the engine de-initialises.
void ShutdownModelProxies();
