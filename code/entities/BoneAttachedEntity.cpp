// Placing an entity on a bone of another entity every think step.
#include "entities/BoneAttachedEntity.h"

#include "core/GameManager.h"

#include "engine/core/VDynamicMesh.h"

V_IMPLEMENT_DYNCREATE(BoneAttachedEntity, VisBaseEntity_cl)

namespace {
// v turned by q: q (v, 0) conjugate(q).
VisVector_cl Rotate(const VisQuaternion_cl& q, const VisVector_cl& v) {
  const VisQuaternion_cl p = q * VisQuaternion_cl(v.x, v.y, v.z, 0.0f) * VisQuaternion_cl(-q.x, -q.y, -q.z, q.w);
  return VisVector_cl(p.x, p.y, p.z);
}
}  // namespace

BoneAttachedEntity::~BoneAttachedEntity() { Detach(); }

bool BoneAttachedEntity::Attach(VisBaseEntity_cl* target, const char* bone, const VisQuaternion_cl& rotation,
                                const VisVector_cl& offset) {
  if (m_bAttached) Detach();
  if (!target || !bone || !target->GetMesh() || !target->GetMesh()->HasSkeleton()) return false;
  m_iBoneIndex = target->GetMesh()->GetBoneIndexByName(bone);
  if (m_iBoneIndex < 0) return false;
  m_localRotation = rotation;
  m_vLocalOffset = offset;
  m_pTarget = target;
  m_bAttached = true;
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
  Place();
  return true;
}

bool BoneAttachedEntity::Detach() {
  if (!m_bAttached) return false;
  m_bAttached = false;
  m_pTarget = nullptr;
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
  return true;
}

void BoneAttachedEntity::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed &&
      static_cast<BaseEntityDataObject*>(data)->m_pEntity == m_pTarget)
    Detach();
}

void BoneAttachedEntity::ThinkFunction() { Place(); }

void BoneAttachedEntity::Place() {
  if (!m_bAttached || !m_pTarget || (!m_bUpdatePosition && !m_bUpdateOrientation)) return;
  VisVector_cl bonePosition;
  VisQuaternion_cl boneRotation;
  if (!m_pTarget->GetBoneCurrentWorldSpaceTransformation(m_iBoneIndex, bonePosition, boneRotation)) return;
  if (m_bUpdatePosition) SetPosition(bonePosition + Rotate(boneRotation, m_vLocalOffset));
  if (m_bUpdateOrientation) {
    // The engine's matrices turn column vectors, so the engine's own conversion gives
    // the matrix that turns like the quaternion.
    SetRotationMatrix((m_localRotation * boneRotation).ToMatrix());
  }
}
