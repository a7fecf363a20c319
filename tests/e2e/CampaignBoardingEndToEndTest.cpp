// End-to-end boarding in the campaign's sea battle: a new game that picks the
// human cannon ball as its special weapon, the sail into the marked spot and the
// battle, then Space held and released as the enemy comes abeam on the left: the
// sloop's special cannon fires a pirate across, he boards the enemy and, after
// its 5 s boarding time, takes it for the player. Headless the log shows the
// boarding and the capture; in a window on a private Xvfb display, the taken
// sloop no longer shows the enemy's colour and "Ship captured!" is shown.
#include "e2e/NewGame.h"
#include "e2e/ScenePlay.h"
#include "engine/render/VImageFile.h"
#include "support/ScratchProgram.h"
#include "support/XvfbDisplay.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace new_game;

// The third offer of the special-weapon page: the human cannon ball.
constexpr Point kThirdOffer{1009, 540};

// As in the sea-battle run: the click that sails the ship into the marked spot,
// full sails once the battle shows, and the enemy lying still 20 to the left,
// abeam about 607 frames after the click. The special cannon sends its pirate
// straight out on the left, with none of the ship's speed; held 0.8 s, the
// charge carries him well across the gap. The cannon's fuse (up to 0.5 s, 15
// units of sailing) follows the release, so the ship lets go a little before the
// cannon comes abeam: whatever the fuse, he leaves within the enemy's 24 of hull.
// Measure again when the ships' speeds or places change.
constexpr Point kTowardsTheSpot{640, 640};
constexpr int kSailFrame = kWorldMapFrame + 15;
constexpr int kFullSailsFrame = kSailFrame + 415;
constexpr int kChargeFrame = kSailFrame + 557;
constexpr int kReleaseFrame = kSailFrame + 597;
// 5 s of fighting on board (250 frames) and some slack.
constexpr int kFrames = kReleaseFrame + 400;

const char kIntoTheBattle[] =
    "GameManager::Teleport(seabattle01-sea): scene scenes\\seabattle01\\seabattle01.vscene at location 2";
const char kBoarding[] = "HumanCannonBallComponent::MessageFunction() Boarding EnemyShip.";
const char kCaptured[] = "HumanCannonBallComponent::Capture() EnemyShip captured for nation 1.";

// Screenshots: the pirate fighting on board, and the sloop taken (the capture
// comes 250 frames after the boarding, which follows the release within 35).
constexpr int kBoardingShot = kReleaseFrame + 150;
constexpr int kCapturedShot = kReleaseFrame + 300;

// The colonials' sloop as the world pass colours it, and the messages' text at
// the top of the screen.
constexpr float kEnemyColour[3] = {0.95f, 0.55f, 0.10f};
constexpr float kMessageColour[3] = {0.98f, 0.765f, 0.067f};
constexpr scene_play::Region kMessageBand{440, 80, 840, 150};

// Sails taken in once the pirate is away, so that the taken sloop stays in sight.
std::string Input(const std::vector<int>& shots = {}) {
  std::string extra;
  for (int frame : shots) extra += std::to_string(frame) + " press F8\n";
  return extra + "1 press Escape\n" + Click(150, kStart) + Click(260, kJack) + Click(300, kForward) + Click(400, kThirdOffer) +
         Click(420, kAccept) + Click(kSailFrame, kTowardsTheSpot, "right") + std::to_string(kFullSailsFrame) +
         " press W\n" + std::to_string(kFullSailsFrame + 5) + " press W\n" + std::to_string(kChargeFrame) +
         " key Space down\n" + std::to_string(kReleaseFrame) + " key Space up\n" + std::to_string(kReleaseFrame + 30) +
         " press S\n" + std::to_string(kReleaseFrame + 35) + " press S\n";
}

TEST(CampaignBoardingEndToEnd, HeadlessAPirateFiredOntoTheEnemyTakesItAfterFiveSeconds) {
  ScratchProgram program = MakeScratchProgram();
  const ScratchProgram::Result r = Play(program, Input(), kFrames);
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  const std::vector<std::string> log = program.ReadLog();
  EXPECT_GE(Find(log, "ENGINE_FRAMES reached"), 0) << "the run ends at its frame limit";
  EXPECT_EQ(Count(log, "Lua error"), 0);
  EXPECT_EQ(Count(log, "does not exist; nothing is fired"), 0) << "the human cannon ball's class is there";
  EXPECT_EQ(Count(log, "HumanCannonBall_Fighting.xml not found"), 0);

  // Into the battle, where one pirate boards the enemy and takes it once.
  const int battle = Find(log, kIntoTheBattle);
  ASSERT_GE(battle, 0);
  const int boarding = Find(log, kBoarding, battle);
  ASSERT_GT(boarding, battle) << "no pirate reached the enemy";
  EXPECT_EQ(Count(log, kBoarding), 1);
  const int captured = Find(log, kCaptured, boarding);
  EXPECT_GT(captured, boarding);
  EXPECT_EQ(Count(log, kCaptured), 1);
}

TEST(CampaignBoardingEndToEnd, InAWindowTheTakenSloopTurnsToThePlayersColourUnderTheMessage) {
  if (!XvfbDisplay::IsInstalled()) GTEST_SKIP() << "Xvfb is not installed: the window cannot be tested";
  XvfbDisplay display(scene_play::kWidth, scene_play::kHeight);
  ASSERT_TRUE(display.IsRunning()) << display.Error();

  ScratchProgram program = MakeScratchProgram();
  const ScratchProgram::Result r =
      Play(program, Input({kBoardingShot, kCapturedShot}), kFrames,
           {{"DISPLAY", display.Name()}, {"ENGINE_VIDEO", "gl"}, {"WAYLAND_DISPLAY", ""}, {"ENGINE_MESSAGEBOX", "ok"}});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  ASSERT_GE(Find(program.ReadLog(), "Window opened: 1280x720"), 0) << r.err;
  VImage boarding, captured;
  ASSERT_TRUE(VImageFile::Read((program.ProgramDir() + "/Screenshot_0001.png").c_str(), boarding));
  ASSERT_TRUE(VImageFile::Read((program.ProgramDir() + "/Screenshot_0002.png").c_str(), captured));

  // While the pirate fights on board, the enemy keeps its colours, no message yet.
  EXPECT_GT(scene_play::FindColour(boarding, kEnemyColour).count, 500);
  EXPECT_LT(scene_play::FindColour(boarding, kMessageColour, kMessageBand).count, 20);

  // Taken: no enemy colour left; the player's own sloop in the middle, under the
  // message at the top. The taken sloop's captain has turned away for the
  // player's port and sails out of the picture.
  EXPECT_EQ(scene_play::FindColour(captured, kEnemyColour).count, 0);
  const scene_play::Blob own = scene_play::FindColour(captured, kPlayerColour, {0, 0, 800, scene_play::kHeight});
  EXPECT_GT(own.count, 500);
  EXPECT_NEAR(own.x, scene_play::kWidth / 2.0f, scene_play::kWidth * 0.1f);
  const scene_play::Blob message = scene_play::FindColour(captured, kMessageColour, kMessageBand);
  EXPECT_GT(message.count, 300);
  EXPECT_NEAR(message.x, scene_play::kWidth / 2.0f, 40.0f);
}

}  // namespace
