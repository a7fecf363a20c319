// Textures of an entity's model by surface, which replace the model's own ones (an
// entity's custom texture set). Headless, nothing draws them: they are kept so that
// the game's texture swaps can be read back.
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/render/VTextureObject.h"

#include <vector>

class VisSurfaceTextureSet_cl : public VRefCounter {
 public:
  explicit VisSurfaceTextureSet_cl(int surfaceCount = 0) : m_textures(surfaceCount > 0 ? surfaceCount : 0) {}

  int GetCount() const { return (int)m_textures.size(); }
  // A surface beyond the set grows it; null leaves the model's texture in place.
  void SetTexture(int surface, VTextureObject* texture) {
    if (surface < 0) return;
    if (surface >= GetCount()) m_textures.resize((size_t)surface + 1);
    m_textures[surface] = texture;
  }
  VTextureObject* GetTexture(int surface) const {
    return surface >= 0 && surface < GetCount() ? m_textures[surface].GetPtr() : nullptr;
  }

 private:
  std::vector<VSmartPtr<VTextureObject>> m_textures;
};
