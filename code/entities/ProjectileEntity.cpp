// Projectiles: shooter and target references, the trail that follows, removal,
// the saved parent offset, and following a parent through the physics object.
#include "entities/ProjectileEntity.h"

#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "entities/ProjectileTrail.h"
#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"
#include "engine/base/VisError.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/core/IVisPhysicsObject.h"

namespace {
const char kProjectileVersion = 2;
}  // namespace

V_IMPLEMENT_DYNCREATE(ProjectileEntity, BaseEntity)

ProjectileEntity::ProjectileEntity() { SetUseEulerAngles(false); }

ProjectileEntity::~ProjectileEntity() {
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
  if (m_spTrail) {
    m_spTrail->SetFinished();
    m_spTrail = nullptr;
  }
}

void ProjectileEntity::SetShooter(VisBaseEntity_cl* shooter) {
  m_pShooter = shooter;
  WatchReferences();
}

void ProjectileEntity::SetTarget(VisBaseEntity_cl* target) {
  m_pTarget = target;
  WatchReferences();
}

void ProjectileEntity::WatchReferences() {
  if (m_pShooter || m_pTarget)
    GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
  else
    GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
}

void ProjectileEntity::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed) {
    const VisBaseEntity_cl* gone = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
    if (gone == m_pShooter) m_pShooter = nullptr;
    if (gone == m_pTarget) m_pTarget = nullptr;
    WatchReferences();
    return;
  }
  BaseEntity::OnHandleCallback(data);
}

VisParticleEffect_cl* ProjectileEntity::GetTrail() const { return m_spTrail.GetPtr(); }

void ProjectileEntity::SetTrail(const VString& file) { SetTrail(file, VisVector_cl(0.0f, 0.0f, 0.0f)); }

void ProjectileEntity::SetTrail(const VString& file, const VisVector_cl& offset) {
  ProjectileTrail::Attach(this, m_spTrail, file, offset);
}

void ProjectileEntity::RemoveAll() {
  ProjectileTrail::Release(m_spTrail);
  if (!IsMarkedRemoved()) Remove();
}

void ProjectileEntity::MessageFunction(int id, INT_PTR p1, INT_PTR p2) {
  if (id == VIS_MSG_USER_SHIP_DIES) {
    if (reinterpret_cast<INT_PTR>(m_pShooter) == p1) m_pShooter = nullptr;
    if (reinterpret_cast<INT_PTR>(m_pTarget) == p1) m_pTarget = nullptr;
    WatchReferences();
    return;
  }
  VisTypedEngineObject_cl::MessageFunction(id, p1, p2);
}

void ProjectileEntity::ModSysNotifyFunctionParentAltered(int flags) {
  IVisPhysicsObject_cl* physics = GetPhysicsObject();
  if (!physics) return;
  VisObject3D_cl* parent = GetParent();
  const bool rotated = (flags & (2 | 8)) != 0;
  const bool moved = (flags & (1 | 4)) != 0;
  if (!parent || (!rotated && !moved)) {
    VisObject3D_cl::ModSysNotifyFunctionParentAltered(flags);
    return;
  }
  // The body is put where the parent's pose says, once per notification and from
  // the offset alone. A parent sends several notifications a frame (position, then
  // rotation): a relative motion delta per notification, added to the engine's own
  // follow of the entity, would pile up and carry the projectile off its parent.
  const VisMatrix3x3_cl local = GetLocalRotation();
  const VisVector_cl target = parent->GetPosition() + parent->GetRotationMatrix() * m_vParentOffset;
  const VisVector_cl delta = target - GetPosition();
  if (delta.x != 0.0f || delta.y != 0.0f || delta.z != 0.0f) physics->SetPosition(target);
  if (rotated) physics->SetRotationMatrix(parent->GetRotationMatrix() * local);
}

void ProjectileEntity::Serialize(VArchive& ar) {
  BaseEntity::Serialize(ar);
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kProjectileVersion);
    ar << m_vParentOffset;
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  SavedBlockReader block(ar, "ProjectileEntity", kProjectileVersion);
  if (!block.IsOpen()) return;
  VisVector_cl offset;
  if (block.Has(2)) ar >> offset;
  if (block.End() && block.Has(2)) m_vParentOffset = offset;
}
