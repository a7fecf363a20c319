// The world of entities (Vision::Game): the entity table with its id index, creation
// by class name and from templates, search, messages, think passes, removal and the
// shared models.
#include "engine/core/VisGame.h"

#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"
#include "engine/core/VDynamicMesh.h"
#include "engine/core/VScriptManager.h"
#include "engine/core/VisCallbacks.h"

#include <algorithm>

namespace Vision {
VisGame_cl Game;
}  // namespace Vision

VisGame_cl::VisGame_cl() = default;

VisGame_cl::~VisGame_cl() {
  // At program exit the script manager and the callbacks may already be gone: free
  // what is left without de-initialising it or telling them.
  m_bShutdown = true;
  RemoveAllEntities();
  RemoveAllScenePaths();
  for (auto& entry : m_meshes) entry.second->Release();
  m_meshes.clear();
}

// ---- the entity table -------------------------------------------------------

void VisGame_cl::AddEntity(VisBaseEntity_cl* e) {
  if (!e || e->m_iNumber >= 0) return;
  size_t slot = m_firstFree;
  while (slot < m_entities.size() && m_entities[slot]) ++slot;
  if (slot == m_entities.size()) m_entities.push_back(nullptr);
  m_entities[slot] = e;
  m_firstFree = slot + 1;
  e->m_iNumber = (int)slot;
  e->m_iCreationSerial = ++m_creationSerial;
  if (!e->m_bRemoved) IndexId(e);
  UpdateTraceCandidate(e);
}

void VisGame_cl::Unlist(VisBaseEntity_cl* e) {
  const int n = e->m_iNumber;
  if (n < 0 || n >= (int)m_entities.size() || m_entities[n] != e) return;
  if (!e->m_bRemoved) UnindexId(e);
  m_traceCandidates.Remove(e);
  m_entities[n] = nullptr;
  e->m_iNumber = -1;
  m_firstFree = std::min(m_firstFree, (size_t)n);
  while (!m_entities.empty() && !m_entities.back()) m_entities.pop_back();
  m_firstFree = std::min(m_firstFree, m_entities.size());
}

void VisGame_cl::IndexId(VisBaseEntity_cl* e) {
  const int64_t id = e->m_iUniqueID;
  if (id == 0) return;
  ++m_idCount[id];
  auto it = m_byId.find(id);
  if (it == m_byId.end()) {
    m_byId[id] = e;
    return;
  }
  Vision::Error.Warning("Unique id %lld is used by more than one entity", (long long)id);
  if (e->m_iNumber < it->second->m_iNumber) it->second = e;
}

void VisGame_cl::UnindexId(VisBaseEntity_cl* e) {
  const int64_t id = e->m_iUniqueID;
  if (id == 0) return;
  auto count = m_idCount.find(id);
  if (count == m_idCount.end()) return;
  const bool last = --count->second <= 0;
  if (last) m_idCount.erase(count);
  auto it = m_byId.find(id);
  if (it == m_byId.end() || it->second != e) return;
  if (last) {
    m_byId.erase(it);
    return;
  }
  // Another live entity carries the same id: the lowest slot takes over.
  for (VisBaseEntity_cl* other : m_entities) {
    if (other && other != e && !other->m_bRemoved && other->m_iUniqueID == id) {
      it->second = other;
      return;
    }
  }
  m_byId.erase(it);
}

VisBaseEntity_cl* VisGame_cl::FindEntityByUniqueID(int64_t id) const {
  if (id == 0) return nullptr;
  auto it = m_byId.find(id);
  return it == m_byId.end() ? nullptr : it->second;
}

void VisGame_cl::UpdateTraceCandidate(VisBaseEntity_cl* e) {
  const bool wanted = e->m_iNumber >= 0 && e->m_eTraceAccuracy != VIS_TRACEACC_NOCOLLISION;
  if (!wanted) {
    m_traceCandidates.Remove(e);
  } else {
    m_traceCandidates.Add(e);
    m_traceCandidates.MarkStale(e);  // another accuracy traces another shape
  }
}

