// End-to-end through the title screen: the real program, its intro skipped by a
// replayed Escape, then the loading screen and the main menu. Headless, Exit ends
// the program and the way into a new game starts the campaign; in a window on a
// private Xvfb display, screenshots show the menu over its running video and the
// world map the new campaign opens with.
#include "e2e/ScenePlay.h"
#include "engine/render/VImageFile.h"
#include "support/ScratchProgram.h"
#include "support/XvfbDisplay.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

// 0.02 s a frame. The loading screen stays a second and fades; the menu's opening
// follows; by frame 150 the menu takes clicks.
const char* const kTimeStep = "0.02";

// Points of the 1280x720 screen (the menu's layout).
struct Point {
  int x, y;
};
constexpr Point kStart{230, 313};
constexpr Point kExit{230, 590};
// The hero and weapon choice (their layouts).
constexpr Point kJack{177, 563};
constexpr Point kForward{1100, 627};
constexpr Point kSecondOffer{646, 540};
constexpr Point kAccept{1026, 645};
// The frame whose input the cutscene reads first: the smallest ENGINE_FRAMES whose
// headless log holds the campaign start, plus the two frames the campaign start
// draws itself, plus one. Measure it again when the menu's or the selections'
// animations change length.
constexpr int kCutsceneFrame = 490;
// Well after the cutscene and the loading screen: the world map.
constexpr int kWorldMapFrame = 690;
// The player's ship as the world is drawn (nation 1).
constexpr float kPlayerColour[3] = {0.20f, 0.40f, 0.90f};

int Find(const std::vector<std::string>& lines, const std::string& text, int start = 0) {
  for (int i = std::max(start, 0); i < (int)lines.size(); ++i)
    if (lines[i].find(text) != std::string::npos) return i;
  return -1;
}

// The GUI takes the cursor's place when it draws: the pointer comes to rest a few
// frames before the click, as a player's does.
std::string Click(int frame, Point p) {
  return std::to_string(frame - 5) + " move " + std::to_string(p.x) + " " + std::to_string(p.y) + "\n" +
         std::to_string(frame) + " click left\n";
}

// The new game: Start, Jack, Forward, the second offer, Accept.
std::string NewGameClicks() {
  return Click(150, kStart) + Click(260, kJack) + Click(300, kForward) + Click(400, kSecondOffer) +
         Click(420, kAccept);
}

// One band of the clips' pattern (8 cells, most significant left; 0 the clip id, 1
// the frame number) read from cells first..7 of a picture the video fills.
int ReadBand(const VImage& image, int band, int firstCell) {
  const int y = (int)((band + 0.5) * image.height / 4.0);
  int value = 0;
  for (int cell = firstCell; cell < 8; ++cell) {
    const int x = (int)((cell + 0.5) * image.width / 8.0);
    const unsigned char* p = &image.rgba[((size_t)y * image.width + x) * 4];
    value = (value << 1) | ((p[0] + p[1] + p[2]) / 3 > 128 ? 1 : 0);
  }
  return value;
}

TEST(MainMenuEndToEnd, HeadlessExitEndsTheProgramWithStatusZero) {
  ScratchProgram program = MakeScratchProgram();
  const std::string input = program.Root() + "/input.txt";
  std::ofstream(input) << "1 press Escape\n" << Click(150, kExit);
  const ScratchProgram::Result r =
      program.Run({}, {{"ENGINE_INPUT", input}, {"ENGINE_FRAMES", "3000"}, {"ENGINE_TIMESTEP", kTimeStep}});
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  const std::vector<std::string> log = program.ReadLog();
  // It ended by itself, long before the frame limit.
  EXPECT_LT(Find(log, "ENGINE_FRAMES reached"), 0);
  EXPECT_LT(Find(log, "MissionManager::StartCampaign()"), 0);
}

