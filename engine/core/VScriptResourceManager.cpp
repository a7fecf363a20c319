// The engine's script manager: the master Lua state, script instances loaded
// from the data folders, the game and scene scripts and the instances attached
// to objects.
#include "engine/core/VLuaInternal.h"

#include "engine/base/VCallback.h"
#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"
#include "engine/core/IVObjectComponent.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisTypedEngineObject.h"

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

VScriptResourceManager* g_liveManager = nullptr;

// Objects announced on Vision::Callbacks.OnObjectDestroyed are forgotten too.
class DestroyedObjectHandler : public IVisCallbackHandler_cl {
 public:
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override {
    if (!data || data->m_pSender != &Vision::Callbacks.OnObjectDestroyed || !g_liveManager) return;
    VTypedObject* obj = static_cast<VisObjectDataObject_cl*>(data)->m_pObject;
    if (!obj) return;
    if (obj->IsOfType(IVObjectComponent::GetClassTypeId())) {
      g_liveManager->OnObjectDestroyed(static_cast<IVObjectComponent*>(obj));
    } else if (obj->IsOfType(VisTypedEngineObject_cl::GetClassTypeId())) {
      g_liveManager->OnObjectDestroyed(static_cast<VisTypedEngineObject_cl*>(obj));
    }
  }
};

struct ManagerData {
  std::unordered_map<VTypedObject*, IVScriptInstance*> byObject;
  std::unordered_set<IVScriptInstance*> live;
  // How many live instances name each object as owner: a destroyed object that owns
  // none needs no walk over every instance.
  std::unordered_map<VTypedObject*, int> owners;
  DestroyedObjectHandler destroyedHandler;
};

ManagerData& Data(void* p) { return *static_cast<ManagerData*>(p); }

ManagerData* g_liveData = nullptr;  // the live manager's data

int LuaPanic(lua_State* L) {
  const char* msg = lua_tostring(L, -1);
  Vision::Error.FatalError("Lua panic: %s", msg ? msg : "(no message)");
}

// Loads a chunk and runs it on L in the given environment (registry reference,
// or LUA_NOREF for the globals); errors are logged.
bool LoadAndRun(lua_State* L, const char* text, size_t size, const char* chunkName, int envRef) {
  int base = lua_gettop(L);
  lua_pushcfunction(L, VLuaTraceback);
  int status = luaL_loadbuffer(L, text, size, chunkName);
  if (status == 0) {
    if (envRef != LUA_NOREF) {
      lua_rawgeti(L, LUA_REGISTRYINDEX, envRef);
      lua_setfenv(L, -2);
    }
    status = lua_pcall(L, 0, 0, base + 1);
  }
  bool ok = VScriptResourceManager::LuaErrorCheck(L, status);
  lua_settop(L, base);
  return ok;
}

bool ReadScript(const char* file, std::string& text) {
  if (!file || !*file) return false;
  if (Vision::File.ReadTextFile(file, text)) return true;
  Vision::Error.Warning("Script file %s not found", file);
  return false;
}

}  // namespace

namespace {
void CountOwner(VTypedObject* owner, int delta) {
  if (!owner) return;
  auto it = g_liveData->owners.find(owner);
  if (it == g_liveData->owners.end()) {
    if (delta > 0) g_liveData->owners.emplace(owner, delta);
    return;
  }
  if ((it->second += delta) <= 0) g_liveData->owners.erase(it);
}
}  // namespace

void VScriptTrackInstance(IVScriptInstance* inst, bool live) {
  if (!g_liveData) return;
  if (live) {
    if (g_liveData->live.insert(inst).second) CountOwner(inst->GetOwnerObject(), 1);
  } else {
    if (g_liveData->live.erase(inst)) CountOwner(inst->GetOwnerObject(), -1);
  }
}

void VScriptTrackOwner(IVScriptInstance* inst, VTypedObject* before, VTypedObject* after) {
  if (!g_liveData || before == after || !g_liveData->live.count(inst)) return;
  CountOwner(before, -1);
  CountOwner(after, 1);
}

