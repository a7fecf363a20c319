// The final skeletal pose of an animation configuration: the input control's pose,
// with custom bone rotations and translations (a ragdoll's bodies) on top.
#pragma once

#include "engine/core/VisSkeletalAnimControl.h"

#include <map>

class VBASE_IMPEXP VisAnimFinalSkeletalResult_cl {
 public:
  explicit VisAnimFinalSkeletalResult_cl(VisSkeleton_cl* skeleton) : m_spSkeleton(skeleton) {}

  // The control whose pose this result shows (held by reference; null for the rest
  // pose). A control made for another skeleton is refused (false, logged).
  bool SetSkeletalAnimInput(VisSkeletalAnimControl_cl* control);
  VisSkeletalAnimControl_cl* GetSkeletalAnimInput() const { return m_spInput; }
  VisSkeleton_cl* GetSkeleton() const { return m_spSkeleton; }

  // Model-space pose of one bone, replacing what the animation gives it; the bones
  // below it follow. False for a bad index.
  bool SetCustomBoneRotation(int bone, const VisQuaternion_cl& rotation);
  bool SetCustomBoneTranslation(int bone, const VisVector_cl& translation);
  void ClearCustomBoneTransformations();
  bool HasCustomBoneRotation(int bone) const { return m_customRotation.count(bone) != 0; }

  // Current model-space position and rotation of a bone. False for a bad index.
  bool GetBoneModelSpaceTransformation(int bone, VisVector_cl& position, VisQuaternion_cl& rotation) const;

 private:
  // Turn of the bone from its rest pose, and its position, in model space.
  void EvalBone(int bone, VisQuaternion_cl& delta, VisVector_cl& position, int depth) const;

  VSmartPtr<VisSkeleton_cl> m_spSkeleton;
  VSmartPtr<VisSkeletalAnimControl_cl> m_spInput;
  std::map<int, VisQuaternion_cl> m_customRotation;
  std::map<int, VisVector_cl> m_customTranslation;
};
