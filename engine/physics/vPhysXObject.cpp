// Physics-object components: owner, module registration, filter settings, and the
// pose calls that act on the owner while nothing is simulated.
#include "engine/physics/vPhysXObject.h"

#include "engine/base/VArchive.h"
#include "engine/base/VisError.h"
#include "engine/core/VisBaseEntity.h"
#include "engine/physics/vPhysXModule.h"
#include "engine/physics/bullet/vPhysXScene.h"

V_IMPLEMENT_DYNAMIC(vPhysXObject, IVisPhysicsObject_cl)

namespace {
const char kObjectVersion = 1;
}

vPhysXObject::vPhysXObject() = default;

vPhysXObject::~vPhysXObject() {
  ReleaseFromModule();
  // Deleted while attached: the owner must not keep pointing at it (the component
  // base detaches it without reaching SetOwner of this class).
  if (VisBaseEntity_cl* owner = GetOwnerEntity())
    if (owner->GetPhysicsObject() == this) owner->SetPhysicsObject(nullptr);
}

void vPhysXObject::ReleaseFromModule() {
  if (!m_pModule) return;
  DestroyPhysics();
  m_pModule->Unregister(this);
}

void vPhysXObject::ApplyFilterToActor(NxActor* actor) {
  if (actor && m_pModule) m_pModule->GetScene().SetActorFilter(*actor, m_iCollisionGroup, m_iCollisionBitmask);
}

int vPhysXObject::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!IVObjectComponent::CanAttachToObject(object, reason)) return 0;
  if (!object->IsOfType(VisBaseEntity_cl::GetClassTypeId())) {
    reason = "Physics objects can only be attached to entities";
    return 0;
  }
  return 1;
}

VisBaseEntity_cl* vPhysXObject::GetOwnerEntity() const {
  return m_pOwner && m_pOwner->IsOfType(VisBaseEntity_cl::GetClassTypeId()) ? static_cast<VisBaseEntity_cl*>(m_pOwner)
                                                                              : nullptr;
}

void vPhysXObject::SetOwner(VisTypedEngineObject_cl* owner) {
  if (VisBaseEntity_cl* old = GetOwnerEntity()) {
    ReleaseFromModule();
    if (old->GetPhysicsObject() == this) old->SetPhysicsObject(nullptr);
  }
  IVObjectComponent::SetOwner(owner);
  VisBaseEntity_cl* entity = GetOwnerEntity();
  if (!entity) return;
  entity->SetPhysicsObject(this);
  if (vPhysXModule* module = vPhysXModule::GetInstance()) {
    module->Register(this);
    CreatePhysics();
  }
}

// ---- without a simulation: the owner itself ------------------------------------

void vPhysXObject::SetPosition(const VisVector_cl& position) {
  if (VisBaseEntity_cl* e = GetOwnerEntity()) e->SetPosition(position);
}

VisVector_cl vPhysXObject::GetPosition() const {
  VisBaseEntity_cl* e = GetOwnerEntity();
  return e ? e->GetPosition() : VisVector_cl(0, 0, 0);
}

void vPhysXObject::SetRotation(const VisVector_cl& ypr) {
  VisMatrix3x3_cl m;
  m.SetEulerAngles(ypr.x, ypr.y, ypr.z);
  SetRotationMatrix(m);
}

VisVector_cl vPhysXObject::GetRotation() const { return GetRotationMatrix().GetEulerAngles(); }

void vPhysXObject::SetRotationMatrix(const VisMatrix3x3_cl& rotation) {
  if (VisBaseEntity_cl* e = GetOwnerEntity()) e->SetRotationMatrix(rotation);
}

VisMatrix3x3_cl vPhysXObject::GetRotationMatrix() const {
  VisBaseEntity_cl* e = GetOwnerEntity();
  return e ? e->GetRotationMatrix() : VisMatrix3x3_cl();
}

void vPhysXObject::SetVelocity(const VisVector_cl& velocity) { m_vVelocity = velocity; }
VisVector_cl vPhysXObject::GetVelocity() const { return m_vVelocity; }
void vPhysXObject::SetAngularVelocity(const VisVector_cl& velocity) { m_vAngularVelocity = velocity; }
VisVector_cl vPhysXObject::GetAngularVelocity() const { return m_vAngularVelocity; }

void vPhysXObject::IncMotionDelta(const VisVector_cl& delta) {
  // The engine adds the owner's motion delta at the next think pass.
  if (VisBaseEntity_cl* e = GetOwnerEntity()) e->IncMotionDelta(delta);
}

// ---- settings -------------------------------------------------------------------

void vPhysXObject::SetPhysicsMode(int mode) {
  if (mode != VPHYSX_MODE_DYNAMIC && mode != VPHYSX_MODE_KINEMATIC) {
    Vision::Error.Warning("%s: physics mode %d is not supported", GetClassTypeName(), mode);
    return;
  }
  m_iPhysicsMode = mode;
}

void vPhysXObject::SetCollisionBitmask(unsigned mask) { m_iCollisionBitmask = mask; }

void vPhysXObject::SetCollisionGroup(int group) {
  if (group < 0 || group > 31) {
    Vision::Error.Warning("%s: collision group %d is not in 0..31", GetClassTypeName(), group);
    return;
  }
  m_iCollisionGroup = group;
}

void vPhysXObject::Serialize(VArchive& ar) {
  IVObjectComponent::Serialize(ar);
  if (ar.IsSaving()) {
    ar << kObjectVersion << m_iPhysicsMode << m_iCollisionGroup << m_iCollisionBitmask;
    return;
  }
  if (!ar.IsOK()) return;
  char version = 0;
  int mode = 0, group = 0;
  unsigned mask = 0;
  ar >> version;
  if (version < 1 || version > kObjectVersion) {
    Vision::Error.Warning("%s: unsupported physics object version %d", GetClassTypeName(), (int)version);
    ar.MarkFailed();
    return;
  }
  ar >> mode >> group >> mask;
  if (!ar.IsOK()) return;
  if ((mode != VPHYSX_MODE_DYNAMIC && mode != VPHYSX_MODE_KINEMATIC) || group < 0 || group > 31) {
    Vision::Error.Warning("%s: stored physics mode %d or collision group %d is invalid", GetClassTypeName(), mode, group);
    ar.MarkFailed();
    return;
  }
  SetPhysicsMode(mode);
  SetCollisionGroup(group);
  SetCollisionBitmask(mask);
}
