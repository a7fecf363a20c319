// Objects that follow a bone of an animated entity.
#include "engine/core/VSkeletalBoneProxy.h"

#include "engine/core/VDynamicMesh.h"
#include "engine/core/VisAnimManager.h"
#include "engine/core/VisBaseEntity.h"

V_IMPLEMENT_DYNAMIC(VSkeletalBoneProxyObject, VisObject3D_cl)

VSkeletalBoneProxyObject::~VSkeletalBoneProxyObject() { VisAnimManager_cl::NotifyBoneProxyDestroyed(this); }

bool VSkeletalBoneProxyObject::AttachToEntityBone(VisBaseEntity_cl* entity, const char* boneName) {
  VDynamicMesh* mesh = entity ? entity->GetMesh() : nullptr;
  const int bone = (mesh && mesh->GetSkeleton()) ? mesh->GetBoneIndexByName(boneName) : -1;
  if (bone < 0) {
    DetachFromBone();
    return false;
  }
  m_pEntity = entity;
  m_iBone = bone;
  if (!m_bHeldByEngine) {
    m_bHeldByEngine = true;
    AddRef();
  }
  VisAnimManager_cl::NotifyBoneProxyAttached(this);
  UpdateFromBone();
  return true;
}

void VSkeletalBoneProxyObject::DetachFromBone() {
  m_pEntity = nullptr;
  m_iBone = -1;
  VisAnimManager_cl::NotifyBoneProxyDestroyed(this);
  if (m_bHeldByEngine) {
    m_bHeldByEngine = false;
    Release();  // may delete this
  }
}

void VSkeletalBoneProxyObject::UpdateFromBone() {
  if (!m_pEntity) return;
  VisVector_cl pos;
  VisQuaternion_cl rot;
  if (!m_pEntity->GetBoneCurrentWorldSpaceTransformation(m_iBone, pos, rot)) return;
  SetRotationMatrix(rot.ToMatrix());
  SetPosition(pos);
}
