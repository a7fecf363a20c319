// The game's base entity: editor variables, the saved block, mouse-trace accuracies,
// mesh streaming through the model proxies, script values and deferred removals.
#include "core/BaseEntity.h"

#include <algorithm>

#include "components/HealthBarComponent.h"
#include "core/GameManager.h"
#include "core/VModelScheduler.h"
#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"
#include "engine/base/VarTable.h"
#include "engine/base/VisError.h"
#include "engine/core/VScriptManager.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisRenderContext.h"

#include <cstring>

namespace {

const char kBaseEntityVersion = 3;
const char* const kTraceAccuracyList =
    "VIS_TRACEACC_NOCOLLISION,VIS_TRACEACC_AABOX,VIS_TRACEACC_OBOX,VIS_TRACEACC_SPHERE,VIS_TRACEACC_POLYGONS";

// The mesh's file name less one leading separator, unless a second "\" follows.
const char* StrippedMeshName(const char* file) {
  if (!file) return "";
  if ((file[0] == '\\' || file[0] == '/') && file[1] != '\\') return file + 1;
  return file;
}

IVScriptInstance* ScriptOf(BaseEntity* e) {
  VScriptResourceManager* manager = Vision::GetScriptManager();
  IVScriptInstance* script = manager ? manager->GetScriptInstance(e) : nullptr;
  return script && script->IsValid() ? script : nullptr;
}

}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(BaseEntity, VisBaseEntity_cl, &BaseEntity::BuildVarList)

void BaseEntity::BuildVarList(VARTABLE& t) {
  V_DEFINE_VAR(t, BaseEntity, m_bSave, VULPTYPE_BOOL, "Save this entity to savegame", "0", nullptr);
  VAR_INT(t, BaseEntity, m_iNation, "Nation number (0=none)", "0");
  VAR_ENUM(t, BaseEntity, m_eCollisionTraceAccuracy, "Collision trace accuracy", "VIS_TRACEACC_NOCOLLISION",
           kTraceAccuracyList);
  VAR_ENUM(t, BaseEntity, m_eClickTraceAccuracy, "Click trace accuracy", "VIS_TRACEACC_NOCOLLISION",
           kTraceAccuracyList);
}

BaseEntity::BaseEntity() {
  BaseEntityDataObject data(&GameManager::Callbacks.OnEntityCreated, this);
  GameManager::Callbacks.OnEntityCreated.TriggerCallbacks(&data);
  Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
}

BaseEntity::~BaseEntity() {
  Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
  BaseEntityDataObject data(&GameManager::Callbacks.OnEntityDestroyed, this);
  GameManager::Callbacks.OnEntityDestroyed.TriggerCallbacks(&data);
  GameManager::Callbacks.OnBeginMouseTrace.DeregisterCallback(this);
  GameManager::Callbacks.OnEndMouseTrace.DeregisterCallback(this);
  m_componentsToRemove.clear();
  m_spModelProxy = nullptr;
}

void BaseEntity::InitFunction() { VisBaseEntity_cl::InitFunction(); }

VisTraceAccuracy_e BaseEntity::TraceAccuracyFromListPosition(int position) {
  // A damaged saved block may hold any number: the enumeration cannot.
  if (position < 0 || position > VIS_TRACEACC_POLYGONS) return VIS_TRACEACC_NOCOLLISION;
  return position == 4 ? VIS_TRACEACC_POLYGONS : (VisTraceAccuracy_e)position;
}

// ---- saved block ------------------------------------------------------------------

void BaseEntity::Serialize(VArchive& ar) {
  VisBaseEntity_cl::Serialize(ar);
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBaseEntityVersion);
    ar << m_bSave << m_iNation << (int)m_eCollisionTraceAccuracy << (int)m_eClickTraceAccuracy << m_bCanTrace;
    SaveGameManagerProto::EndBlock(ar);
    return;
  }

  SavedBlockReader block(ar, GetClassTypeName(), kBaseEntityVersion);
  if (!block.IsOpen()) return;
  int save = 0, nation = 0, collision = 0, click = 0, canTrace = 1;
  if (block.Has(2)) ar >> save >> nation >> collision >> click;
  if (block.Has(3)) ar >> canTrace;
  if (!block.End()) return;
  if (block.Has(2)) {
    m_bSave = save;
    m_iNation = nation;
    m_eCollisionTraceAccuracy = TraceAccuracyFromListPosition(collision);
    m_eClickTraceAccuracy = TraceAccuracyFromListPosition(click);
    UpdateMouseTraceRegistration();
    SetTraceAccuracy(m_eCollisionTraceAccuracy);
  }
  if (block.Has(3)) {
    m_bCanTrace = canTrace;
    if (canTrace == 0 && GameManager::HasInstance()) GameManager::GetInstance()->RemoveTraceEntity(this);
  }
}

