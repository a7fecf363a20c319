// Engine objects with components and messages, and 3-D objects.
#pragma once

#include "engine/base/VMemoryManager.h"
#include "engine/base/VType.h"
#include "engine/base/VarTable.h"
#include "engine/base/VisMath.h"
#include "engine/base/VString.h"

#include <vector>

class IVObjectComponent;
class VArchive;

// Engine message ids (the game owns 2..500).
enum VEngineMessage_e {
  VIS_MSG_PHYSICS_CONTACT = 10000,       // p2 = 68, p1 = contact record
  VIS_MSG_ANIMATION_EVENT = 0x10000,     // p1 = event id
  VIS_MSG_TRIGGER = 0x10001,             // p1 = source, p2 = target component
  VIS_MSG_EDITOR_PROPERTYCHANGED = 11001,  // p1 = variable name, p2 = value text
  VIS_MSG_EDITOR_GETLINKS = 11003,
  VIS_MSG_EDITOR_CANLINK = 11004,
  VIS_MSG_EDITOR_ONLINK = 11005,
};

class VBASE_IMPEXP VisTypedEngineObject_cl : public VTypedObject {
  V_DECLARE_DYNAMIC(VisTypedEngineObject_cl)
 public:
  VisTypedEngineObject_cl();
  ~VisTypedEngineObject_cl() override;

  // The default delivers the message to every component, in order.
  virtual void MessageFunction(int id, INT_PTR p1, INT_PTR p2);
  void SendMsg(int id, INT_PTR p1 = 0, INT_PTR p2 = 0) { MessageFunction(id, p1, p2); }

  // Components. AddComponent checks CanAttachToObject and returns false when refused
  // (the reason is logged). RemoveComponent only detaches (SetOwner(null)): the caller
  // deletes or disposes the component. RemoveAllComponents detaches and disposes all.
  bool AddComponent(IVObjectComponent* component);
  bool RemoveComponent(IVObjectComponent* component);
  void RemoveAllComponents();
  // Called after a component has left the object (before it may be deleted).
  virtual void OnComponentRemoved(IVObjectComponent* component) {}
  int GetComponentCount() const { return (int)m_components.size(); }
  IVObjectComponent* GetComponent(int i) const { return m_components[i]; }
  // Exact type first; with exact false, derived types match too.
  IVObjectComponent* GetComponentOfType(const VType* type, bool exact = false) const;
  // By class name, without regard to case (derived classes match after exact ones).
  IVObjectComponent* GetComponentOfType(const char* className) const;
  IVObjectComponent* GetComponentOfBaseType(const VType* type) const { return GetComponentOfType(type, false); }
  template <class T> T* Components() const { return static_cast<T*>(GetComponentOfType(T::GetClassTypeId())); }
  // By component name, case-sensitive like object keys.
  IVObjectComponent* GetComponentByName(const char* name) const;

  // Engine variables changed by text raise message 11001 (p1 the name, p2 the value
  // text, both valid during the call only).
  void OnVariableValueChanged(VisVariable_cl* var, const char* value) override;
  // Editor/scene key of the object.
  const char* GetObjectKey() const { return m_key.AsChar(); }
  void SetObjectKey(const char* key) { m_key = key; }
  bool HasObjectKey(const char* key) const;

  // Version byte, key, then the components as object references.
  void Serialize(VArchive& ar) override;

 protected:
  std::vector<IVObjectComponent*> m_components;
  VString m_key;
};

class VBASE_IMPEXP VisObject3D_cl : public VisTypedEngineObject_cl {
  V_DECLARE_DYNAMIC(VisObject3D_cl)
 public:
  VisObject3D_cl();
  ~VisObject3D_cl() override;

