// End-to-end through the campaign's sea battle: the real program from its title
// screen into a new campaign, a right click that sails the ship across the world
// map into the marked spot, the sea-battle scene, full sails and a broadside that
// sinks the enemy, and the way back to the world map. Headless, the log shows the
// scene changes in their order; in a window on a private Xvfb display,
// screenshots show the ships by their nations' colours.
#include "e2e/NewGame.h"
#include "e2e/ScenePlay.h"
#include "engine/render/VImageFile.h"
#include "support/ScratchProgram.h"
#include "support/XvfbDisplay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace new_game;
using scene_play::FindColour;

// The world camera looks down along -y, so a point below the ship on the screen
// lies towards +y: from its start at (0, 0) the ship sails straight up the y axis
// into the marked spot (60 around (0, 200)), far from every town. The ship lies
// still until this click, so the frames below count from it (a sailing second
// is 50 frames); measure them again when the ships' speeds or the places change.
constexpr Point kTowardsTheSpot{640, 640};
constexpr int kSailFrame = kWorldMapFrame + 15;
// Under way to the spot, heading down the screen.
constexpr int kSailingShot = kSailFrame + 295;
// The ship reaches the spot some 340 frames after the click; 65 frames later the
// sea battle shows, its loading screen gone. W twice sets full sails (none,
// battle, full).
constexpr int kFullSailsFrame = kSailFrame + 415;
constexpr int kSeaBattleShot = kSailFrame + 425;
// The enemy lies 20 to the ship's left (down the screen) and comes abeam about
// 607 frames after the click; a broadside fired 560 to 615 frames after it hits,
// and one hit sinks the enemy. A click below the ship fires the side that faces
// down the screen.
constexpr Point kBesideTheShip{640, 430};
constexpr int kBroadsideFrame = kSailFrame + 585;
// The sunk enemy sends the ship back to the world map about 615 frames after the
// click; 70 frames later the world map shows.
constexpr int kWorldMapAgainShot = kSailFrame + 715;
constexpr int kFrames = kSailFrame + 725;

// The colonials' sloop (nation 5) as the world pass colours it.
constexpr float kEnemyColour[3] = {0.95f, 0.55f, 0.10f};

const char kIntoTheBattle[] =
    "GameManager::Teleport(seabattle01-sea): scene scenes\\seabattle01\\seabattle01.vscene at location 2";
const char kBackToTheWorld[] = "GameManager::Teleport(world): scene scenes\\world01\\World.vscene at location 0";
const char kShipModel[] = "Load mesh: models\\TestSloop.model";

std::string Input(const std::vector<int>& shots = {}) {
  std::string input = NewGameClicks() + Click(kSailFrame, kTowardsTheSpot, "right") +
                      std::to_string(kFullSailsFrame) + " press W\n" + std::to_string(kFullSailsFrame + 5) +
                      " press W\n" + Click(kBroadsideFrame, kBesideTheShip);
  for (int frame : shots) input += std::to_string(frame) + " press F8\n";
  return input;
}

// The box around the pixels of a colour, as the world pass draws a ship: row by
// row and column by column.
struct Extent {
  int width = 0, height = 0;
};
Extent ExtentOf(const VImage& image, const float colour[3]) {
  int x0 = image.width, x1 = -1, y0 = image.height, y1 = -1;
  for (int y = 0; y < image.height; ++y) {
    if (FindColour(image, colour, {0, y, image.width, y + 1}).count == 0) continue;
    y0 = std::min(y0, y);
    y1 = y;
  }
  for (int x = 0; x < image.width; ++x) {
    if (FindColour(image, colour, {x, 0, x + 1, image.height}).count == 0) continue;
    x0 = std::min(x0, x);
    x1 = x;
  }
  return x1 < 0 ? Extent{} : Extent{x1 - x0 + 1, y1 - y0 + 1};
}

