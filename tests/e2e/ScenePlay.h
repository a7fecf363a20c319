// Playing a test scene in a window on a private Xvfb display with replayed input,
// and finding what the world pass drew in the screenshots by colour.
#pragma once

#include "engine/render/VImageFile.h"
#include "support/ScratchProgram.h"
#include "support/XvfbDisplay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace scene_play {

// The start's loading screen holds a second and fades: from frame 65 the scene shows
// and takes input.
inline const char* const kTimeStep = "0.02";
constexpr int kWidth = 1280, kHeight = 720;

struct Region {
  int x0 = 0, y0 = 0, x1 = kWidth, y1 = kHeight;
};

struct Blob {
  int count = 0;
  float x = 0, y = 0;  // centre, pixels
};

// The pixels of the given colour at any brightness (faces are shaded) in a region;
// pixels darker than minBright (0..255) do not count.
inline Blob FindColour(const VImage& image, const float colour[3], Region r = {}, float tolerance = 0.04f,
                       int minBright = 50) {
  const float top = std::max({colour[0], colour[1], colour[2]});
  Blob blob;
  double sx = 0, sy = 0;
  for (int y = std::max(r.y0, 0); y < std::min(r.y1, image.height); ++y)
    for (int x = std::max(r.x0, 0); x < std::min(r.x1, image.width); ++x) {
      const unsigned char* p = &image.rgba[((size_t)y * image.width + x) * 4];
      const int bright = std::max({p[0], p[1], p[2]});
      if (bright < minBright) continue;
      bool same = true;
      for (int c = 0; c < 3; ++c) same &= std::fabs(p[c] / (float)bright - colour[c] / top) < tolerance;
      if (!same) continue;
      ++blob.count;
      sx += x;
      sy += y;
    }
  if (blob.count > 0) {
    blob.x = (float)(sx / blob.count);
    blob.y = (float)(sy / blob.count);
  }
  return blob;
}

inline int FindLine(const std::vector<std::string>& lines, const std::string& text) {
  for (int i = 0; i < (int)lines.size(); ++i)
    if (lines[i].find(text) != std::string::npos) return i;
  return -1;
}

class SceneEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!XvfbDisplay::IsInstalled()) GTEST_SKIP() << "Xvfb is not installed: the window cannot be tested";
    display = std::make_unique<XvfbDisplay>(kWidth, kHeight);
    ASSERT_TRUE(display->IsRunning()) << display->Error();
  }

  // Runs the scene ("<location>:<file>") with the replayed input and reads the
  // screenshots back.
  std::vector<VImage> Play(ScratchProgram& program, const std::string& scene, const std::string& input, int frames,
                           int shots) {
    const std::string file = program.Root() + "/input.txt";
    std::ofstream(file) << input;
    const ScratchProgram::Result r = program.Run(
        {}, {{"DISPLAY", display->Name()}, {"ENGINE_VIDEO", "gl"}, {"ENGINE_AUDIO", "null"}, {"ENGINE_SCENE", scene},
             {"ENGINE_INPUT", file}, {"ENGINE_FRAMES", std::to_string(frames)}, {"ENGINE_TIMESTEP", kTimeStep},
             {"WAYLAND_DISPLAY", ""}});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_GE(FindLine(program.ReadLog(), "Window opened: 1280x720"), 0) << r.err;
    std::vector<VImage> images(shots);
    for (int i = 0; i < shots; ++i) {
      char name[64];
      std::snprintf(name, sizeof(name), "/Screenshot_%04d.png", i + 1);
      EXPECT_TRUE(VImageFile::Read((program.ProgramDir() + name).c_str(), images[i])) << name;
    }
    return images;
  }

  std::unique_ptr<XvfbDisplay> display;
};

}  // namespace scene_play