  const VisVector_cl& GetPosition() const { return m_vPosition; }
  virtual void SetPosition(const VisVector_cl& pos);
  void SetPosition(float x, float y, float z) { SetPosition(VisVector_cl(x, y, z)); }
  void IncPosition(const VisVector_cl& delta) { SetPosition(m_vPosition + delta); }
  // Euler angles (yaw, pitch, roll) in degrees.
  VisVector_cl GetOrientation() const;
  virtual void SetOrientation(const VisVector_cl& yawPitchRoll);
  void SetOrientation(float yaw, float pitch, float roll) { SetOrientation(VisVector_cl(yaw, pitch, roll)); }
  void IncOrientation(const VisVector_cl& delta) { SetOrientation(GetOrientation() + delta); }
  const VisMatrix3x3_cl& GetRotationMatrix() const { return m_mRotation; }
  virtual void SetRotationMatrix(const VisMatrix3x3_cl& m);
  void SetUseEulerAngles(bool use) { m_bUseEuler = use; }
  // Forward direction (first column of the rotation).
  VisVector_cl GetDirection() const { return m_mRotation.GetColumn(0); }
  void SetDirection(const VisVector_cl& dir);
  // Motion requested this frame. The engine adds it to the position at the start of
  // the next think pass (VisGame_cl::RunThinkFunctions) and clears it.
  void IncMotionDelta(const VisVector_cl& delta) { m_vMotionDelta += delta; }
  const VisVector_cl& GetMotionDelta() const { return m_vMotionDelta; }
  void ResetMotionDelta() { m_vMotionDelta = VisVector_cl(0, 0, 0); }

  // Hierarchy: children follow the parent keeping their local pose. Attaching keeps
  // the world pose and computes the local one; a parent that is this object or one
  // of its descendants is refused (logged).
  virtual void AttachToParent(VisObject3D_cl* parent);
  void DetachFromParent() { AttachToParent(nullptr); }
  VisObject3D_cl* GetParent() const { return m_pParent; }
  int GetNumChildren() const { return (int)m_children.size(); }
  VisObject3D_cl* GetChild(int i) const { return m_children[i]; }
  const VisVector_cl& GetLocalPosition() const { return m_vLocalPosition; }
  void SetLocalPosition(const VisVector_cl& p);
  const VisMatrix3x3_cl& GetLocalRotation() const { return m_mLocalRotation; }
  void SetLocalOrientation(const VisVector_cl& yawPitchRoll);
  void ResetLocalTransformation();
  // Flags: 1|4 position changed, 2|8 rotation changed (the engine sends 1 and 2).
  // The default moves the object to the parent pose combined with its local pose.
  virtual void ModSysNotifyFunctionParentAltered(int flags);

  // Version byte, position, Euler angles, the Euler switch and the rotation matrix.
  void Serialize(VArchive& ar) override;

  enum { PARENT_ALTERED_POSITION = 1, PARENT_ALTERED_ROTATION = 2 };

 protected:
  // Called after every change of the world position or rotation.
  virtual void OnWorldPoseChanged() {}
  void UpdateChildren(int flags) {
    if (!m_children.empty()) NotifyChildren(flags);
  }
  // Local pose from the world pose and the parent (world pose when parentless).
  void UpdateLocalFromWorld();
  // World pose from the parent and the local pose; the rotation only when asked.
  void UpdateWorldFromLocal(bool rotation);
  bool IsAncestorOf(const VisObject3D_cl* obj) const;
  void NotifyChildren(int flags);
  void UnlinkFromParent();
  VisVector_cl m_vPosition{0, 0, 0};
  VisMatrix3x3_cl m_mRotation;
  // The angles of m_mRotation; a child following its parent works them out only when
  // asked (m_bEulerStale), as most children are never asked.
  mutable VisVector_cl m_vEuler{0, 0, 0};
  mutable bool m_bEulerStale = false;
  bool m_bUseEuler = true;
  VisVector_cl m_vMotionDelta{0, 0, 0};
  VisObject3D_cl* m_pParent = nullptr;
  std::vector<VisObject3D_cl*> m_children;
  VisVector_cl m_vLocalPosition{0, 0, 0};
  VisMatrix3x3_cl m_mLocalRotation;
};
