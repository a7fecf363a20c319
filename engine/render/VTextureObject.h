// An engine texture: reference counted and known by its file or name. Textures
// loaded from files are known by name only (nothing reads their pixels); textures
// made in memory (VisTextureManager_cl::Create2DTextureObject) keep the pixels of
// their single level: 8-bit B, G, R, A per pixel, the top row first. With a
// window such a texture also lives on the GL device, kept in step by UpdateRect.
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/base/VString.h"

#include <cstdint>
#include <vector>

class VBASE_IMPEXP VTextureObject : public VRefCounter {
 public:
  explicit VTextureObject(const char* file) : m_sFilename(file) {}
  ~VTextureObject() override;
  const char* GetFilename() const { return m_sFilename.AsChar(); }

  int GetTextureWidth() const { return m_iWidth; }
  int GetTextureHeight() const { return m_iHeight; }
  // The engine's creation format and flags, as given.
  int GetTextureFormat() const { return m_iFormat; }
  int GetCreationFlags() const { return m_iCreationFlags; }
  void SetResourceFlag(int flag) { m_iResourceFlags |= flag; }
  int GetResourceFlags() const { return m_iResourceFlags; }

  // Replaces a rectangle of a level with rows of `pitch` bytes (4 bytes a pixel).
  // False for another level than 0, a rectangle outside the texture, no data, or
  // an unloaded texture; nothing changes then.
  bool UpdateRect(int level, int x, int y, int width, int height, int pitch, const void* data, int lockFlags = 0);
  // The pixels of level 0 (width * height * 4 bytes); empty when unloaded or loaded from a file.
  const std::vector<uint8_t>& GetPixels() const { return m_pixels; }
  bool IsLoaded() const { return !m_pixels.empty(); }

  // The GL texture name (0 headless or after ReleaseDeviceHandle).
  unsigned GetGLHandle() const { return m_iGLHandle; }
  // Frees the device copy; the pixels stay.
  void ReleaseDeviceHandle();
  // Frees the device copy and the pixels.
  void EnsureUnloaded();

 private:
  friend class VisTextureManager_cl;
  // Allocates level 0 cleared to zero, and its device copy when a window exists.
  void CreateInMemory(int width, int height, int format, int flags);

  VString m_sFilename;
  int m_iWidth = 0, m_iHeight = 0;
  int m_iFormat = 0, m_iCreationFlags = 0, m_iResourceFlags = 0;
  std::vector<uint8_t> m_pixels;
  unsigned m_iGLHandle = 0;
};
