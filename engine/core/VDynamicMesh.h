// A model of the engine: its file name, local bounding box, bones with rest
// positions and surface names, read from our XML model format (data/README.md).
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/base/VString.h"
#include "engine/base/VisMath.h"

#include <vector>

class VBASE_IMPEXP VDynamicMesh : public VRefCounter {
 public:
  struct Bone {
    VString name;
    int parent = -1;           // index of the parent bone, -1 for a root
    VisVector_cl restPosition;  // model space
  };

  explicit VDynamicMesh(const char* file = nullptr) : m_sFile(file) {}

  // Reads the model from its XML text; false (logged) when the text is not a model.
  bool LoadFromXml(const char* text);
  // Reads the model file through Vision::File; false (logged) when missing or bad.
  bool LoadFromFile(const char* file);

  // The name the model was loaded by, as it was given.
  const char* GetFilename() const { return m_sFile.AsChar(); }
  // Invalid when the file gives no box.
  const VisBoundingBox_cl& GetBoundingBox() const { return m_bbox; }

  int GetBoneCount() const { return (int)m_bones.size(); }
  const Bone& GetBone(int i) const { return m_bones[i]; }
  // Index of the bone (name compared without regard to case), or -1 for no bone.
  int GetBoneIndexByName(const char* name) const;
  bool HasSkeleton() const { return !m_bones.empty(); }

  int GetSurfaceCount() const { return (int)m_surfaces.size(); }
  const char* GetSurfaceName(int i) const { return m_surfaces[i].AsChar(); }
  // Index of the surface (exact name), or -1.
  int GetSurfaceIndexByName(const char* name) const;

 private:
  VString m_sFile;
  VisBoundingBox_cl m_bbox;
  std::vector<Bone> m_bones;
  std::vector<VString> m_surfaces;
};