// ---- creation ---------------------------------------------------------------

namespace {
VisBaseEntity_cl* CreateEntityObject(const char* className) {
  if (!className || !*className) {
    Vision::Error.Warning("CreateEntity: no class name");
    return nullptr;
  }
  VTypedObject* obj = VType::CreateObject(className);
  if (!obj) {
    Vision::Error.Warning("CreateEntity: unknown or abstract class %s", className);
    return nullptr;
  }
  if (!obj->IsOfType(VisBaseEntity_cl::GetClassTypeId())) {
    Vision::Error.Warning("CreateEntity: class %s is not an entity class", className);
    delete obj;
    return nullptr;
  }
  return static_cast<VisBaseEntity_cl*>(obj);
}

void ApplyParameters(VisBaseEntity_cl* e, const char* params) {
  if (!params || !*params) return;
  VARTABLE* vars = e->GetTypeId()->GetVarTable();
  if (vars) vars->ApplyParameterString(e, params);
}
}  // namespace

VisBaseEntity_cl* VisGame_cl::CreateEntity(const char* className, const VisVector_cl& pos, const char* model,
                                           const char* params) {
  VisBaseEntity_cl* e = CreateEntityObject(className);
  if (!e) return nullptr;
  e->SetPosition(pos);
  if (model && *model) e->SetMesh(model);
  ApplyParameters(e, params);
  e->InitFunction();
  return e;
}

VisBaseEntity_cl* VisGame_cl::CreateEntity(VisEntityTemplate_cl& templ) {
  VisBaseEntity_cl* e = CreateEntityObject(templ.m_sClassName.AsChar());
  if (!e) return nullptr;
  e->SetPosition(templ.m_vPosition);
  e->SetOrientation(templ.m_vOrientation);
  e->SetScaling(VisVector_cl(templ.m_vScaling.x, templ.m_vScaling.y, templ.m_vScaling.z));
  e->SetEntityKey(templ.m_sKey.AsChar());
  if (!templ.m_sModelFile.IsEmpty()) e->SetMesh(templ.m_sModelFile.AsChar());
  ApplyParameters(e, templ.m_sEntityParams.AsChar());
  templ.ApplyToEntity(e);
  e->InitFunction();
  return e;
}

// ---- search and messages ----------------------------------------------------

VisBaseEntity_cl* VisGame_cl::SearchEntity(const char* key) const {
  if (!key) key = "";
  for (VisBaseEntity_cl* e : m_entities)
    if (e && !e->m_bRemoved && e->HasObjectKey(key)) return e;
  return nullptr;
}

int VisGame_cl::SearchEntity(const char* key, VisEntityCollection_cl& out) const {
  if (!key) key = "";
  int found = 0;
  for (VisBaseEntity_cl* e : m_entities) {
    if (e && !e->m_bRemoved && e->HasObjectKey(key)) {
      out.Append(e);
      ++found;
    }
  }
  return found;
}

template <class Fn>
void VisGame_cl::ForEachLiveEntity(Fn fn) {
  // Index walk: entities deleted meanwhile leave a null slot, and the creation
  // serial keeps entities created meanwhile (even in a reused slot) out.
  const uint64_t lastSerial = m_creationSerial;
  for (size_t i = 0; i < m_entities.size(); ++i) {
    VisBaseEntity_cl* e = m_entities[i];
    if (e && !e->m_bRemoved && e->m_iCreationSerial <= lastSerial) fn(e);
  }
}

void VisGame_cl::SendMsg(VisTypedEngineObject_cl* target, int id, INT_PTR p1, INT_PTR p2) {
  if (target) target->MessageFunction(id, p1, p2);
}

void VisGame_cl::SendMsgToAll(int id, INT_PTR p1, INT_PTR p2) {
  ForEachLiveEntity([&](VisBaseEntity_cl* e) { e->MessageFunction(id, p1, p2); });
}

