// An object that follows one bone of an animated entity, so that effects and other
// objects can be attached to the bone (AttachToParent with a local position).
//
// While attached to a bone the animation system holds a reference to the proxy and
// moves it to the bone's world pose every frame. It lets go (and the proxy dies
// unless someone else holds it) when the entity is destroyed, on DetachFromBone, or
// once nobody else holds the proxy and nothing is attached to it any more.
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/core/VisTypedEngineObject.h"

class VisBaseEntity_cl;

class VBASE_IMPEXP VSkeletalBoneProxyObject : public VisObject3D_cl, public VRefCounter {
  V_DECLARE_DYNAMIC(VSkeletalBoneProxyObject)
 public:
  VSkeletalBoneProxyObject() = default;
  ~VSkeletalBoneProxyObject() override;
  VSkeletalBoneProxyObject(const VSkeletalBoneProxyObject&) = delete;
  VSkeletalBoneProxyObject& operator=(const VSkeletalBoneProxyObject&) = delete;

  // Attaches to the named bone of the entity's model and takes its pose at once.
  // False without an entity, a skeleton or such a bone; the proxy is then detached
  // (and gone, if only the engine held it).
  bool AttachToEntityBone(VisBaseEntity_cl* entity, const char* boneName);
  void DetachFromBone();
  bool IsAttachedToBone() const { return m_pEntity != nullptr; }
  VisBaseEntity_cl* GetEntity() const { return m_pEntity; }
  int GetBoneIndex() const { return m_iBone; }
  // Moves to the bone's current world pose (the engine does this every frame).
  void UpdateFromBone();

 private:
  friend class VisAnimManager_cl;
  VisBaseEntity_cl* m_pEntity = nullptr;
  int m_iBone = -1;
  bool m_bHeldByEngine = false;
};
