// Components: behaviour attached to an engine object, talking by messages.
#pragma once

#include "engine/core/VisTypedEngineObject.h"

class VBASE_IMPEXP IVObjectComponent : public VTypedObject {
  V_DECLARE_DYNAMIC(IVObjectComponent)
 public:
  IVObjectComponent(int id = 0, int flags = 0);
  ~IVObjectComponent() override;

  // Null detaches (and de-initialises) the component.
  virtual void SetOwner(VisTypedEngineObject_cl* owner) { m_pOwner = owner; }
  VisTypedEngineObject_cl* GetOwner() const { return m_pOwner; }
  // 1 when the component accepts the owner; else 0 with the reason. Derived
  // classes call the base first.
  virtual int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason);
  virtual void MessageFunction(int id, INT_PTR p1, INT_PTR p2) {}
  // Called once after creation from data or script, before it is added.
  virtual void Initialize() {}
  // Detaches the component from its owner (if any) and deletes it.
  virtual void DisposeObject();
  // Version byte, component name, id and flags.
  void Serialize(VArchive& ar) override;
  // Raises 11001 on the component itself.
  void OnVariableValueChanged(VisVariable_cl* var, const char* value) override;

  const char* GetComponentName() const { return m_name.AsChar(); }
  void SetComponentName(const char* name) { m_name = name; }
  int GetComponentID() const { return m_iId; }
  int GetComponentFlags() const { return m_iFlags; }

 protected:
  VisTypedEngineObject_cl* m_pOwner = nullptr;
  VString m_name;
  int m_iId;
  int m_iFlags;
};