// ---- callbacks and trace accuracies ---------------------------------------------

void BaseEntity::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  if (data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) {
    UpdateMesh();
    while (!m_componentsToRemove.empty()) {
      IVObjectComponent* component = m_componentsToRemove.front();
      m_componentsToRemove.erase(m_componentsToRemove.begin());
      // A component that left the entity meanwhile is not ours to dispose of.
      if (RemoveComponent(component)) component->DisposeObject();
    }
  } else if (data->m_pSender == &GameManager::Callbacks.OnBeginMouseTrace) {
    SetTraceAccuracy(m_eClickTraceAccuracy);
  } else if (data->m_pSender == &GameManager::Callbacks.OnEndMouseTrace) {
    SetTraceAccuracy(m_eCollisionTraceAccuracy);
  }
}

void BaseEntity::OnVariableValueChanged(VisVariable_cl* var, const char* value) {
  if (var && var->name &&
      (std::strcmp(var->name, "m_eCollisionTraceAccuracy") == 0 || std::strcmp(var->name, "m_eClickTraceAccuracy") == 0)) {
    m_eCollisionTraceAccuracy = TraceAccuracyFromListPosition(m_eCollisionTraceAccuracy);
    m_eClickTraceAccuracy = TraceAccuracyFromListPosition(m_eClickTraceAccuracy);
    UpdateMouseTraceRegistration();
  }
  VisBaseEntity_cl::OnVariableValueChanged(var, value);
}

void BaseEntity::SetCollisionTraceAccuracy(VisTraceAccuracy_e accuracy) {
  m_eCollisionTraceAccuracy = TraceAccuracyFromListPosition(accuracy);
  UpdateMouseTraceRegistration();
}

void BaseEntity::SetClickTraceAccuracy(VisTraceAccuracy_e accuracy) {
  m_eClickTraceAccuracy = TraceAccuracyFromListPosition(accuracy);
  UpdateMouseTraceRegistration();
}

void BaseEntity::UpdateMouseTraceRegistration() {
  VCallback& begin = GameManager::Callbacks.OnBeginMouseTrace;
  VCallback& end = GameManager::Callbacks.OnEndMouseTrace;
  if (m_eCollisionTraceAccuracy == m_eClickTraceAccuracy) {
    begin.DeregisterCallback(this);
    end.DeregisterCallback(this);
    return;
  }
  // Registering twice has no effect.
  begin.RegisterCallback(this);
  end.RegisterCallback(this);
}

bool BaseEntity::IsRegisteredForMouseTrace() const {
  return GameManager::Callbacks.OnBeginMouseTrace.IsRegistered(this);
}

// ---- components -------------------------------------------------------------------

void BaseEntity::RemoveComponentDeferred(IVObjectComponent* component) {
  if (component && std::find(m_componentsToRemove.begin(), m_componentsToRemove.end(), component) ==
                       m_componentsToRemove.end())
    m_componentsToRemove.push_back(component);
}

void BaseEntity::OnComponentRemoved(IVObjectComponent* component) {
  m_componentsToRemove.erase(std::remove(m_componentsToRemove.begin(), m_componentsToRemove.end(), component),
                             m_componentsToRemove.end());
}

void BaseEntity::ShowHealthBar(float seconds) {
  auto* bar = static_cast<HealthBarComponent*>(GetComponentOfType(HealthBarComponent::GetClassTypeId()));
  if (!bar) {
    bar = new HealthBarComponent();
    VString reason;
    if (!bar->CanAttachToObject(this, reason)) {
      bar->DisposeObject();
      return;
    }
    bar->Initialize();
    AddComponent(bar);
  }
  bar->Show(seconds);
}

void BaseEntity::HideHealthBar() {
  if (auto* bar = static_cast<HealthBarComponent*>(GetComponentOfType(HealthBarComponent::GetClassTypeId())))
    bar->Hide();
}

// ---- mesh streaming ---------------------------------------------------------------

bool BaseEntity::IsCurrentMesh(const char* name) const {
  return GetMesh() && name && std::strcmp(StrippedMeshName(GetMesh()->GetFilename()), name) == 0;
}

void BaseEntity::SetProxy(VModelProxy* proxy) {
  if (proxy != m_spModelProxy.GetPtr()) m_spModelProxy = proxy;
}

void BaseEntity::SetMeshFilename(const char* name, bool keep) {
  const char* wanted = name ? name : "";
  if (m_sMeshFilename == wanted) return;
  if (IsCurrentMesh(wanted)) return;
  m_sMeshFilename = wanted;
  if (m_sMeshFilename.IsEmpty()) {
    SetProxy(nullptr);
    return;
  }
  SetProxy(::GetModelProxy(m_sMeshFilename.AsChar()));
  if (keep && !m_spModelProxy->IsKeep()) m_spModelProxy->SetKeep(true);
}

