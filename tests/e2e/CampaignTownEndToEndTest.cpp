// A campaign played through the real program into a town and out again: the new
// game's clicks open the world map; a right click to the left of the ship (the
// world camera looks along -y, so screen left is +x) sets it sailing east along
// y = 0 to Saltmarsh at (320, 0, 0), away from the marked sea-battle spot north of
// the start; within 50 units the town is found and within 30 (its entering
// distance 900, squared) its land scene loads; a right click walks the hero to the
// quay and the land HUD's Leave button brings the player back to the world map.
// Headless, the log shows the steps in order; in a window on a private Xvfb
// display, screenshots show the map, the town and the map again.
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

// The right click that sets the ship sailing: on the ship's row, far to its left.
constexpr Point kEastOfTheShip{100, 360};
constexpr int kSailFrame = 700;
// The ship enters the town at about frame 1285; the town's loading screen holds a
// second and fades, so by frame 1350 the town takes input.
constexpr int kNearTheTownFrame = 1260;
constexpr int kLoadingTownFrame = 1300;
constexpr int kInTownFrame = 1399;
// A right click low on the screen sends the hero from the "PlayerCharacter" mark
// (-36, 0) down to the quay at the west, where the escape area (-50, 0) lies; he
// is there well before the shot at kWalkedFrame.
constexpr Point kQuay{640, 620};
constexpr int kWalkFrame = 1400;
constexpr int kWalkedFrame = 1560;
// The land HUD's exit button ("Leave"), top right.
constexpr Point kLeave{1200, 35};
constexpr int kLeaveFrame = 1580;
// The world map's loading screen is gone by then.
constexpr int kBackAtSeaFrame = 1660;
constexpr int kLastFrame = 1670;

// Static geometry (the towns of the world map and the houses of a town) as the
// world pass draws it.
constexpr float kStoneColour[3] = {0.55f, 0.50f, 0.45f};
// The banner's text and the Leave button's face.
constexpr float kBannerColour[3] = {1.0f, 0.78f, 0.07f};
constexpr float kLeaveColour[3] = {0.36f, 0.23f, 0.13f};

// A right click as the player gives it: the pointer at rest, the button down for
// two frames.
std::string RightClick(int frame, Point p) {
  return std::to_string(frame - 5) + " move " + std::to_string(p.x) + " " + std::to_string(p.y) + "\n" +
         std::to_string(frame) + " button right down\n" + std::to_string(frame + 2) + " button right up\n";
}

std::string CampaignInput() {
  return NewGameClicks() + RightClick(kSailFrame, kEastOfTheShip) + RightClick(kWalkFrame, kQuay) +
         Click(kLeaveFrame, kLeave);
}

// Each text found in order after the line `from`; the index of the last one, or -1
// (with a test failure naming the missing text).
int ExpectInOrder(const std::vector<std::string>& log, int from, const std::vector<std::string>& texts) {
  int at = from;
  for (const std::string& text : texts) {
    const int next = Find(log, text, at + 1);
    EXPECT_GE(next, 0) << "\"" << text << "\" after line " << at;
    if (next < 0) return -1;
    at = next;
  }
  return at;
}

