// Reader for uncompressed DDS pictures of 8 or 32 bits per pixel (the navigation
// map "CollisionMap.dds"). Compressed, other depths and damaged files are refused.
#pragma once

#include "engine/base/VString.h"

#include <cstddef>
#include <vector>

class VBASE_IMPEXP VDdsImage {
 public:
  int GetWidth() const { return m_iWidth; }
  int GetHeight() const { return m_iHeight; }
  // 1 or 4; 0 before a picture was read.
  int GetBytesPerPixel() const { return m_iBytesPerPixel; }
  // Bytes per row (rows are packed).
  int GetPitch() const { return m_iWidth * m_iBytesPerPixel; }
  // The top mip level, rows from the top, pixels as stored (32-bit: B, G, R, A).
  const std::vector<unsigned char>& GetPixels() const { return m_pixels; }
  // The first byte of pixel (x, y); both must lie inside the picture.
  const unsigned char* GetPixel(int x, int y) const {
    return &m_pixels[(size_t)y * GetPitch() + (size_t)x * m_iBytesPerPixel];
  }

  // False, with the reason in 'error' and the picture left empty, for anything but
  // an uncompressed 8- or 32-bit DDS of at most MaxSize pixels a side.
  bool ReadFromMemory(const void* data, size_t size, VString* error = nullptr);
  // Through the data folders; false (logged with the reason) when missing or refused.
  bool ReadFromFile(const char* file);

  static constexpr int MaxSize = 16384;

 private:
  void Clear();
  int m_iWidth = 0;
  int m_iHeight = 0;
  int m_iBytesPerPixel = 0;
  std::vector<unsigned char> m_pixels;
};
