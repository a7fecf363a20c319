// A control playing a skeletal sequence on a skeleton; gives the bones' pose.
#pragma once

#include "engine/core/VisAnimControl.h"
#include "engine/core/VisSkeletalAnimSequence.h"
#include "engine/core/VisSkeleton.h"

class VBASE_IMPEXP VisSkeletalAnimControl_cl : public VisAnimControl_cl {
 public:
  // Null without a skeleton or a sequence. 'play' false creates it stopped at its
  // start point. The control holds references to both.
  static VisSkeletalAnimControl_cl* Create(VisSkeleton_cl* skeleton, VisAnimSequence_cl* sequence, unsigned flags,
                                           float speed, bool play);

  VisSkeleton_cl* GetSkeleton() const { return m_spSkeleton; }
  VisSkeletalAnimSequence_cl* GetSkeletalSequence() const;
  // The bone's own turn at the current position (identity without a track for it),
  // in model space about its rest position.
  VisQuaternion_cl GetBoneRotation(int bone) const;

 private:
  VisSkeletalAnimControl_cl(VisSkeleton_cl* skeleton, VisAnimSequence_cl* sequence, unsigned flags, float speed);
  VSmartPtr<VisSkeleton_cl> m_spSkeleton;
  std::vector<int> m_boneTrack;  // track of each bone, -1 for none
};
