// The engine's texture manager (Vision::TextureManager): 2D textures by file name,
// each loaded once and shared, and textures made in memory. Textures are known by name only (nothing headless
// reads their pixels), so a name is never refused for a missing file.
#pragma once

#include "engine/render/VTextureObject.h"

#include <map>
#include <string>
#include <vector>

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
  // Loads again the textures whose file changed since it was loaded (modification
  // time or size, or the file came or went) and returns how many; those textures go
  // into reloaded when given.
  int ReloadModified(std::vector<VTextureObject*>* reloaded = nullptr);

 private:
  // What the file looked like when its texture was loaded.
  struct FileStamp {
    bool exists = false;
    int64_t modified = 0;  // nanoseconds
    int64_t size = 0;
    bool operator==(const FileStamp&) const = default;
  };
  static FileStamp StampOf(const char* file);
  struct Entry {
    VSmartPtr<VTextureObject> texture;
    FileStamp stamp;
  };
  std::map<std::string, Entry> m_textures;
};

namespace Vision {
VBASE_IMPEXP extern VisTextureManager_cl TextureManager;
}  // namespace Vision
