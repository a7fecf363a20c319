// The renderer's switches (Vision::Renderer); the null device keeps them for the game to read.
#include "engine/render/VisRenderer.h"

#include "engine/base/VisError.h"
#include "engine/core/VisGame.h"
#include "engine/os/VOs.h"
#include "engine/render/VGLDevice.h"
#include "engine/render/VHardwareCursor.h"
#include "engine/render/VImageFile.h"
#include "engine/render/VTextureManager.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace Vision {
VisRenderer_cl Renderer;
}  // namespace Vision

int VisRenderer_cl::ResetEffectCaches() {
  std::vector<VTextureObject*> reloaded;
  const int count = Vision::TextureManager.ReloadModified(&reloaded);
  VTextureObject* cursor = Vision::HardwareCursor.GetImage();
  if (cursor && std::find(reloaded.begin(), reloaded.end(), cursor) != reloaded.end()) Vision::HardwareCursor.ApplyToWindow();
  return count;
}

int VisRenderer_cl::ReloadShaderAssignments() { return Vision::Game.ReloadMeshSurfaceTextures(); }

// Headless there is no picture to save: a blank frame would pass for one.
bool VisRenderer_cl::SaveScreenShot(std::string* outFile) {
  if (outFile) outFile->clear();
  VGLDevice& device = VGLDevice::GetInstance();
  if (!device.IsOpen()) {
    Vision::Error.Warning("Screenshot not saved: no window (ENGINE_VIDEO=null)");
    return false;
  }
  VImage frame;
  if (!device.ReadFrame(frame)) {
    Vision::Error.Warning("Screenshot not saved: the frame could not be read");
    return false;
  }
  namespace fs = std::filesystem;
  const std::string program = VGetModuleFileName();
  const fs::path folder = program.empty() ? fs::current_path() : fs::path(program).parent_path();
  // The first free number: earlier screenshots are kept.
  for (int i = 1; i <= 9999; ++i) {
    char name[32];
    snprintf(name, sizeof(name), "Screenshot_%04d.png", i);
    std::error_code ec;
    const fs::path path = folder / name;
    if (fs::exists(path, ec)) continue;
    if (!VImageFile::WritePng(path.c_str(), frame)) return false;
    Vision::Error.SystemMessage("Screenshot saved: %s", path.c_str());
    if (outFile) *outFile = path.string();
    return true;
  }
  Vision::Error.Warning("Screenshot not saved: no free file name in \"%s\"", folder.c_str());
  return false;
}
