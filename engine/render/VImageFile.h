// Picture files of the renderer: screenshots written as PNG, and the pixels of
// PNG and uncompressed TGA pictures (hardware-cursor images) read back.
#pragma once

#include "engine/base/VBase.h"

#include <string>
#include <vector>

struct VImage {
  int width = 0, height = 0;
  std::vector<unsigned char> rgba;  // rows from the top, 4 bytes per pixel
};

class VBASE_IMPEXP VImageFile {
 public:
  // Writes 8-bit RGB (alpha dropped: a frame is opaque). False, with a log line,
  // for an empty image or when the file cannot be written.
  static bool WritePng(const char* path, const VImage& image);
  // Reads a PNG or an uncompressed true-colour TGA, told apart by content. False
  // for anything else or a damaged file.
  static bool Read(const char* path, VImage& out);
};
