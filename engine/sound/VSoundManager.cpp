// The sound plug-in's manager: resources read through libsndfile, the live
// instances and their per-frame advance, the listener and the back end.
#include "engine/sound/VSoundManager.h"

#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisRenderContext.h"
#include "engine/core/VisTypedEngineObject.h"
#include "engine/core/VisionApp.h"
#include "engine/sound/VOpenALBackend.h"
#include "engine/sound/VSoundFile.h"

#include <strings.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

// Resources may be let go after the manager during process exit.
bool g_managerAlive = false;

// The back end ENGINE_AUDIO names: "openal", "null", or by default OpenAL Soft
// with a window and nothing headless. Null when nothing is to be heard.
std::unique_ptr<VSoundBackend> OpenBackend() {
  const char* mode = std::getenv("ENGINE_AUDIO");
  bool openal = false;
  if (!mode || !*mode) {
    openal = VVideo::WantsWindow();
  } else if (strcasecmp(mode, "openal") == 0) {
    openal = true;
  } else if (strcasecmp(mode, "null") != 0) {
    Vision::Error.Warning("ENGINE_AUDIO=%s is unknown (null or openal): no sound is heard", mode);
  }
  if (!openal) return nullptr;
  return VOpenALBackend::Open();
}

}  // namespace

VSoundManager& VSoundManager::GlobalManager() {
  static VSoundManager manager;
  return manager;
}

VSoundManager::VSoundManager() { g_managerAlive = true; }

VSoundManager::~VSoundManager() {
  if (m_initialized) {
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
    Vision::Callbacks.OnUpdateSceneFinished.DeregisterCallback(this);
    Vision::Callbacks.OnWorldDeInit.DeregisterCallback(this);
  }
  Vision::Callbacks.OnObjectDestroyed.DeregisterCallback(this);
  CloseBackend();
  m_instances.clear();
  m_resources.clear();
  g_managerAlive = false;
}

void VSoundManager::SetInitialized(bool on) {
  if (on == m_initialized) return;
  m_initialized = on;
  if (on) {
    Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
    Vision::Callbacks.OnUpdateSceneFinished.RegisterCallback(this);
    Vision::Callbacks.OnWorldDeInit.RegisterCallback(this);
    m_pBackend = OpenBackend();
    return;
  }
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  Vision::Callbacks.OnUpdateSceneFinished.DeregisterCallback(this);
  Vision::Callbacks.OnWorldDeInit.DeregisterCallback(this);
  // Holders keep silent objects; the list lets go of all of them.
  std::vector<VSmartPtr<VSoundObject>> live;
  live.swap(m_instances);
  for (VSoundObject* obj : live) {
    obj->Stop();
    obj->m_bDisposed = true;
  }
  m_sceneSoundsStopped = false;
  CloseBackend();
}

const char* VSoundManager::GetBackendName() const { return m_pBackend ? m_pBackend->GetName() : "null"; }

void VSoundManager::CloseBackend() {
  // Deleting the back end stops its sources and closes the device (flushing what
  // it wrote).
  m_pBackend.reset();
}

VSoundResource* VSoundManager::LoadSoundResource(const char* file, int resourceFlags) {
  if (!m_initialized || !file || !*file) return nullptr;
  // One resource per file on disk, however the name is written.
  std::string path;
  if (!Vision::File.ResolvePath(file, path)) return nullptr;
  for (VSoundResource* res : m_resources)
    if (res->GetResourceFlags() == resourceFlags && res->m_sPath == path) return res;
  VSoundFile info;
  if (!info.Open(path.c_str())) return nullptr;
  VSoundResource* res =
      new VSoundResource(file, resourceFlags, info.GetFrameCount(), info.GetSampleRate(), info.GetChannels());
  res->m_sPath = path;
  m_resources.push_back(res);
  return res;
}

VSoundObject* VSoundManager::CreateSoundInstance(const char* file, int resourceFlags, int instanceFlags, int priority) {
  VSmartPtr<VSoundResource> res = LoadSoundResource(file, resourceFlags);
  if (!res) return nullptr;
  return res->CreateInstance(VisVector_cl(0.0f, 0.0f, 0.0f), instanceFlags, priority);
}

void VSoundManager::SetSceneSoundsStopped(bool on) {
  m_sceneSoundsStopped = on;
  if (!on) return;
  for (VSoundObject* obj : m_instances) obj->AddStateFlags(VSOUND_NOCOLLECT);
  ReleaseFinished();
}

void VSoundManager::Update(float dt) {
  {
    // Advancing never adds or removes instances; a copy keeps every one alive meanwhile.
    const std::vector<VSmartPtr<VSoundObject>> live = m_instances;
    for (VSoundObject* obj : live) obj->Advance(dt);
  }
  ReleaseFinished();
}

