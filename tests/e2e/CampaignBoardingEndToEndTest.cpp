// End-to-end boarding in the campaign's sea battle: a new game that picks the
// human cannon ball as its special weapon, the sail into the marked spot and the
// battle, then Space held and released as the enemy comes abeam on the left: the
// sloop's special cannon fires a pirate across, he boards the enemy and, after
// its 5 s boarding time, takes it for the player.
#include "e2e/NewGame.h"
#include "support/ScratchProgram.h"

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

std::string Input() {
  return "1 press Escape\n" + Click(150, kStart) + Click(260, kJack) + Click(300, kForward) + Click(400, kThirdOffer) +
         Click(420, kAccept) + Click(kSailFrame, kTowardsTheSpot, "right") + std::to_string(kFullSailsFrame) +
         " press W\n" + std::to_string(kFullSailsFrame + 5) + " press W\n" + std::to_string(kChargeFrame) +
         " key Space down\n" + std::to_string(kReleaseFrame) + " key Space up\n";
}

int Count(const std::vector<std::string>& lines, const std::string& text) {
  int n = 0;
  for (const std::string& line : lines) n += line.find(text) != std::string::npos;
  return n;
}

TEST(CampaignBoardingEndToEnd, HeadlessAPirateFiredOntoTheEnemyTakesItAfterFiveSeconds) {
  ScratchProgram program = MakeScratchProgram();
  const std::string file = program.Root() + "/input.txt";
  std::ofstream(file) << Input();
  const ScratchProgram::Result r = program.Run({}, {{"ENGINE_INPUT", file},
                                                    {"ENGINE_FRAMES", std::to_string(kFrames)},
                                                    {"ENGINE_TIMESTEP", kTimeStep},
                                                    {"ENGINE_AUDIO", "null"}});
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

}  // namespace
