// The engine's texture manager (Vision::TextureManager): 2D textures by file name,
// each loaded once and shared, and textures made in memory. Textures are known by name only (nothing headless
// reads their pixels), so a name is never refused for a missing file.
#pragma once

#include "engine/render/VTextureObject.h"

#include <map>
#include <string>

class VBASE_IMPEXP VisTextureManager_cl {
 public:
  // The shared texture of the file (names compared without regard to case and
  // separators); null for a null or empty name.
  VTextureObject* Load2DTextureFromFile(const char* file);
  // A new texture of one level made in memory (see VTextureObject), not shared:
  // every call makes its own, whatever the name. The format and flags are kept as
  // given; every such texture holds 8-bit B, G, R, A. Null for a size of 0 or less.
  VTextureObject* Create2DTextureObject(const char* name, int width, int height, int format, int flags);
  int GetTextureCount() const { return (int)m_textures.size(); }
  // Drops the textures nobody else holds; returns how many went.
  int PurgeUnused();

 private:
  std::map<std::string, VSmartPtr<VTextureObject>> m_textures;
};

namespace Vision {
VBASE_IMPEXP extern VisTextureManager_cl TextureManager;
}  // namespace Vision
