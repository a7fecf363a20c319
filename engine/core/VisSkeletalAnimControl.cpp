// Skeletal controls: the bone-to-track map and the pose at the play position.
#include "engine/core/VisSkeletalAnimControl.h"

VisSkeletalAnimControl_cl* VisSkeletalAnimControl_cl::Create(VisSkeleton_cl* skeleton, VisAnimSequence_cl* sequence,
                                                             unsigned flags, float speed, bool play) {
  if (!skeleton || !sequence) return nullptr;
  VisSkeletalAnimControl_cl* c = new VisSkeletalAnimControl_cl(skeleton, sequence, flags, speed);
  if (!play) c->Stop();
  return c;
}

VisSkeletalAnimControl_cl::VisSkeletalAnimControl_cl(VisSkeleton_cl* skeleton, VisAnimSequence_cl* sequence,
                                                     unsigned flags, float speed)
    : VisAnimControl_cl(sequence, flags, speed), m_spSkeleton(skeleton) {
  const VisSkeletalAnimSequence_cl* seq = GetSkeletalSequence();
  m_boneTrack.assign(skeleton->GetBoneCount(), -1);
  if (!seq) return;
  for (int b = 0; b < skeleton->GetBoneCount(); ++b) m_boneTrack[b] = seq->FindTrack(skeleton->GetBone(b).name);
}

VisSkeletalAnimSequence_cl* VisSkeletalAnimControl_cl::GetSkeletalSequence() const {
  VisAnimSequence_cl* s = GetSequence();
  return (s && s->GetType() == VIS_MODELANIM_SKELETAL) ? static_cast<VisSkeletalAnimSequence_cl*>(s) : nullptr;
}

VisQuaternion_cl VisSkeletalAnimControl_cl::GetBoneRotation(int bone) const {
  const VisSkeletalAnimSequence_cl* seq = GetSkeletalSequence();
  if (!seq || bone < 0 || bone >= (int)m_boneTrack.size() || m_boneTrack[bone] < 0) return VisQuaternion_cl();
  return seq->EvalTrack(m_boneTrack[bone], GetCurrentSequencePosition());
}
