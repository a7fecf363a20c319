// End-to-end in a real window: Brinemark with ENGINE_VIDEO=gl on a private Xvfb
// display draws the loading screen and then the frames that exist; the screenshot
// key, replayed through ENGINE_INPUT, saves what was on screen.
#include "engine/render/VImageFile.h"
#include "support/ScratchProgram.h"
#include "support/XvfbDisplay.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <tuple>

namespace {

int Find(const std::vector<std::string>& lines, const std::string& text, int start = 0) {
  for (int i = std::max(start, 0); i < (int)lines.size(); ++i)
    if (lines[i].find(text) != std::string::npos) return i;
  return -1;
}

std::tuple<int, int, int> Rgb(const VImage& image, int x, int y) {
  const unsigned char* p = &image.rgba[((size_t)y * image.width + x) * 4];
  return {p[0], p[1], p[2]};
}

bool Near(const std::tuple<int, int, int>& a, const std::tuple<int, int, int>& b, int tolerance) {
  return std::abs(std::get<0>(a) - std::get<0>(b)) <= tolerance && std::abs(std::get<1>(a) - std::get<1>(b)) <= tolerance &&
         std::abs(std::get<2>(a) - std::get<2>(b)) <= tolerance;
}

}  // namespace

TEST(WindowEndToEnd, TheScreenshotKeySavesTheLoadingScreenAsDrawnAndLaterFramesWithoutIt) {
  if (!XvfbDisplay::IsInstalled()) GTEST_SKIP() << "Xvfb is not installed: the window cannot be tested";
  // The display offers one mode, its own size: the game's default window size.
  XvfbDisplay display(1280, 720);
  ASSERT_TRUE(display.IsRunning()) << display.Error();

  ScratchProgram program = MakeScratchProgram();
  // F8 is the screenshot key: once while the loading screen is held (it stays a
  // second, 50 frames of 0.02 s), once long after it faded. The mouse moves first.
  const std::string input = program.Root() + "/input.txt";
  std::ofstream(input) << "5 move 640 360\n# screenshot key\n10 press F8\n150 press F8\n";
  const ScratchProgram::Result r = program.Run(
      {}, {{"DISPLAY", display.Name()}, {"ENGINE_VIDEO", "gl"}, {"ENGINE_INPUT", input}, {"ENGINE_FRAMES", "160"},
           {"ENGINE_TIMESTEP", "0.02"}, {"WAYLAND_DISPLAY", ""}, {"ENGINE_MESSAGEBOX", "ok"}});
  ASSERT_EQ(r.exitStatus, 0) << r.err;

  const std::vector<std::string> log = program.ReadLog();
  const int window = Find(log, "Window opened: 1280x720, OpenGL");
  ASSERT_GE(window, 0) << r.err;
  EXPECT_GT(Find(log, "ENGINE_INPUT: 5 events"), window);
  // The cursor move went through the window procedure to the window's own cursor.
  EXPECT_LT(Find(log, "Cursor image"), 0);
  const std::string first = program.ProgramDir() + "/Screenshot_0001.png";
  const std::string second = program.ProgramDir() + "/Screenshot_0002.png";
  const int saved1 = Find(log, "Screenshot saved: " + first);
  const int saved2 = Find(log, "Screenshot saved: " + second);
  ASSERT_GT(saved1, window);
  ASSERT_GT(saved2, saved1);
  EXPECT_EQ(Find(log, "Screen message: Saved screenshot ...", saved1), saved1 + 1);
  EXPECT_EQ(Find(log, "Screen message: Saved screenshot ...", saved2), saved2 + 1);
  EXPECT_LT(Find(log, "Screenshot could not be saved"), 0);

  VImage shot, picture;
  ASSERT_TRUE(VImageFile::Read(first.c_str(), shot));
  ASSERT_EQ(shot.width, 1280);
  ASSERT_EQ(shot.height, 720);
  const std::string pictureFile = std::string(BRINEMARK_SOURCE_DIR) + "/data/gui/textures/loadscreen_start.dds";
  ASSERT_TRUE(VImageFile::Read(pictureFile.c_str(), picture));

  // The loading screen's picture fills the window: its colours lie where the
  // picture's do, and they differ from top to bottom.
  std::set<std::tuple<int, int, int>> colours;
  for (float fy : {0.1f, 0.3f, 0.5f, 0.7f, 0.9f}) {
    for (float fx : {0.25f, 0.75f}) {
      const int x = (int)(fx * shot.width), y = (int)(fy * shot.height);
      const auto seen = Rgb(shot, x, y);
      const auto expected = Rgb(picture, (int)(fx * picture.width), (int)(fy * picture.height));
      EXPECT_TRUE(Near(seen, expected, 8)) << "at " << x << "," << y << ": " << std::get<0>(seen) << " "
                                           << std::get<1>(seen) << " " << std::get<2>(seen);
      colours.insert(seen);
    }
  }
  EXPECT_GE(colours.size(), 5u);

  // Long after the fade the picture is gone from the frame.
  VImage later;
  ASSERT_TRUE(VImageFile::Read(second.c_str(), later));
  ASSERT_EQ(later.width, 1280);
  int pictureLeft = 0;
  for (float fy : {0.1f, 0.5f, 0.9f}) {
    const auto expected = Rgb(picture, picture.width / 2, (int)(fy * picture.height));
    if (Near(Rgb(later, later.width / 2, (int)(fy * later.height)), expected, 8)) ++pictureLeft;
  }
  EXPECT_EQ(pictureLeft, 0);
}