TEST(CampaignTownEndToEnd, HeadlessTheShipSailsIntoSaltmarshAndTheLeaveButtonBringsItBack) {
  ScratchProgram program = MakeScratchProgram();
  const std::string input = program.Root() + "/input.txt";
  std::ofstream(input) << CampaignInput();
  const ScratchProgram::Result r =
      program.Run({}, {{"ENGINE_INPUT", input}, {"ENGINE_FRAMES", std::to_string(kLastFrame)},
                       {"ENGINE_TIMESTEP", kTimeStep}, {"ENGINE_AUDIO", "null"}});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  const std::vector<std::string> log = program.ReadLog();
  EXPECT_GE(Find(log, "ENGINE_FRAMES reached"), 0);

  // The campaign starts on the world map.
  const int started = ExpectInOrder(log, -1,
                                    {"MissionManager::StartCampaign()", "MissionManager::StartCampaign() Before InitWorld",
                                     "BattleManager::InitWorld() Load Scene scenes\\world01\\World.vscene",
                                     "MissionManager::StartCampaign() After InitWorld",
                                     "MissionManager::StartCampaign() Executing GameScript",
                                     "MissionManager::StartCampaign() Loading missionscripts",
                                     "MissionManager::StartCampaign() Missions loaded",
                                     "MissionManager::StartCampaign() Init camera",
                                     "MissionManager::StartCampaign() Begin render", "MissionManager::StartCampaign() DONE"});
  ASSERT_GE(started, 0);

  // Near the town it is found, once; close by, the world map is left for its scene.
  // Leaving ends the new game's conversation, and with it the conversation's
  // track, which is not heard again.
  const int found = ExpectInOrder(log, started, {"Lua: Saltmarsh: found"});
  EXPECT_EQ(Count(log, "Lua: Saltmarsh: found"), 1) << "OnFound runs once for a new town";
  const int inTown =
      ExpectInOrder(log, found,
                    {"GameManager: to town town_saltmarsh, scene scenes\\town_harbour\\town_harbour.vscene (type 3)",
                     "GameSessionManager::ExitScene() Begin, location 0", "GameSessionManager::ExitScene() Done.",
                     "GameSessionManager::LoadScene() Begin", "GameSessionManager::LoadScene() Location Land",
                     "Scene \"scenes\\town_harbour\\town_harbour.vscene\" loaded",
                     "GameSessionManager::LoadScene() Init Town", "Lua: Saltmarsh: ashore, visit 1",
                     "GameSessionManager::LoadScene() Spawn Random Collectables",
                     "GameSessionManager::LoadScene() Show Hud", "GameSessionManager::LoadScene() Apply Settings",
                     "GameSessionManager::LoadScene() Initialize Content Manager",
                     "GameSessionManager::LoadScene() Enter Scene", "GameSessionManager::LoadScene() Render Frame",
                     "GameSessionManager::LoadScene() Done."});
  ASSERT_GE(inTown, 0);
  // Ashore, the first story mission is done and the missions script starts the next.
  EXPECT_GE(ExpectInOrder(log, found,
                          {"GameSessionManager::LoadScene() Enter Scene", "Lua: Mission: ashore in Saltmarsh",
                           "Lua: Missions: the story goes on to Fort Amber"}),
            0);
  EXPECT_LT(Find(log, "Music\\conversation.wav", inTown), 0);
  EXPECT_LT(Find(log, "Escape area not found!"), 0);
  EXPECT_GT(Find(log, "GameSessionManager::LoadScene() Location World", found), inTown)
      << "the town is loaded as land, not as the world";

  // Leave: the way back is the world map's own scene, loaded as location 0, and the
  // automatic save is asked for and made once the loading screen is gone.
  const int back = ExpectInOrder(
      log, inTown,
      {"GameManager::Teleport(scenes\\world01\\World.vscene): scene scenes\\world01\\World.vscene at location 0",
       "GameSessionManager::ExitScene() Begin, location 1", "GameSessionManager::ExitScene() Done.",
       "GameSessionManager::LoadScene() Begin", "GameSessionManager::LoadScene() Location World",
       "GameSessionManager::LoadScene() Show Hud", "GameSessionManager::LoadScene() Init World",
       "BattleManager::InitWorld() Load Scene scenes\\world01\\World.vscene", "Lua: Battle1: scene set up at location 0",
       "GameSessionManager::LoadScene() Load State", "GameSessionManager::LoadScene() Post Init",
       "GameSessionManager::LoadScene() Spawn Ships", "GameSessionManager::LoadScene() Init Camera",
       "GameSessionManager::LoadScene() Apply Settings", "GameSessionManager::LoadScene() Initialize Content Manager",
       "GameSessionManager::LoadScene() Enter Scene", "GameSessionManager::LoadScene() Render Frame",
       "GameSessionManager::LoadScene() Done.", "SaveGame(20)"});
  ASSERT_GE(back, 0);
  // Visiting again does not find the town anew.
  EXPECT_EQ(Count(log, "Lua: Saltmarsh: found"), 1);
  EXPECT_EQ(Count(log, "GameManager: to town"), 1) << "the ship is not sent into the town again on its return";
}

