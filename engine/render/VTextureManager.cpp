// Shared textures by name.
#include "engine/render/VTextureManager.h"

#include "engine/base/VisFile.h"

#include <sys/stat.h>

VisTextureManager_cl Vision::TextureManager;

VTextureObject* VisTextureManager_cl::Load2DTextureFromFile(const char* file) {
  if (!file || !*file) return nullptr;
  Entry& slot = m_textures[VFileHelper::GetCacheKey(file)];
  if (!slot.texture) {
    slot.texture = new VTextureObject(file);
    slot.stamp = StampOf(file);
  }
  return slot.texture;
}

int VisTextureManager_cl::PurgeUnused() {
  int purged = 0;
  for (auto it = m_textures.begin(); it != m_textures.end();) {
    if (it->second.texture->GetRefCount() <= 1) {
      it = m_textures.erase(it);
      ++purged;
    } else {
      ++it;
    }
  }
  return purged;
}

VisTextureManager_cl::FileStamp VisTextureManager_cl::StampOf(const char* file) {
  FileStamp stamp;
  std::string path;
  struct stat info {};
  if (!Vision::File.ResolvePath(file, path) || stat(path.c_str(), &info) != 0) return stamp;
  stamp.exists = true;
  stamp.modified = (int64_t)info.st_mtim.tv_sec * 1000000000 + info.st_mtim.tv_nsec;
  stamp.size = (int64_t)info.st_size;
  return stamp;
}

int VisTextureManager_cl::ReloadModified(std::vector<VTextureObject*>* reloaded) {
  int count = 0;
  for (auto& [key, entry] : m_textures) {
    const FileStamp now = StampOf(entry.texture->GetFilename());
    if (now == entry.stamp) continue;
    // Textures loaded from files keep no pixels: taking the file's new state is the whole reload.
    entry.stamp = now;
    ++count;
    if (reloaded) reloaded->push_back(entry.texture);
  }
  return count;
}

VTextureObject* VisTextureManager_cl::Create2DTextureObject(const char* name, int width, int height, int format,
                                                           int flags) {
  if (width <= 0 || height <= 0) return nullptr;
  VTextureObject* texture = new VTextureObject(name ? name : "");
  texture->CreateInMemory(width, height, format, flags);
  return texture;
}
