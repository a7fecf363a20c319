// The static list of model proxies and its per-frame advance.
#include "core/VModelScheduler.h"

#include "core/VModelProxy.h"

#include "engine/base/VString.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"

#include <vector>

namespace {
VModelScheduler g_ModelScheduler;
}  // namespace

VModelScheduler& VModelScheduler::GlobalManager() { return g_ModelScheduler; }

VModelScheduler::~VModelScheduler() { Shutdown(); }

void VModelScheduler::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data || data->m_pSender != &Vision::Callbacks.OnFrameUpdatePreRender) return;
  const float dt = Vision::Timer.GetTimeDifference();
  // A finishing snapshot loads its mesh, which leaves the list alone; index walk all the same.
  for (int i = 0; i < m_proxies.GetLength(); ++i) m_proxies.Get(i)->TickFunction(dt);
}

VModelProxy* VModelScheduler::FindModelProxy(const char* modelFile) const {
  const char* name = modelFile ? modelFile : "";
  for (int i = 0; i < m_proxies.GetLength(); ++i)
    if (VStringICompare(m_proxies.Get(i)->GetModelFile(), name) == 0) return m_proxies.Get(i);
  return nullptr;
}

VModelProxy* VModelScheduler::GetModelProxy(const char* modelFile) {
  if (VModelProxy* found = FindModelProxy(modelFile)) return found;
  VModelProxy* proxy = new VModelProxy(modelFile);
  proxy->SetScheduler(this);
  proxy->AddRef();  // the list's own reference
  m_proxies.Append(proxy);
  return proxy;
}

void VModelScheduler::RemoveProxy(VModelProxy* proxy) { m_proxies.Remove(proxy); }

void VModelScheduler::Shutdown() {
  // Cut the proxies loose first, so that their release does not come back to the list.
  std::vector<VModelProxy*> former(m_proxies.begin(), m_proxies.end());
  for (VModelProxy* proxy : former) proxy->SetScheduler(nullptr);
  m_proxies.Clear();
  for (VModelProxy* proxy : former) proxy->Release();
}

VModelProxy* GetModelProxy(const char* modelFile) { return VModelScheduler::GlobalManager().GetModelProxy(modelFile); }

VModelProxy* FindModelProxy(const char* modelFile) { return VModelScheduler::GlobalManager().FindModelProxy(modelFile); }

void ShutdownModelProxies() { VModelScheduler::GlobalManager().Shutdown(); }
