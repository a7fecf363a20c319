// A 24-bit picture in memory (rows from the top, R, G, B), scaled with a box filter
// and written as JPEG through libjpeg: the save games' previews.
#pragma once

#include "engine/base/VBase.h"

#include <cstdint>
#include <vector>

class VBASE_IMPEXP VImageMap {
 public:
  VImageMap() = default;
  // Takes width x height x 3 bytes; an empty map when they do not fit the size.
  VImageMap(int width, int height, std::vector<uint8_t> rgb);

  int GetWidth() const { return m_iWidth; }
  int GetHeight() const { return m_iHeight; }
  bool IsEmpty() const { return m_iWidth <= 0 || m_iHeight <= 0; }
  const std::vector<uint8_t>& GetData() const { return m_rgb; }

  // Scales to width x height: each target pixel is the mean of the source area it
  // covers, partly covered source pixels weighted by their share (enlarging repeats
  // pixels the same way). Nothing for an empty map or a size below 1.
  bool Scale(int width, int height);
  // The picture as a baseline JPEG file of the quality (1..100) into out; false for
  // an empty map.
  bool EncodeJpeg(int quality, std::vector<uint8_t>& out) const;
  // A JPEG file read back (tests and the load screens' checks); false when it does
  // not decode.
  static bool DecodeJpeg(const std::vector<uint8_t>& file, VImageMap& out);

 private:
  int m_iWidth = 0, m_iHeight = 0;
  std::vector<uint8_t> m_rgb;
};