namespace Vision {
VScriptResourceManager* GetScriptManager() {
  static VScriptResourceManager manager;
  return &manager;
}
}  // namespace Vision

VScriptResourceManager::VScriptResourceManager() : m_instances(new ManagerData) {
  g_liveManager = this;
  g_liveData = &Data(m_instances);
  Vision::Callbacks.OnObjectDestroyed.RegisterCallback(&Data(m_instances).destroyedHandler);
}

VScriptResourceManager::~VScriptResourceManager() {
  Vision::Callbacks.OnObjectDestroyed.DeregisterCallback(&Data(m_instances).destroyedHandler);
  Reset();
  g_liveManager = nullptr;
  g_liveData = nullptr;
  delete static_cast<ManagerData*>(m_instances);
}

void VScriptResourceManager::CreateMasterState() {
  m_L = luaL_newstate();
  if (!m_L) {
    Vision::Error.Warning("Could not create the Lua state");
    return;
  }
  lua_atpanic(m_L, LuaPanic);
  luaL_openlibs(m_L);
  VLuaOpenBaseLibrary(m_L);
}

lua_State* VScriptResourceManager::GetMasterState() {
  if (!m_L) CreateMasterState();
  return m_L;
}

bool VScriptResourceManager::LuaErrorCheck(lua_State* L, int status) {
  if (status == 0) return true;
  const char* msg = lua_tostring(L, -1);
  Vision::Error.Warning("Lua error: %s", msg ? msg : "(error object is not a string)");
  lua_pop(L, 1);
  return false;
}

IVScriptInstance* VScriptResourceManager::CreateScriptInstanceFromFile(const char* file, VisTypedEngineObject_cl* owner) {
  std::string text;
  if (!GetMasterState() || !ReadScript(file, text)) return nullptr;
  return CreateScriptInstanceFromText(file, text.data(), text.size(), owner);
}

IVScriptInstance* VScriptResourceManager::CreateScriptInstanceFromText(const char* file, const char* text, size_t size,
                                                                       VisTypedEngineObject_cl* owner) {
  lua_State* L = GetMasterState();
  if (!L || !file || !text) return nullptr;
  IVScriptInstance* inst = new IVScriptInstance(L, file, owner);
  std::string chunkName = std::string("@") + file;
  if (!inst->IsValid() || !LoadAndRun(inst->m_thread, text, size, chunkName.c_str(), inst->m_envRef)) {
    delete inst;
    return nullptr;
  }
  return inst;
}

VScriptResource* VScriptResourceManager::LoadScriptResource(const char* file) {
  std::string text;
  if (!file || !ReadScript(file, text)) return nullptr;
  return new VScriptResource(file, std::move(text));
}

IVScriptInstance* VScriptResource::CreateScriptInstance(VisTypedEngineObject_cl* owner) {
  VScriptResourceManager* manager = Vision::GetScriptManager();
  return manager ? manager->CreateScriptInstanceFromText(m_file.AsChar(), m_text.data(), m_text.size(), owner) : nullptr;
}

bool VScriptResourceManager::RunScriptFile(const char* file) {
  lua_State* L = GetMasterState();
  std::string text;
  if (!L || !ReadScript(file, text)) return false;
  std::string chunkName = std::string("@") + file;
  return LoadAndRun(L, text.data(), text.size(), chunkName.c_str(), LUA_NOREF);
}

bool VScriptResourceManager::RunString(const char* code, const char* chunkName) {
  lua_State* L = GetMasterState();
  if (!L || !code) return false;
  return LoadAndRun(L, code, strlen(code), chunkName ? chunkName : "=string", LUA_NOREF);
}

namespace {
void Replace(IVScriptInstance*& slot, IVScriptInstance* s) {
  if (slot == s) return;
  if (s) s->AddRef();
  IVScriptInstance* old = slot;
  slot = s;
  if (old) old->Release();
}
}  // namespace

void VScriptResourceManager::SetGameScript(IVScriptInstance* s) { Replace(m_pGameScript, s); }

void VScriptResourceManager::SetSceneScript(IVScriptInstance* s) { Replace(m_pSceneScript, s); }

