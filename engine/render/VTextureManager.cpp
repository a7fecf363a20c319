// Shared textures by name.
#include "engine/render/VTextureManager.h"

#include "engine/base/VisFile.h"

VisTextureManager_cl Vision::TextureManager;

VTextureObject* VisTextureManager_cl::Load2DTextureFromFile(const char* file) {
  if (!file || !*file) return nullptr;
  VSmartPtr<VTextureObject>& slot = m_textures[VFileHelper::GetCacheKey(file)];
  if (!slot) slot = new VTextureObject(file);
  return slot;
}

int VisTextureManager_cl::PurgeUnused() {
  int purged = 0;
  for (auto it = m_textures.begin(); it != m_textures.end();) {
    if (it->second->GetRefCount() <= 1) {
      it = m_textures.erase(it);
      ++purged;
    } else {
      ++it;
    }
  }
  return purged;
}

VTextureObject* VisTextureManager_cl::Create2DTextureObject(const char* name, int width, int height, int format,
                                                           int flags) {
  if (width <= 0 || height <= 0) return nullptr;
  VTextureObject* texture = new VTextureObject(name ? name : "");
  texture->CreateInMemory(width, height, format, flags);
  return texture;
}