void BaseEntity::UpdateMesh() {
  if (!m_spModelProxy || m_sMeshFilename.IsEmpty()) return;
  const float d = GetPosition().GetDistance(Vision::Camera.GetPosition());
  if (d < m_fFarDistance) {
    VModelProxy* proxy = m_spModelProxy;
    if (!proxy->IsRequested()) proxy->EnsureLoaded();
    if (proxy->IsLoaded()) {
      if (GetMesh() != proxy->GetMesh()) SetMesh(proxy->GetMesh());
      SetNoMesh(false);
    }
  } else if (m_bCanUnloadMesh && d > 1.2f * m_fFarDistance && (HasMesh() || m_spModelProxy->IsRequested())) {
    SetMesh((VDynamicMesh*)nullptr);
    // Letting go may drop the model; a fresh proxy streams it in again on return.
    m_spModelProxy = nullptr;
    m_spModelProxy = ::GetModelProxy(m_sMeshFilename.AsChar());
  }
}

void BaseEntity::EnsureMeshLoaded() {
  VModelProxy* proxy = m_spModelProxy;
  if (proxy && proxy->IsLoaded()) {
    if (proxy->GetMesh() != GetMesh()) {
      Vision::Error.SystemMessage("Mesh already loaded: %s", m_sMeshFilename.AsChar());
      SetMesh(proxy->GetMesh());
    }
    return;
  }
  if (proxy && !proxy->IsRequested()) {
    Vision::Error.SystemMessage("Mesh streaming not started.");
    m_spModelProxy = nullptr;
    if (!IsCurrentMesh(m_sMeshFilename.AsChar())) {
      Vision::Error.SystemMessage("Load mesh: %s", m_sMeshFilename.AsChar());
      SetMesh(m_sMeshFilename.AsChar());
    }
    return;
  }
  if (proxy) {
    Vision::Error.SystemMessage("Stream mesh: %s", m_sMeshFilename.AsChar());
    for (int i = 0; i < 1000 && !proxy->IsLoaded(); ++i) proxy->TickFunction(1.0f);
    if (proxy->IsLoaded())
      Vision::Error.SystemMessage("Mesh loaded: %s", m_sMeshFilename.AsChar());
    else
      Vision::Error.SystemMessage("Couldn't load mesh: %s", m_sMeshFilename.AsChar());
    if (proxy->GetMesh() && proxy->GetMesh() != GetMesh()) SetMesh(proxy->GetMesh());
    return;
  }
  if (!m_sMeshFilename.IsEmpty() && !IsCurrentMesh(m_sMeshFilename.AsChar())) SetMesh(m_sMeshFilename.AsChar());
}

// ---- script values ----------------------------------------------------------------

bool BaseEntity::SetScriptValue(const char* name, int value) {
  IVScriptInstance* script = ScriptOf(this);
  return script && script->SetGlobal(name, value);
}

bool BaseEntity::SetScriptValue(const char* name, const VString& value) {
  IVScriptInstance* script = ScriptOf(this);
  return script && script->SetGlobal(name, value.AsChar() ? value.AsChar() : "");
}

bool BaseEntity::SetScriptValue(const char* name, const char* value) {
  if (!value) return false;
  IVScriptInstance* script = ScriptOf(this);
  return script && script->SetGlobal(name, value);
}

bool BaseEntity::SetScriptValue(const char* name, float value) {
  IVScriptInstance* script = ScriptOf(this);
  return script && script->SetGlobal(name, value);
}

bool BaseEntity::SetScriptValue(const char* name, const VisVector_cl& value) {
  IVScriptInstance* script = ScriptOf(this);
  return script && script->SetGlobal(name, value);
}

bool BaseEntity::SetScriptValue(const char* name, bool value) {
  IVScriptInstance* script = ScriptOf(this);
  return script && script->SetGlobal(name, value);
}

bool BaseEntity::GetScriptValue(const char* name, VString& out) {
  IVScriptInstance* script = ScriptOf(this);
  return script && script->GetGlobal(name, out);
}

bool BaseEntity::GetScriptValue(const char* name, int& out) {
  IVScriptInstance* script = ScriptOf(this);
  return script && script->GetGlobal(name, out);
}

bool BaseEntity::GetScriptValue(const char* name, float& out) {
  IVScriptInstance* script = ScriptOf(this);
  return script && script->GetGlobal(name, out);
}

bool BaseEntity::GetScriptValue(const char* name, VisVector_cl& out) {
  IVScriptInstance* script = ScriptOf(this);
  return script && script->GetGlobal(name, out);
}

bool BaseEntity::GetScriptValue(const char* name, bool& out) {
  IVScriptInstance* script = ScriptOf(this);
  return script && script->GetGlobal(name, out);
}
