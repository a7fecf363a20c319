// Engine objects: component list, message delivery to components, variable-change
// messages and the saved form of the key and components.
#include "engine/core/VisTypedEngineObject.h"

#include "engine/base/VArchive.h"
#include "engine/base/VisError.h"
#include "engine/core/IVObjectComponent.h"
#include "engine/core/VScriptManager.h"

#include <algorithm>

V_IMPLEMENT_DYNAMIC(VisTypedEngineObject_cl, VTypedObject)

namespace {
const char kEngineObjectVersion = 1;
}

VisTypedEngineObject_cl::VisTypedEngineObject_cl() = default;

VisTypedEngineObject_cl::~VisTypedEngineObject_cl() {
  // Components die with their owner.
  while (!m_components.empty()) {
    IVObjectComponent* c = m_components.back();
    m_components.pop_back();
    c->SetOwner(nullptr);
    c->DisposeObject();
  }
  // Scripts may still hold its proxy (objects other than entities die unannounced).
  VScriptResourceManager::NotifyObjectDestroyed(this);
}

void VisTypedEngineObject_cl::MessageFunction(int id, INT_PTR p1, INT_PTR p2) {
  if (m_components.empty()) return;
  // A component may remove itself or another one while handling the message: walk a
  // copy (on the stack when small) and skip whatever left the list meanwhile.
  const size_t n = m_components.size();
  IVObjectComponent* few[16];
  std::vector<IVObjectComponent*> many;
  IVObjectComponent** snapshot = few;
  if (n <= 16) {
    std::copy(m_components.begin(), m_components.end(), few);
  } else {
    many = m_components;
    snapshot = many.data();
  }
  for (size_t i = 0; i < n; ++i) {
    IVObjectComponent* c = snapshot[i];
    if (std::find(m_components.begin(), m_components.end(), c) == m_components.end()) continue;
    c->MessageFunction(id, p1, p2);
  }
}

bool VisTypedEngineObject_cl::AddComponent(IVObjectComponent* component) {
  if (!component) return false;
  VString reason;
  if (!component->CanAttachToObject(this, reason)) {
    Vision::Error.Warning("Component %s cannot be attached to %s: %s", component->GetClassTypeName(),
                          GetClassTypeName(), reason.AsChar());
    return false;
  }
  m_components.push_back(component);
  component->SetOwner(this);
  return true;
}

bool VisTypedEngineObject_cl::RemoveComponent(IVObjectComponent* component) {
  auto it = std::find(m_components.begin(), m_components.end(), component);
  if (it == m_components.end()) return false;
  m_components.erase(it);
  component->SetOwner(nullptr);
  OnComponentRemoved(component);
  return true;
}

void VisTypedEngineObject_cl::RemoveAllComponents() {
  while (!m_components.empty()) {
    IVObjectComponent* c = m_components.back();
    RemoveComponent(c);
    c->DisposeObject();
  }
}

IVObjectComponent* VisTypedEngineObject_cl::GetComponentOfType(const VType* type, bool exact) const {
  if (!type) return nullptr;
  for (IVObjectComponent* c : m_components)
    if (c->GetTypeId() == type) return c;
  if (exact) return nullptr;
  for (IVObjectComponent* c : m_components)
    if (c->IsOfType(type)) return c;
  return nullptr;
}

IVObjectComponent* VisTypedEngineObject_cl::GetComponentOfType(const char* className) const {
  if (!className || !*className) return nullptr;
  return GetComponentOfType(VType::FindType(className), false);
}

IVObjectComponent* VisTypedEngineObject_cl::GetComponentByName(const char* name) const {
  if (!name) return nullptr;
  for (IVObjectComponent* c : m_components)
    if (strcmp(c->GetComponentName(), name) == 0) return c;
  return nullptr;
}

void VisTypedEngineObject_cl::OnVariableValueChanged(VisVariable_cl* var, const char* value) {
  if (!var) return;
  MessageFunction(VIS_MSG_EDITOR_PROPERTYCHANGED, (INT_PTR)var->name, (INT_PTR)(value ? value : ""));
}

bool VisTypedEngineObject_cl::HasObjectKey(const char* key) const {
  return m_key == (key ? key : "");
}

void VisTypedEngineObject_cl::Serialize(VArchive& ar) {
  if (ar.IsSaving()) {
    ar << kEngineObjectVersion;
    ar << m_key;
    ar << (int)m_components.size();
    for (IVObjectComponent* c : m_components) ar.WriteObject(c);
    return;
  }
  char version = 0;
  ar >> version;
  if (version < 1 || version > kEngineObjectVersion) {
    Vision::Error.Warning("%s: unsupported engine object version %d", GetClassTypeName(), (int)version);
    ar.MarkFailed();
    return;
  }
  ar >> m_key;
  int count = 0;
  ar >> count;
  // Each reference takes at least four bytes: a larger count is a damaged archive.
  if (count < 0 || (int64_t)count * 4 > ar.GetRemaining()) {
    Vision::Error.Warning("%s: invalid component count %d in archive", GetClassTypeName(), count);
    ar.MarkFailed();
    return;
  }
  for (int i = 0; i < count && ar.IsOK(); ++i) {
    IVObjectComponent* c = static_cast<IVObjectComponent*>(ar.ReadObject(IVObjectComponent::GetClassTypeId()));
    // A refused component is not deleted: the archive may hand it out again for a
    // later reference to it.
    if (c && c->GetOwner() != this) AddComponent(c);
  }
}
