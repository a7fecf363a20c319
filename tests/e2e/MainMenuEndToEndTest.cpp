// End-to-end through the title screen: the real program, its intro skipped by a
// replayed Escape, then the loading screen and the main menu. Headless, Exit ends
// the program and the way into a new game starts the campaign; in a window on a
// private Xvfb display, screenshots show the menu over its running video and the
// world map the new campaign opens with.
#include "e2e/NewGame.h"
#include "e2e/ScenePlay.h"
#include "engine/render/VImageFile.h"
#include "support/ScratchProgram.h"
#include "support/XvfbDisplay.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace new_game;

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
  std::ofstream(input) << NewGameClicks();
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
  std::ofstream(input) << NewGameClicks() << "120 press F8\n135 press F8\n" << kCutsceneFrame << " press F8\n"
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
