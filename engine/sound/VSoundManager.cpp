// The sound plug-in's manager: resources read through libsndfile, the live
// instances and their per-frame advance.
#include "engine/sound/VSoundManager.h"

#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"

#include <sndfile.h>

#include <algorithm>
#include <string>

namespace {

// Resources may be let go after the manager during process exit.
bool g_managerAlive = false;

// libsndfile reads through the engine's file streams, so sounds are found like
// every other data file.
sf_count_t StreamLength(void* user) { return (sf_count_t) static_cast<IVFileInStream*>(user)->GetSize(); }

sf_count_t StreamSeek(sf_count_t offset, int whence, void* user) {
  IVFileInStream* in = static_cast<IVFileInStream*>(user);
  const int mode = whence == SEEK_CUR ? 1 : (whence == SEEK_END ? 2 : 0);
  if (!in->SetPos(offset, mode)) return -1;
  return (sf_count_t)in->GetPos();
}

sf_count_t StreamRead(void* ptr, sf_count_t count, void* user) {
  if (count <= 0) return 0;
  return (sf_count_t) static_cast<IVFileInStream*>(user)->Read(ptr, (size_t)count);
}

sf_count_t StreamWrite(const void*, sf_count_t, void*) { return 0; }

sf_count_t StreamTell(void* user) { return (sf_count_t) static_cast<IVFileInStream*>(user)->GetPos(); }

// The format of a sound file from its header; false when it is none.
bool ReadSoundInfo(const char* file, SF_INFO& info) {
  IVFileInStream* in = Vision::File.Open(file);
  if (!in) return false;
  SF_VIRTUAL_IO io{StreamLength, StreamSeek, StreamRead, StreamWrite, StreamTell};
  info = SF_INFO{};
  SNDFILE* sf = sf_open_virtual(&io, SFM_READ, &info, in);
  bool ok = sf != nullptr && info.samplerate > 0 && info.channels > 0 && info.frames >= 0;
  if (!sf) Vision::Error.Warning("Sound file %s cannot be read: %s", file, sf_strerror(nullptr));
  if (sf) sf_close(sf);
  in->Close();
  return ok;
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
    Vision::Callbacks.OnWorldDeInit.DeregisterCallback(this);
  }
  m_instances.clear();
  m_resources.clear();
  g_managerAlive = false;
}

void VSoundManager::SetInitialized(bool on) {
  if (on == m_initialized) return;
  m_initialized = on;
  if (on) {
    Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
    Vision::Callbacks.OnWorldDeInit.RegisterCallback(this);
    return;
  }
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  Vision::Callbacks.OnWorldDeInit.DeregisterCallback(this);
  // Holders keep silent objects; the list lets go of all of them.
  std::vector<VSmartPtr<VSoundObject>> live;
  live.swap(m_instances);
  for (VSoundObject* obj : live) {
    obj->Stop();
    obj->m_bDisposed = true;
  }
  m_sceneSoundsStopped = false;
}

VSoundResource* VSoundManager::LoadSoundResource(const char* file, int resourceFlags) {
  if (!m_initialized || !file || !*file) return nullptr;
  // One resource per file on disk, however the name is written.
  std::string path;
  if (!Vision::File.ResolvePath(file, path)) return nullptr;
  for (VSoundResource* res : m_resources)
    if (res->GetResourceFlags() == resourceFlags && res->m_sPath == path) return res;
  SF_INFO info;
  if (!ReadSoundInfo(path.c_str(), info)) return nullptr;
  VSoundResource* res = new VSoundResource(file, resourceFlags, (int64_t)info.frames, info.samplerate, info.channels);
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

void VSoundManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  if (data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) {
    Update(Vision::Timer.GetTimeDifference());
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

// The listener's state comes with the 3D sound back end.
void VSoundManager::SetListenerCamera(VisContextCamera_cl* camera) {
  m_pListenerCamera = camera;
  m_pListenerObject = nullptr;
}

void VSoundManager::SetListenerObject(VisObject3D_cl* object) {
  m_pListenerObject = object;
  m_pListenerCamera = nullptr;
}

VisVector_cl VSoundManager::GetListenerPosition() const { return VisVector_cl(0, 0, 0); }

VisMatrix3x3_cl VSoundManager::GetListenerRotation() const { return VisMatrix3x3_cl(); }