IVScriptInstance* VScriptResourceManager::FindInstance(VTypedObject* obj) const {
  const ManagerData& d = Data(m_instances);
  auto it = d.byObject.find(obj);
  return it == d.byObject.end() ? nullptr : it->second;
}

void VScriptResourceManager::AttachInstance(VTypedObject* obj, IVScriptInstance* inst) {
  if (!obj) return;
  if (!inst) {
    DetachInstance(obj);
    return;
  }
  ManagerData& d = Data(m_instances);
  IVScriptInstance*& slot = d.byObject[obj];
  IVScriptInstance* old = slot;
  inst->SetOwnerObject(obj);
  if (old == inst) return;
  inst->AddRef();
  slot = inst;
  if (old) {
    if (old->GetOwnerObject() == obj) old->SetOwnerObject(nullptr);
    old->Release();
  }
}

void VScriptResourceManager::DetachInstance(VTypedObject* obj) {
  ManagerData& d = Data(m_instances);
  auto it = d.byObject.find(obj);
  if (it == d.byObject.end()) return;
  IVScriptInstance* inst = it->second;
  d.byObject.erase(it);
  if (inst->GetOwnerObject() == obj) inst->SetOwnerObject(nullptr);
  inst->Release();
}

void VScriptResourceManager::ForgetObject(VTypedObject* obj) {
  if (!obj) return;
  if (m_L) VLuaInvalidateProxy(m_L, obj);
  DetachInstance(obj);
  ManagerData& d = Data(m_instances);
  if (!d.owners.count(obj)) return;
  std::vector<IVScriptInstance*> owned;
  for (IVScriptInstance* inst : d.live)
    if (inst->GetOwnerObject() == obj) owned.push_back(inst);
  for (IVScriptInstance* inst : owned) inst->SetOwnerObject(nullptr);
}

IVScriptInstance* VScriptResourceManager::GetScriptInstance(VisTypedEngineObject_cl* obj) const {
  return FindInstance(obj);
}
void VScriptResourceManager::SetScriptInstance(VisTypedEngineObject_cl* obj, IVScriptInstance* inst) {
  AttachInstance(obj, inst);
}
void VScriptResourceManager::RemoveScriptInstance(VisTypedEngineObject_cl* obj) { DetachInstance(obj); }
IVScriptInstance* VScriptResourceManager::GetScriptInstance(IVObjectComponent* comp) const {
  return FindInstance(comp);
}
void VScriptResourceManager::SetScriptInstance(IVObjectComponent* comp, IVScriptInstance* inst) {
  AttachInstance(comp, inst);
}
void VScriptResourceManager::RemoveScriptInstance(IVObjectComponent* comp) { DetachInstance(comp); }
void VScriptResourceManager::OnObjectDestroyed(VisTypedEngineObject_cl* obj) { ForgetObject(obj); }
void VScriptResourceManager::OnObjectDestroyed(IVObjectComponent* comp) { ForgetObject(comp); }
void VScriptResourceManager::NotifyObjectDestroyed(VTypedObject* obj) {
  if (g_liveManager) g_liveManager->ForgetObject(obj);
}

void VScriptResourceManager::Think() {
  if (m_bSuspended || !m_pSceneScript) return;
  if (m_pSceneScript->HasFunction("OnThink")) m_pSceneScript->ExecuteFunctionArg("OnThink", "");
}

void VScriptResourceManager::Reset() {
  SetGameScript(nullptr);
  SetSceneScript(nullptr);
  ManagerData& d = Data(m_instances);
  std::vector<VTypedObject*> objects;
  for (auto& entry : d.byObject) objects.push_back(entry.first);
  for (VTypedObject* obj : objects) DetachInstance(obj);
  if (!m_L) return;
  // Instances still held elsewhere outlive the state: they turn inert.
  std::vector<IVScriptInstance*> held(d.live.begin(), d.live.end());
  for (IVScriptInstance* inst : held) {
    if (inst->GetLuaState() == m_L) inst->Detach();
  }
  lua_close(m_L);
  m_L = nullptr;
}
