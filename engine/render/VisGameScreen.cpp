// Vision::Game's read of the back buffer (the save games' previews).
#include "engine/core/VisGame.h"

#include "engine/render/VGLDevice.h"
#include "engine/render/VImageFile.h"

bool VisGame_cl::WriteScreenToBuffer(int x, int y, int w, int h, unsigned char* buffer) {
  if (!buffer || w <= 0 || h <= 0 || x < 0 || y < 0) return false;
  VGLDevice& device = VGLDevice::GetInstance();
  if (!device.IsOpen()) return false;
  VImage frame;
  if (!device.ReadFrame(frame) || x + w > frame.width || y + h > frame.height) return false;
  // The frame's rows run from the top; the back buffer's from the bottom, in B, G, R.
  for (int row = 0; row < h; ++row) {
    const unsigned char* src = frame.rgba.data() + ((size_t)(y + row) * frame.width + x) * 4;
    unsigned char* dst = buffer + (size_t)(h - 1 - row) * w * 3;
    for (int i = 0; i < w; ++i, src += 4, dst += 3) {
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
    }
  }
  return true;
}
