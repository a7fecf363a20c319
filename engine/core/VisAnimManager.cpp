// The animation system: event names, shared animation files and the frame update.
#include "engine/core/VisAnimManager.h"

#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"
#include "engine/core/VSkeletalBoneProxy.h"
#include "engine/core/VisAnimConfig.h"
#include "engine/core/VisBaseEntity.h"

#include <algorithm>

namespace Vision {
VisAnimManager_cl Animations;
}  // namespace Vision

namespace {

// The manager while it exists: objects outliving it at program exit find null.
VisAnimManager_cl* g_live = nullptr;

template <class T>
void Erase(std::vector<T*>& list, T* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

}  // namespace

VisAnimManager_cl::VisAnimManager_cl() { g_live = this; }

VisAnimManager_cl::~VisAnimManager_cl() {
  if (g_live == this) g_live = nullptr;
  for (auto& entry : m_sets) entry.second->Release();
  m_sets.clear();
}

// ---- event names ------------------------------------------------------------

int VisAnimManager_cl::RegisterEvent(const char* name) {
  if (!name || !*name) return 0;
  if (const int id = GetEventID(name)) return id;
  const int index = (int)m_eventNames.size();
  m_eventNames.push_back(name);
  m_eventIndex[name] = index;
  return index | EventIdBit;
}

int VisAnimManager_cl::GetEventID(const char* name) const {
  if (!name) return 0;
  auto it = m_eventIndex.find(name);
  return it == m_eventIndex.end() ? 0 : (it->second | EventIdBit);
}

const char* VisAnimManager_cl::GetEventString(int id) const {
  if ((id & EventIdBit) == 0) return nullptr;
  const int index = id & ~EventIdBit;
  return index < (int)m_eventNames.size() ? m_eventNames[index].c_str() : nullptr;
}

// ---- animation files --------------------------------------------------------

VisAnimSequenceSet_cl* VisAnimManager_cl::LoadAnimSequenceSet(const char* file) {
  if (!file || !*file) return nullptr;
  const std::string key = VFileHelper::GetCacheKey(file);
  auto it = m_sets.find(key);
  if (it != m_sets.end()) return it->second;
  std::string text;
  if (!Vision::File.ReadTextFile(file, text)) {
    Vision::Error.Warning("Animation file %s not found", file);
    return nullptr;
  }
  VisAnimSequenceSet_cl* set = new VisAnimSequenceSet_cl(file);
  set->AddRef();
  if (!set->LoadFromXml(text.c_str())) {
    set->Release();
    return nullptr;
  }
  m_sets[key] = set;
  return set;
}

int VisAnimManager_cl::PurgeUnusedSequenceSets() {
  int purged = 0;
  for (auto it = m_sets.begin(); it != m_sets.end();) {
    if (it->second->GetRefCount() == 1) {
      it->second->Release();
      it = m_sets.erase(it);
      ++purged;
    } else {
      ++it;
    }
  }
  return purged;
}

// ---- frame update -----------------------------------------------------------

void VisAnimManager_cl::Update(float dt) {
  // A control advances when an unpaused configuration uses it, or when none uses it.
  // Sorted lists, not hash sets: a battle has a thousand controls and builds them each frame.
  std::vector<VisAnimControl_cl*> running, pausedOnly;
  for (VisAnimConfig_cl* cfg : m_configs)
    if (VisAnimControl_cl* c = cfg->GetSkeletalAnimControl()) (cfg->IsPaused() ? pausedOnly : running).push_back(c);
  std::sort(pausedOnly.begin(), pausedOnly.end());
  if (!pausedOnly.empty()) std::sort(running.begin(), running.end());
  const auto listed = [](const std::vector<VisAnimControl_cl*>& list, VisAnimControl_cl* c) {
    return std::binary_search(list.begin(), list.end(), c);
  };

  // Held for the frame: handlers may drop animations while events go out. A control
  // nobody else holds goes when this list does.
  std::vector<VSmartPtr<VisAnimControl_cl>> controls(m_controls.begin(), m_controls.end());
  std::vector<int> events;
  for (VisAnimControl_cl* control : controls) {
    if (control->IsStopped()) continue;
    if (!pausedOnly.empty() && listed(pausedOnly, control) && !listed(running, control)) continue;
    events.clear();
    control->Advance(dt, events);
    if (events.empty()) continue;
    std::vector<VisBaseEntity_cl*> listeners;
    for (int i = 0; i < control->GetEventListenerCount(); ++i) listeners.push_back(control->GetEventListener(i));
    for (int id : events) {
      for (VisBaseEntity_cl* entity : listeners) {
        // Destroyed or no longer listening since the delivery began.
        if (!control->IsEventListener(entity) || entity->IsMarkedRemoved()) continue;
        VisAnimConfig_cl* cfg = entity->GetAnimConfig();
        if (!cfg || cfg->GetSkeletalAnimControl() != control) continue;
        entity->SendMsg(VIS_MSG_ANIMATION_EVENT, (INT_PTR)id, 0);
      }
    }
  }
  controls.clear();

  std::vector<VSmartPtr<VSkeletalBoneProxyObject>> proxies(m_proxies.begin(), m_proxies.end());
  for (VSkeletalBoneProxyObject* p : proxies) {
    if (!p->IsAttachedToBone()) continue;
    // Nothing attached and nobody but the engine (and this list) holds it: done.
    if (p->GetNumChildren() == 0 && p->GetRefCount() <= 2) {
      p->DetachFromBone();
      continue;
    }
    p->UpdateFromBone();
  }
}

// ---- live objects -----------------------------------------------------------

void VisAnimManager_cl::NotifyControlCreated(VisAnimControl_cl* c) {
  if (g_live) g_live->m_controls.push_back(c);
}

void VisAnimManager_cl::NotifyControlDestroyed(VisAnimControl_cl* c) {
  if (g_live) Erase(g_live->m_controls, c);
}

void VisAnimManager_cl::NotifyConfigCreated(VisAnimConfig_cl* c) {
  if (g_live) g_live->m_configs.push_back(c);
}

void VisAnimManager_cl::NotifyConfigDestroyed(VisAnimConfig_cl* c) {
  if (g_live) Erase(g_live->m_configs, c);
}

void VisAnimManager_cl::NotifyBoneProxyAttached(VSkeletalBoneProxyObject* p) {
  if (g_live && std::find(g_live->m_proxies.begin(), g_live->m_proxies.end(), p) == g_live->m_proxies.end())
    g_live->m_proxies.push_back(p);
}

void VisAnimManager_cl::NotifyBoneProxyDestroyed(VSkeletalBoneProxyObject* p) {
  if (g_live) Erase(g_live->m_proxies, p);
}

void VisAnimManager_cl::NotifyEntityDestroyed(VisBaseEntity_cl* entity) {
  if (!g_live || !entity) return;
  for (VisAnimControl_cl* c : g_live->m_controls) c->RemoveEventListener(entity);
  const std::vector<VSkeletalBoneProxyObject*> proxies(g_live->m_proxies);
  for (VSkeletalBoneProxyObject* p : proxies)
    if (p->GetEntity() == entity) p->DetachFromBone();
}