int VSoundManager::GetCallbackSortingKey(VCallback* callback) {
  return callback == &Vision::Callbacks.OnUpdateSceneFinished ? kSyncSortingKey : kSortingKey;
}

void VSoundManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  if (data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) {
    Update(Vision::Timer.GetTimeDifference());
  } else if (data->m_pSender == &Vision::Callbacks.OnUpdateSceneFinished) {
    SyncBackend();
  } else if (data->m_pSender == &Vision::Callbacks.OnObjectDestroyed) {
    auto* destroyed = static_cast<VisObjectDataObject_cl*>(data);
    if (m_pListenerObject && destroyed->m_pObject == static_cast<VTypedObject*>(m_pListenerObject)) {
      // The listener stays where the object was last.
      m_vListenerPos = m_pListenerObject->GetPosition();
      m_mListenerRot = m_pListenerObject->GetRotationMatrix();
      m_pListenerObject = nullptr;
      Vision::Callbacks.OnObjectDestroyed.DeregisterCallback(this);
    }
  } else if (data->m_pSender == &Vision::Callbacks.OnWorldDeInit) {
    // Whatever plays when the world goes is no sound of the next scene.
    for (VSoundObject* obj : m_instances) obj->AddStateFlags(VSOUND_NOCOLLECT);
  }
}

void VSoundManager::AddInstance(VSoundObject* obj) { m_instances.emplace_back(obj); }

void VSoundManager::RemoveInstance(VSoundObject* obj) {
  auto it = std::find_if(m_instances.begin(), m_instances.end(),
                         [obj](const VSmartPtr<VSoundObject>& p) { return p.GetPtr() == obj; });
  if (it == m_instances.end()) return;
  // The list's reference may be the last one: take it out of the list first.
  VSmartPtr<VSoundObject> keep = std::move(*it);
  m_instances.erase(it);
}

void VSoundManager::ForgetResource(VSoundResource* res) {
  if (!g_managerAlive) return;
  VSoundManager& m = GlobalManager();
  m.m_resources.erase(std::remove(m.m_resources.begin(), m.m_resources.end(), res), m.m_resources.end());
  if (m.m_pBackend) m.m_pBackend->Forget(res);
}

void VSoundManager::OnInstanceDeleted(VSoundObject* obj) {
  if (!g_managerAlive) return;
  VSoundManager& m = GlobalManager();
  if (m.m_pBackend) m.m_pBackend->Forget(obj);
}

void VSoundManager::SyncBackend() {
  if (!m_pBackend) return;
  std::vector<VSoundObject*> live;
  live.reserve(m_instances.size());
  for (VSoundObject* obj : m_instances) live.push_back(obj);
  m_pBackend->Sync(GetListenerPosition(), GetListenerRotation(), m_master, live);
}

void VSoundManager::ReleaseFinished() {
  // Deleting an instance runs no code of ours that touches the list, but keep the
  // deletions until the list is consistent again.
  std::vector<VSmartPtr<VSoundObject>> gone;
  size_t kept = 0;
  for (size_t i = 0; i < m_instances.size(); ++i) {
    if (m_instances[i]->IsFinished() && m_instances[i]->GetRefCount() == 1)
      gone.push_back(std::move(m_instances[i]));
    else if (kept != i)
      m_instances[kept++] = std::move(m_instances[i]);
    else
      ++kept;
  }
  m_instances.resize(kept);
}

void VSoundManager::SetListenerCamera(VisContextCamera_cl* camera) {
  // Whatever it followed before, the listener starts from where it is now.
  m_vListenerPos = GetListenerPosition();
  m_mListenerRot = GetListenerRotation();
  m_pListenerCamera = camera;
  m_pListenerObject = nullptr;
  Vision::Callbacks.OnObjectDestroyed.DeregisterCallback(this);
}

void VSoundManager::SetListenerObject(VisObject3D_cl* object) {
  m_vListenerPos = GetListenerPosition();
  m_mListenerRot = GetListenerRotation();
  m_pListenerObject = object;
  m_pListenerCamera = nullptr;
  // An entity the world destroys must not leave a dangling listener.
  if (object)
    Vision::Callbacks.OnObjectDestroyed.RegisterCallback(this);
  else
    Vision::Callbacks.OnObjectDestroyed.DeregisterCallback(this);
}

VisVector_cl VSoundManager::GetListenerPosition() const {
  if (m_pListenerCamera) return m_pListenerCamera->GetPosition();
  if (m_pListenerObject) return m_pListenerObject->GetPosition();
  return m_vListenerPos;
}

VisMatrix3x3_cl VSoundManager::GetListenerRotation() const {
  if (m_pListenerCamera) return VisRenderContext_cl::GetMainRenderContext()->GetCameraRotation();
  if (m_pListenerObject) return m_pListenerObject->GetRotationMatrix();
  return m_mListenerRot;
}