TEST(CampaignSeaBattleEndToEnd, HeadlessTheMarkedSpotLeadsIntoTheBattleAndTheSunkEnemyBackToTheWorldMap) {
  ScratchProgram program = MakeScratchProgram();
  const ScratchProgram::Result r = Play(program, Input(), kFrames);
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  const std::vector<std::string> log = program.ReadLog();
  EXPECT_GE(Find(log, "ENGINE_FRAMES reached"), 0) << "the run ends at its frame limit";
  EXPECT_EQ(Count(log, "Lua error"), 0);
  // The battle's sounds and hit effects are there: the shots, the hit, the sinking.
  EXPECT_EQ(Count(log, "CANNOT PLAY SOUND"), 0);
  for (const char* effect : {"cannon_fire_01.xml", "hit_hull.xml", "critical_hit.xml"})
    EXPECT_EQ(Count(log, std::string(effect) + " not found"), 0) << effect;

  // Into the battle once, from the campaign's world map.
  const int campaign = Find(log, "MissionManager::StartCampaign() DONE");
  ASSERT_GE(campaign, 0);
  EXPECT_EQ(Count(log, kIntoTheBattle), 1);
  int at = Find(log, kIntoTheBattle, campaign);
  ASSERT_GT(at, campaign);
  for (const char* step : {"GameSessionManager::LoadScene() Location Sea",
                           "BattleManager::InitWorld() Load Scene scenes\\seabattle01\\seabattle01.vscene",
                           "Lua: Battle1: scene set up at location 2", "GameSessionManager::LoadScene() Spawn Ship",
                           "GameSessionManager::LoadScene() Init Camera", "GameSessionManager::LoadScene() Done."}) {
    at = Find(log, step, at);
    ASSERT_GE(at, 0) << step;
  }
  // The new game's opening conversation ended at the game's first tick: the
  // playlist plays.
  EXPECT_GE(Find(log, "MusicManager::Play() Now playing: Music\\track_", campaign), 0);

  // Back once, to the world map with the player's ship alone: the sunk enemy
  // stays behind with its scene.
  EXPECT_EQ(Count(log, kBackToTheWorld), 1);
  at = Find(log, kBackToTheWorld, at);
  ASSERT_GE(at, 0);
  const int world = Find(log, "GameSessionManager::LoadScene() Location World", at);
  const int ships = Find(log, "GameSessionManager::LoadScene() Spawn Ships", world);
  const int camera = Find(log, "GameSessionManager::LoadScene() Init Camera", ships);
  ASSERT_TRUE(world > at && ships > world && camera > ships);
  EXPECT_GE(Find(log, "Lua: Battle1: scene set up at location 0", world), 0);
  // Every ship made loads its model anew.
  EXPECT_EQ(Count(log, kShipModel, ships, camera), 1);
  EXPECT_GE(Find(log, "GameSessionManager::LoadScene() Done.", camera), 0);
  // Still in the spot it sailed into, the ship starts no second battle.
  EXPECT_LT(Find(log, "GameManager::Teleport", at + 1), 0);
}

TEST(CampaignSeaBattleEndToEnd, InAWindowTheShipSailsInTurnedToItsEnemyAndComesBackAlone) {
  if (!XvfbDisplay::IsInstalled()) GTEST_SKIP() << "Xvfb is not installed: the window cannot be tested";
  XvfbDisplay display(scene_play::kWidth, scene_play::kHeight);
  ASSERT_TRUE(display.IsRunning()) << display.Error();

  ScratchProgram program = MakeScratchProgram();
  const ScratchProgram::Result r =
      Play(program, Input({kSailingShot, kSeaBattleShot, kWorldMapAgainShot}), kFrames,
          {{"DISPLAY", display.Name()}, {"ENGINE_VIDEO", "gl"}, {"WAYLAND_DISPLAY", ""}, {"ENGINE_MESSAGEBOX", "ok"}});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  const std::vector<std::string> log = program.ReadLog();
  ASSERT_GE(Find(log, "Window opened: 1280x720"), 0) << r.err;
  EXPECT_GE(Find(log, kBackToTheWorld), 0);

  VImage sailing, battle, back;
  ASSERT_TRUE(VImageFile::Read((program.ProgramDir() + "/Screenshot_0001.png").c_str(), sailing));
  ASSERT_TRUE(VImageFile::Read((program.ProgramDir() + "/Screenshot_0002.png").c_str(), battle));
  ASSERT_TRUE(VImageFile::Read((program.ProgramDir() + "/Screenshot_0003.png").c_str(), back));

  // On the world map the ship heads down the screen, to the spot: seen from
  // astern, its hull is taller than wide. No enemy there.
  const scene_play::Blob sailingShip = FindColour(sailing, kPlayerColour);
  ASSERT_GT(sailingShip.count, 500);
  const Extent sailingHull = ExtentOf(sailing, kPlayerColour);
  EXPECT_GT(sailingHull.height, sailingHull.width);
  EXPECT_EQ(FindColour(sailing, kEnemyColour).count, 0);

  // In the battle the ship lies across the screen, turned from the start point's
  // yaw to head along +x (to the left), at the enemy: it lies ahead on the left,
  // on the ship's own left (down the screen).
  const scene_play::Blob ship = FindColour(battle, kPlayerColour);
  const scene_play::Blob enemy = FindColour(battle, kEnemyColour);
  ASSERT_GT(ship.count, 500);
  ASSERT_GT(enemy.count, 500);
  EXPECT_NEAR(ship.x, scene_play::kWidth / 2.0f, scene_play::kWidth * 0.1f);
  EXPECT_NEAR(ship.y, scene_play::kHeight / 2.0f, scene_play::kHeight * 0.15f);
  const Extent hull = ExtentOf(battle, kPlayerColour);
  EXPECT_GT(hull.width, 3 * hull.height / 2);
  EXPECT_LT(enemy.x, ship.x - 200.0f);
  EXPECT_GT(enemy.y, ship.y + 30.0f);

  // Back on the world map: the ship as it left, without the enemy.
  const scene_play::Blob backShip = FindColour(back, kPlayerColour);
  ASSERT_GT(backShip.count, 500);
  EXPECT_NEAR(backShip.x, scene_play::kWidth / 2.0f, scene_play::kWidth * 0.1f);
  const Extent backHull = ExtentOf(back, kPlayerColour);
  EXPECT_GT(backHull.height, backHull.width);
  EXPECT_EQ(FindColour(back, kEnemyColour).count, 0);
}

}  // namespace
