// The renderer's switches (Vision::Renderer); the null device keeps them for the game to read.
#include "engine/render/VisRenderer.h"

#include "engine/base/VisError.h"

namespace Vision {
VisRenderer_cl Renderer;
}  // namespace Vision

// Headless there is no picture to save; the window comes with the OpenGL device.
bool VisRenderer_cl::SaveScreenShot(std::string* outFile) {
  if (outFile) outFile->clear();
  Vision::Error.Warning("Screenshot not saved: no window (ENGINE_VIDEO=null)");
  return false;
}
