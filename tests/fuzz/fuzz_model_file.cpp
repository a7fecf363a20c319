// The model reader over arbitrary text: no crash, no sanitizer report; a model it
// accepts has bones whose parents form a forest, surfaces with their textures, and
// sequences that play over the skeleton with a finite pose throughout.
// fuzz-libs: engine
#include "FuzzChecks.h"

#include "engine/core/VDynamicMesh.h"

#include <cstdint>
#include <string>

using fuzz_checks::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  VSmartPtr<VDynamicMesh> mesh = new VDynamicMesh("fuzz.model");
  if (!mesh->LoadFromXml(text.c_str())) return 0;

  const int bones = mesh->GetBoneCount();
  for (int i = 0; i < bones; ++i) {
    const VDynamicMesh::Bone& bone = mesh->GetBone(i);
    Require(!bone.name.IsEmpty() && bone.parent >= -1 && bone.parent < bones);
    Require(mesh->GetBoneIndexByName(bone.name) >= 0);
    // Every chain of parents reaches a root.
    int steps = 0;
    for (int at = i; at >= 0; at = mesh->GetBone(at).parent) Require(++steps <= bones);
  }
  for (int i = 0; i < mesh->GetSurfaceCount(); ++i) {
    Require(*mesh->GetSurfaceName(i) != '\0' && mesh->GetSurfaceTexture(i) != nullptr);
    Require(mesh->GetSurfaceIndexByName(mesh->GetSurfaceName(i)) <= i);
  }
  const VisAnimSequenceSetCollection_cl* sets = mesh->GetSequenceSetCollection();
  Require(sets->GetSequenceSetCount() <= 1);
  for (int s = 0; s < sets->GetSequenceSetCount(); ++s) fuzz_checks::CheckSequenceSet(sets->GetSequenceSet(s));
  fuzz_checks::PlaySequences(mesh);
  return 0;
}
