// The DDS reader over arbitrary bytes: no crash, no sanitizer report, no read past
// the bytes given; a picture it accepts is consistent with its header.
// fuzz-sources: engine/render/VDdsImage.cpp
#include "engine/render/VDdsImage.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
void Require(bool condition) {
  if (!condition) abort();
}
uint32_t U32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | ((uint32_t)p[3] << 24); }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  VDdsImage image;
  VString error;
  if (!image.ReadFromMemory(data, size, &error)) {
    Require(!error.IsEmpty());
    Require(image.GetWidth() == 0 && image.GetPixels().empty());
    return 0;
  }
  Require(size >= 128 && std::memcmp(data, "DDS ", 4) == 0);
  Require((uint32_t)image.GetHeight() == U32(data + 12) && (uint32_t)image.GetWidth() == U32(data + 16));
  Require(image.GetBytesPerPixel() == 1 || image.GetBytesPerPixel() == 4);
  const size_t bytes = (size_t)image.GetPitch() * image.GetHeight();
  Require(image.GetPixels().size() == bytes && bytes <= size - 128);
  Require(std::memcmp(image.GetPixels().data(), data + 128, bytes) == 0);
  // Every pixel is reachable through the accessor.
  unsigned sum = 0;
  for (int y = 0; y < image.GetHeight(); ++y)
    for (int x = 0; x < image.GetWidth(); ++x) sum += image.GetPixel(x, y)[0];
  (void)sum;
  return 0;
}