TEST(CampaignTownEndToEnd, InAWindowTheMapTheTownAndTheMapAgainAreShown) {
  if (!XvfbDisplay::IsInstalled()) GTEST_SKIP() << "Xvfb is not installed: the window cannot be tested";
  XvfbDisplay display(1280, 720);
  ASSERT_TRUE(display.IsRunning()) << display.Error();

  ScratchProgram program = MakeScratchProgram();
  const std::string input = program.Root() + "/input.txt";
  std::ofstream(input) << CampaignInput() << kWorldMapFrame << " press F8\n"
                       << kNearTheTownFrame << " press F8\n"
                       << kLoadingTownFrame << " press F8\n"
                       << kInTownFrame << " press F8\n"
                       << kWalkedFrame << " press F8\n"
                       << kBackAtSeaFrame << " press F8\n";
  const ScratchProgram::Result r = program.Run(
      {}, {{"DISPLAY", display.Name()}, {"ENGINE_VIDEO", "gl"}, {"ENGINE_AUDIO", "null"}, {"ENGINE_INPUT", input},
           {"ENGINE_FRAMES", std::to_string(kLastFrame)}, {"ENGINE_TIMESTEP", kTimeStep}, {"WAYLAND_DISPLAY", ""},
           {"ENGINE_MESSAGEBOX", "ok"}});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  ASSERT_GE(Find(program.ReadLog(), "Window opened: 1280x720"), 0) << r.err;

  const char* names[] = {"start", "near the town", "loading the town", "in the town", "at the quay", "back at sea"};
  std::vector<VImage> shots(6);
  for (int i = 0; i < 6; ++i) {
    const std::string file = program.ProgramDir() + "/Screenshot_000" + std::to_string(i + 1) + ".png";
    ASSERT_TRUE(VImageFile::Read(file.c_str(), shots[i])) << names[i];
  }
  using scene_play::FindColour;
  using scene_play::Region;
  const Region middle{540, 260, 740, 460};
  const Region banner{300, 90, 980, 140};
  const Region leave{1130, 10, 1270, 60};

  // The world map: the player's ship in the middle of the screen; then, near
  // Saltmarsh, the town beside it.
  EXPECT_GT(FindColour(shots[0], kPlayerColour, middle).count, 500) << names[0];
  EXPECT_GT(FindColour(shots[1], kPlayerColour, middle).count, 500) << names[1];
  EXPECT_GT(FindColour(shots[1], kStoneColour).count, 20000) << names[1];
  // The town's loading screen covers the world.
  EXPECT_EQ(FindColour(shots[2], kPlayerColour).count, 0) << names[2];
  EXPECT_EQ(FindColour(shots[2], kStoneColour).count, 0) << names[2];
  // In the town, the loading screen gone: the hero in the middle, the land HUD's
  // Leave button and a banner; no sea ship in view.
  const scene_play::Blob hero = FindColour(shots[3], kPlayerColour, middle);
  EXPECT_GT(hero.count, 10) << names[3];
  EXPECT_LT(hero.count, 500) << names[3] << ": a soldier, not a ship";
  // Away from the escape area the button does not glow: its face shows, smaller.
  EXPECT_GT(FindColour(shots[3], kLeaveColour, leave, 0.08f).count, 50) << names[3];
  EXPECT_GT(FindColour(shots[3], kBannerColour, banner, 0.08f).count, 100) << names[3];
  // The right click walked him down the screen, to the quay.
  const scene_play::Blob walked = FindColour(shots[4], kPlayerColour, Region{440, 260, 840, 720});
  EXPECT_GT(walked.count, 10) << names[4];
  EXPECT_GT(walked.y - hero.y, 120.0f) << names[4];
  // Back on the world map: the ship again, the town shown again, no Leave button.
  EXPECT_GT(FindColour(shots[5], kPlayerColour, middle).count, 500) << names[5];
  EXPECT_GT(FindColour(shots[5], kStoneColour).count, 20000) << names[5];
  EXPECT_EQ(FindColour(shots[5], kLeaveColour, leave, 0.08f).count, 0) << names[5];
}

}  // namespace
