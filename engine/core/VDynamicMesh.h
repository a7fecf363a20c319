// A model of the engine: its file name, local bounding box, skeleton (bones with
// their rest pose), surface names and animation sequences, read from our XML model
// format (data/README.md "Models").
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/base/VString.h"
#include "engine/base/VisMath.h"
#include "engine/core/VisAnimSequenceSetCollection.h"
#include "engine/core/VisSkeleton.h"

#include <vector>

class VBASE_IMPEXP VDynamicMesh : public VRefCounter {
 public:
  using Bone = VisSkeleton_cl::Bone;

  explicit VDynamicMesh(const char* file = nullptr);
  ~VDynamicMesh() override;

  // Reads the model from its XML text; false (logged) when the text is not a model.
  bool LoadFromXml(const char* text);
  // Reads the model file through Vision::File; false (logged) when missing or bad.
  bool LoadFromFile(const char* file);

  // The name the model was loaded by, as it was given.
  const char* GetFilename() const { return m_sFile.AsChar(); }
  // Invalid when the file gives no box.
  const VisBoundingBox_cl& GetBoundingBox() const { return m_bbox; }

  // The skeleton, or null for a model without bones.
  VisSkeleton_cl* GetSkeleton() const { return m_spSkeleton->GetBoneCount() > 0 ? m_spSkeleton.GetPtr() : nullptr; }
  int GetBoneCount() const { return m_spSkeleton->GetBoneCount(); }
  const Bone& GetBone(int i) const { return m_spSkeleton->GetBone(i); }
  // Index of the bone (name compared without regard to case), or -1 for no bone.
  int GetBoneIndexByName(const char* name) const { return m_spSkeleton->GetBoneIndexByName(name); }
  bool HasSkeleton() const { return m_spSkeleton->GetBoneCount() > 0; }

  // The model's sequence sets: the sequences of the model file first (when it has
  // any), then the animation files the game adds.
  VisAnimSequenceSetCollection_cl* GetSequenceSetCollection() { return &m_sequenceSets; }
  const VisAnimSequenceSetCollection_cl* GetSequenceSetCollection() const { return &m_sequenceSets; }

  int GetSurfaceCount() const { return (int)m_surfaces.size(); }
  const char* GetSurfaceName(int i) const { return m_surfaces[i].AsChar(); }
  // The surface's own (diffuse) texture file, "" when the model names none.
  const char* GetSurfaceTexture(int i) const { return m_surfaceTextures[i].AsChar(); }
  // Index of the surface (exact name), or -1.
  int GetSurfaceIndexByName(const char* name) const;
  // Reads the model file again and takes its surface textures when it still has the
  // same surfaces in the same order (bones and sequences stay: entities use them).
  // True when a texture changed; false, logged, when the surfaces no longer match.
  bool ReloadSurfaceTextures();

 private:
  VString m_sFile;
  VisBoundingBox_cl m_bbox;
  VSmartPtr<VisSkeleton_cl> m_spSkeleton;
  std::vector<VString> m_surfaces;
  std::vector<VString> m_surfaceTextures;
  VisAnimSequenceSetCollection_cl m_sequenceSets;
};
