// Bone look-up of a skeleton.
#include "engine/core/VisSkeleton.h"

int VisSkeleton_cl::GetBoneIndexByName(const char* name) const {
  if (!name) return -1;
  for (size_t i = 0; i < m_bones.size(); ++i)
    if (VStringICompare(m_bones[i].name.AsChar(), name) == 0) return (int)i;
  return -1;
}
