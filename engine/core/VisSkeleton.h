// The bone hierarchy of a model: names, parents and the rest pose in model space.
// Shared by the model and by the animation controls that play on it.
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/base/VString.h"
#include "engine/base/VisMath.h"

#include <vector>

class VBASE_IMPEXP VisSkeleton_cl : public VRefCounter {
 public:
  struct Bone {
    VString name;
    int parent = -1;                // index of the parent bone, -1 for a root
    VisVector_cl restPosition;      // model space
    VisQuaternion_cl restRotation;  // model space (identity unless the model gives one)
  };

  int GetBoneCount() const { return (int)m_bones.size(); }
  const Bone& GetBone(int i) const { return m_bones[i]; }
  // Index of the bone (name compared without regard to case), or -1 for no bone.
  int GetBoneIndexByName(const char* name) const;
  const VisQuaternion_cl& GetBoneRestRotation(int i) const { return m_bones[i].restRotation; }

  // Building (the model reader): parents are indices into this list.
  void AddBone(const Bone& bone) { m_bones.push_back(bone); }
  Bone& EditBone(int i) { return m_bones[i]; }

 private:
  std::vector<Bone> m_bones;
};