void VisGame_cl::RunThinkFunctions() {
  ForEachLiveEntity([](VisBaseEntity_cl* e) {
    if (e->GetMotionDelta().IsZero()) return;
    const VisVector_cl delta = e->GetMotionDelta();
    e->ResetMotionDelta();
    e->IncPosition(delta);
  });
  ForEachLiveEntity([](VisBaseEntity_cl* e) {
    if (e->m_bPreThink) e->PreThinkFunction();
  });
  ForEachLiveEntity([](VisBaseEntity_cl* e) {
    if (e->m_bThink) e->ThinkFunction();
  });
}

// ---- removal ----------------------------------------------------------------

void VisGame_cl::DestroyEntity(VisBaseEntity_cl* e) {
  if (!m_bShutdown) e->DeInitFunction();
  while (e->GetNumChildren() > 0) {
    VisObject3D_cl* child = e->GetChild(e->GetNumChildren() - 1);
    child->AttachToParent(nullptr);
    // An override may refuse to let go; the child must not keep a dead parent.
    if (child->GetParent() == e) child->VisObject3D_cl::AttachToParent(nullptr);
  }
  e->VisObject3D_cl::AttachToParent(nullptr);
  e->RemoveAllComponents();
  if (!m_bShutdown) {
    if (VScriptResourceManager* scripts = Vision::GetScriptManager()) scripts->OnObjectDestroyed(e);
    VisObjectDataObject_cl data(&Vision::Callbacks.OnObjectDestroyed, e);
    Vision::Callbacks.OnObjectDestroyed.TriggerCallbacks(&data);
  }
  Unlist(e);
  delete e;
}

void VisGame_cl::FreeRemovedEntities() {
  // De-initialising one entity may remove others: repeat until none is left.
  for (;;) {
    std::vector<std::pair<size_t, VisBaseEntity_cl*>> removed;
    for (size_t i = 0; i < m_entities.size(); ++i)
      if (m_entities[i] && m_entities[i]->m_bRemoved) removed.emplace_back(i, m_entities[i]);
    if (removed.empty()) return;
    for (auto& [slot, e] : removed) {
      // Skip an entity that an earlier one's de-initialisation deleted directly.
      if (slot >= m_entities.size() || m_entities[slot] != e) continue;
      DestroyEntity(e);
    }
  }
}

void VisGame_cl::RemoveAllEntities() {
  // Entities created while the others go are removed as well.
  for (;;) {
    bool any = false;
    for (VisBaseEntity_cl* e : m_entities) {
      if (!e || (!m_bShutdown && e->GetParentZone() && !e->IsMarkedRemoved())) continue;
      e->Remove();
      any = true;
    }
    if (!any) return;
    FreeRemovedEntities();
  }
}

// ---- models -----------------------------------------------------------------

VDynamicMesh* VisGame_cl::LoadDynamicMesh(const char* file, bool, bool) {
  if (!file || !*file) return nullptr;
  const std::string key = VFileHelper::GetCacheKey(file);
  auto it = m_meshes.find(key);
  if (it != m_meshes.end()) return it->second;
  VDynamicMesh* mesh = new VDynamicMesh(file);
  if (!mesh->LoadFromFile(file)) {
    delete mesh;
    return nullptr;
  }
  mesh->AddRef();
  m_meshes[key] = mesh;
  return mesh;
}

int VisGame_cl::ReloadMeshSurfaceTextures() {
  int changed = 0;
  for (auto& [key, mesh] : m_meshes) changed += mesh->ReloadSurfaceTextures() ? 1 : 0;
  return changed;
}

int VisGame_cl::PurgeUnusedMeshes() {
  int dropped = 0;
  for (auto it = m_meshes.begin(); it != m_meshes.end();) {
    if (it->second->GetRefCount() <= 1) {
      it->second->Release();
      it = m_meshes.erase(it);
      ++dropped;
    } else {
      ++it;
    }
  }
  return dropped;
}
