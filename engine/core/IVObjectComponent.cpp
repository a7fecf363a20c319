// Object components: the base attach test, disposal and the saved base data.
#include "engine/core/IVObjectComponent.h"

#include "engine/base/VArchive.h"
#include "engine/base/VisError.h"
#include "engine/core/VScriptManager.h"

V_IMPLEMENT_DYNAMIC(IVObjectComponent, VTypedObject)

namespace {
const char kComponentVersion = 1;
}

IVObjectComponent::IVObjectComponent(int id, int flags) : m_iId(id), m_iFlags(flags) {}

IVObjectComponent::~IVObjectComponent() {
  // Deleted while attached: leave no dangling pointer in the owner's list.
  if (m_pOwner) m_pOwner->RemoveComponent(this);
  // Scripts may still hold its proxy.
  VScriptResourceManager::NotifyObjectDestroyed(this);
}

int IVObjectComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!object) {
    reason = "No object to attach to";
    return 0;
  }
  if (m_pOwner == object) {
    reason = "The component is already attached to this object";
    return 0;
  }
  if (m_pOwner) {
    reason = "The component is already attached to another object";
    return 0;
  }
  return 1;
}

void IVObjectComponent::DisposeObject() {
  if (m_pOwner) m_pOwner->RemoveComponent(this);
  delete this;
}

void IVObjectComponent::OnVariableValueChanged(VisVariable_cl* var, const char* value) {
  if (!var) return;
  MessageFunction(VIS_MSG_EDITOR_PROPERTYCHANGED, (INT_PTR)var->name, (INT_PTR)(value ? value : ""));
}

void IVObjectComponent::Serialize(VArchive& ar) {
  if (ar.IsSaving()) {
    ar << kComponentVersion << m_name << m_iId << m_iFlags;
    return;
  }
  char version = 0;
  ar >> version;
  if (version < 1 || version > kComponentVersion) {
    Vision::Error.Warning("%s: unsupported component version %d", GetClassTypeName(), (int)version);
    ar.MarkFailed();
    return;
  }
  ar >> m_name >> m_iId >> m_iFlags;
}
