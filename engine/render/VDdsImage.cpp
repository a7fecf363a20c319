// The DDS header (a 4-byte magic, a 124-byte header with its 32-byte pixel format)
// and the top mip level of uncompressed 8- and 32-bit pictures.
#include "engine/render/VDdsImage.h"

#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"

#include <cstring>

namespace {

constexpr uint32_t kHeaderSize = 124;
constexpr uint32_t kPixelFormatSize = 32;
constexpr size_t kDataOffset = 4 + kHeaderSize;
// Pixel format flags.
constexpr uint32_t kPfAlpha = 0x2, kPfFourCC = 0x4, kPfRgb = 0x40, kPfLuminance = 0x20000;
// Header flags and caps.
constexpr uint32_t kCaps2Cubemap = 0x200, kFlagDepth = 0x800000;

uint32_t U32(const unsigned char* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | ((uint32_t)p[3] << 24); }

bool Fail(VString* error, const char* text) {
  if (error) *error = text;
  return false;
}

}  // namespace

void VDdsImage::Clear() {
  m_iWidth = m_iHeight = m_iBytesPerPixel = 0;
  m_pixels.clear();
}

bool VDdsImage::ReadFromMemory(const void* data, size_t size, VString* error) {
  Clear();
  const unsigned char* d = static_cast<const unsigned char*>(data);
  if (!d || size < kDataOffset) return Fail(error, "too short for a DDS header");
  if (std::memcmp(d, "DDS ", 4) != 0) return Fail(error, "not a DDS file");
  const unsigned char* h = d + 4;
  if (U32(h) != kHeaderSize) return Fail(error, "bad header size");
  const uint32_t flags = U32(h + 4);
  const uint32_t height = U32(h + 8), width = U32(h + 12);
  const unsigned char* pf = h + 72;
  if (U32(pf) != kPixelFormatSize) return Fail(error, "bad pixel format size");
  const uint32_t pfFlags = U32(pf + 4), bits = U32(pf + 12);
  const uint32_t caps2 = U32(h + 108);
  if (pfFlags & kPfFourCC) return Fail(error, "compressed pictures are not supported");
  if (!(pfFlags & (kPfRgb | kPfLuminance | kPfAlpha))) return Fail(error, "unknown pixel format");
  if (bits != 8 && bits != 32) return Fail(error, "only 8- and 32-bit pictures are supported");
  if ((caps2 & kCaps2Cubemap) || ((flags & kFlagDepth) && U32(h + 20) > 1))
    return Fail(error, "cube maps and volume textures are not supported");
  if (width == 0 || height == 0 || width > (uint32_t)MaxSize || height > (uint32_t)MaxSize)
    return Fail(error, "bad picture size");
  const size_t bytes = bits / 8;
  const size_t needed = (size_t)width * height * bytes;
  if (size - kDataOffset < needed) return Fail(error, "the pixel data is cut short");
  m_iWidth = (int)width;
  m_iHeight = (int)height;
  m_iBytesPerPixel = (int)bytes;
  m_pixels.assign(d + kDataOffset, d + kDataOffset + needed);
  return true;
}

bool VDdsImage::ReadFromFile(const char* file) {
  Clear();
  IVFileInStream* in = file && *file ? Vision::File.Open(file) : nullptr;
  if (!in) {
    Vision::Error.Warning("DDS picture %s not found", file ? file : "(null)");
    return false;
  }
  std::vector<unsigned char> data;
  unsigned char buffer[65536];
  for (;;) {
    const size_t n = in->Read(buffer, sizeof(buffer));
    if (n == 0) break;
    data.insert(data.end(), buffer, buffer + n);
    // Larger than any picture we accept: no need to read on.
    if (data.size() > kDataOffset + (size_t)MaxSize * MaxSize * 4) break;
  }
  in->Close();
  VString error;
  if (!ReadFromMemory(data.data(), data.size(), &error)) {
    Vision::Error.Warning("DDS picture %s: %s", file, error.AsChar());
    return false;
  }
  return true;
}