TEST(MainMenuEndToEnd, HeadlessTheNewGameClicksStartTheCampaign) {
  ScratchProgram program = MakeScratchProgram();
  const std::string input = program.Root() + "/input.txt";
  std::ofstream(input) << "1 press Escape\n" << NewGameClicks();
  const ScratchProgram::Result r =
      program.Run({}, {{"ENGINE_INPUT", input}, {"ENGINE_FRAMES", "700"}, {"ENGINE_TIMESTEP", kTimeStep}});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  const std::vector<std::string> log = program.ReadLog();
  EXPECT_GE(Find(log, "MissionManager::StartCampaign()"), 0);
}

TEST(MainMenuEndToEnd, InAWindowTheMenuRunsItsVideoAndTheNewGameOpensTheWorldMap) {
  if (!XvfbDisplay::IsInstalled()) GTEST_SKIP() << "Xvfb is not installed: the window cannot be tested";
  XvfbDisplay display(1280, 720);
  ASSERT_TRUE(display.IsRunning()) << display.Error();

  ScratchProgram program = MakeScratchProgram();
  const std::string input = program.Root() + "/input.txt";
  // Two screenshots of the menu 0.3 s apart; one as the cutscene starts (the
  // cutscene plays inside the frame after Accept's transitions: the next frame's
  // input reaches it); one of the world map after it.
  std::ofstream(input) << "1 press Escape\n"
                       << "120 press F8\n135 press F8\n"
                       << NewGameClicks() << kCutsceneFrame << " press F8\n"
                       << kWorldMapFrame << " press F8\n";
  const ScratchProgram::Result r = program.Run(
      {}, {{"DISPLAY", display.Name()}, {"ENGINE_VIDEO", "gl"}, {"ENGINE_INPUT", input}, {"ENGINE_FRAMES", "700"},
           {"ENGINE_TIMESTEP", kTimeStep}, {"WAYLAND_DISPLAY", ""}, {"ENGINE_MESSAGEBOX", "ok"}});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  const std::vector<std::string> log = program.ReadLog();
  ASSERT_GE(Find(log, "Window opened: 1280x720"), 0) << r.err;
  EXPECT_GE(Find(log, "MissionManager::StartCampaign() DONE"), 0);

  VImage first, second, cutscene, world;
  ASSERT_TRUE(VImageFile::Read((program.ProgramDir() + "/Screenshot_0001.png").c_str(), first));
  ASSERT_TRUE(VImageFile::Read((program.ProgramDir() + "/Screenshot_0002.png").c_str(), second));
  ASSERT_TRUE(VImageFile::Read((program.ProgramDir() + "/Screenshot_0003.png").c_str(), cutscene));
  ASSERT_TRUE(VImageFile::Read((program.ProgramDir() + "/Screenshot_0004.png").c_str(), world));

  // The menu video fills the background: its clip id (2) and frame number lie in
  // the cells the menu leaves free, and the frame moved on between the two.
  EXPECT_EQ(ReadBand(first, 0, 4), 2);
  EXPECT_EQ(ReadBand(second, 0, 4), 2);
  EXPECT_NE(ReadBand(first, 1, 4), ReadBand(second, 1, 4));
  // The menu's widgets lie over it: the Start button is neither of the pattern's
  // black and white.
  for (const VImage* shot : {&first, &second}) {
    const unsigned char* p = &shot->rgba[((size_t)kStart.y * shot->width + kStart.x - 120) * 4];
    const int light = (p[0] + p[1] + p[2]) / 3;
    EXPECT_TRUE(light > 24 && light < 232) << light;
  }

  // The campaign's loading screen holds over the cutscene's first second (the test
  // clips last 1.2 s): the menu's video is gone.
  EXPECT_NE(ReadBand(cutscene, 0, 4), 2);
  // Then the world map: the player's ship on the sea.
  EXPECT_GT(scene_play::FindColour(world, kPlayerColour).count, 0);
}

}  // namespace
