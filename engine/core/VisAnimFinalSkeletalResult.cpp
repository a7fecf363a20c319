// Model-space bone poses: rest pose, the control's turns down the hierarchy, and
// custom overrides.
#include "engine/core/VisAnimFinalSkeletalResult.h"

#include "engine/base/VisError.h"

namespace {
VisQuaternion_cl Conjugate(const VisQuaternion_cl& q) { return VisQuaternion_cl(-q.x, -q.y, -q.z, q.w); }
}  // namespace

bool VisAnimFinalSkeletalResult_cl::SetSkeletalAnimInput(VisSkeletalAnimControl_cl* control) {
  if (control && control->GetSkeleton() != m_spSkeleton) {
    // Bone indices of another skeleton would pose the wrong bones.
    Vision::Error.Warning("Animation: a control of sequence %s belongs to another skeleton: not used",
                          control->GetSequence() ? control->GetSequence()->GetName() : "?");
    return false;
  }
  m_spInput = control;
  return true;
}

bool VisAnimFinalSkeletalResult_cl::SetCustomBoneRotation(int bone, const VisQuaternion_cl& rotation) {
  if (!m_spSkeleton || bone < 0 || bone >= m_spSkeleton->GetBoneCount()) return false;
  VisQuaternion_cl q = rotation;
  q.Normalize();
  m_customRotation[bone] = q;
  return true;
}

bool VisAnimFinalSkeletalResult_cl::SetCustomBoneTranslation(int bone, const VisVector_cl& translation) {
  if (!m_spSkeleton || bone < 0 || bone >= m_spSkeleton->GetBoneCount()) return false;
  m_customTranslation[bone] = translation;
  return true;
}

void VisAnimFinalSkeletalResult_cl::ClearCustomBoneTransformations() {
  m_customRotation.clear();
  m_customTranslation.clear();
}

void VisAnimFinalSkeletalResult_cl::EvalBone(int bone, VisQuaternion_cl& delta, VisVector_cl& position,
                                             int depth) const {
  const VisSkeleton_cl::Bone& b = m_spSkeleton->GetBone(bone);
  // The model reader breaks parent loops; the depth bound guards hand-built skeletons.
  if (b.parent >= 0 && depth < m_spSkeleton->GetBoneCount()) {
    VisQuaternion_cl parentDelta;
    VisVector_cl parentPos;
    EvalBone(b.parent, parentDelta, parentPos, depth + 1);
    const VisVector_cl offset = b.restPosition - m_spSkeleton->GetBone(b.parent).restPosition;
    position = parentPos + parentDelta.ToMatrix() * offset;
    delta = parentDelta;
  } else {
    position = b.restPosition;
    delta = VisQuaternion_cl();
  }
  if (m_spInput) delta = delta * m_spInput->GetBoneRotation(bone);
  auto rot = m_customRotation.find(bone);
  if (rot != m_customRotation.end()) delta = rot->second * Conjugate(b.restRotation);
  auto tr = m_customTranslation.find(bone);
  if (tr != m_customTranslation.end()) position = VisVector_cl(tr->second.x, tr->second.y, tr->second.z);
  delta.Normalize();
}

bool VisAnimFinalSkeletalResult_cl::GetBoneModelSpaceTransformation(int bone, VisVector_cl& position,
                                                                    VisQuaternion_cl& rotation) const {
  if (!m_spSkeleton || bone < 0 || bone >= m_spSkeleton->GetBoneCount()) return false;
  VisQuaternion_cl delta;
  EvalBone(bone, delta, position, 0);
  rotation = delta * m_spSkeleton->GetBone(bone).restRotation;
  rotation.Normalize();
  return true;
}
