// Uncompressed DDS pictures for tests and benchmarks: 8-bit luminance or 32-bit
// BGRA, written byte for byte as the engine's reader expects them.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace dds_test {

// pixels: width x height values, rows from the top; 32-bit pictures repeat the
// value in B, G and R with alpha 255.
inline std::vector<uint8_t> MakeDds(int width, int height, const std::vector<uint8_t>& pixels, int bitsPerPixel = 8) {
  std::vector<uint8_t> out;
  auto u32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back((uint8_t)(v >> (8 * i)));
  };
  for (char c : {'D', 'D', 'S', ' '}) out.push_back((uint8_t)c);
  u32(124);                                  // header size
  u32(0x1 | 0x2 | 0x4 | 0x8 | 0x1000);       // caps, height, width, pitch, pixel format
  u32((uint32_t)height);
  u32((uint32_t)width);
  u32((uint32_t)(width * bitsPerPixel / 8));  // pitch
  u32(0);                                    // depth
  u32(0);                                    // mip levels
  for (int i = 0; i < 11; ++i) u32(0);
  u32(32);  // pixel format size
  if (bitsPerPixel == 8) {
    u32(0x20000);  // luminance
    u32(0);
    u32(8);
    u32(0xff), u32(0), u32(0), u32(0);
  } else {
    u32(0x40 | 0x1);  // RGB with alpha
    u32(0);
    u32(32);
    u32(0x00ff0000), u32(0x0000ff00), u32(0x000000ff), u32(0xff000000);
  }
  u32(0x1000);  // caps: texture
  for (int i = 0; i < 4; ++i) u32(0);
  for (uint8_t p : pixels) {
    if (bitsPerPixel == 8) {
      out.push_back(p);
    } else {
      for (uint8_t b : {p, p, p, (uint8_t)255}) out.push_back(b);
    }
  }
  return out;
}

inline void WriteDds(const std::string& path, int width, int height, const std::vector<uint8_t>& pixels,
                     int bitsPerPixel = 8) {
  const std::vector<uint8_t> bytes = MakeDds(width, height, pixels, bitsPerPixel);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), (std::streamsize)bytes.size());
}

// A grid drawn as text, one line per row from the first row on: '#' blocked (0),
// '.' open (255), '1'..'6' that cost (the darkest byte of the cost).
inline std::vector<uint8_t> PixelsFromRows(const std::vector<std::string>& rows) {
  static const uint8_t kCostByte[7] = {0, 209, 161, 113, 65, 17, 0};
  std::vector<uint8_t> pixels;
  for (const std::string& row : rows)
    for (char c : row) pixels.push_back(c == '#' ? 0 : c == '.' ? 255 : kCostByte[c - '0']);
  return pixels;
}

}  // namespace dds_test
