// The player's part of the sea battle, played by the real program in a window on a
// private Xvfb display with replayed keys: the player's frigate fires both
// broadsides (Q, E) and drops a mine (Space) that sinks the colonial frigate at
// anchor astern, whose last line shows in a speech bubble; it sets sails (W) and
// turns (A) while two colonial frigates attack it; holding 5 shows the ships' name
// tags and releasing it hides them in the same frame.
#include "e2e/ScenePlay.h"

#include <cstdlib>

namespace {

using namespace scene_play;

constexpr float kPlayerColour[3] = {0.20f, 0.40f, 0.90f};

// Smoke of a broadside: near-white pixels above and below the ship, within 150
// pixels of it across the screen (the other ships' smoke lies farther off).
void CountSmoke(const VImage& image, const Blob& ship, int& above, int& below) {
  const float row = ship.y;
  above = below = 0;
  for (int y = 0; y < image.height; ++y)
    for (int x = std::max(0, (int)ship.x - 150); x < std::min(image.width, (int)ship.x + 150); ++x) {
      const unsigned char* p = &image.rgba[((size_t)y * image.width + x) * 4];
      if (p[0] > 200 && p[1] > 200 && p[2] > 200) ++(y < row ? above : below);
    }
}

// The panels' (and the speech bubble's) dark background as it shows over the sea.
constexpr int kPanelOverSea[3] = {22, 40, 61};
int PanelPixels(const VImage& image, Region r = {}) {
  int n = 0;
  for (int y = std::max(r.y0, 0); y < std::min(r.y1, image.height); ++y)
    for (int x = std::max(r.x0, 0); x < std::min(r.x1, image.width); ++x) {
      const unsigned char* p = &image.rgba[((size_t)y * image.width + x) * 4];
      bool same = true;
      for (int c = 0; c < 3; ++c) same &= std::abs(p[c] - kPanelOverSea[c]) <= 4;
      n += same;
    }
  return n;
}

int CountLines(const std::vector<std::string>& log, const std::string& text) {
  int n = 0;
  for (const std::string& line : log) n += line.find(text) != std::string::npos;
  return n;
}

// Frames (0.02 s each; the scene takes input from frame 65).
const char kInput[] =
    "66 press F8\n"            // 1: at rest, no smoke
    "70 press Q\n"
    "100 press F8\n"           // 2: the left broadside's smoke
    "130 press E\n"
    "160 press F8\n"           // 3: and the right one's
    "170 key Space down\n"     // the mine goes over the stern
    "171 key Space up\n"
    "180 press W\n185 press W\n"
    "190 key A down\n260 key A up\n"
    "500 press F8\n"           // 4: before the name tags
    "502 key 5 down\n"
    "506 press F8\n"           // 5: the name tags shown
    "510 key 5 up\n"
    "510 press F8\n";          // 6: hidden in the frame of the release
constexpr int kFrames = 760;

TEST_F(SceneEndToEnd, TheSeaBattleAgainstThePlayersFrigate) {
  ScratchProgram program = MakeScratchProgram();
  const std::vector<VImage> shots = Play(program, "2:scenes\\seabattletest\\SeaBattleDuel.vscene", kInput, kFrames, 6);
  if (HasFailure()) return;
  const std::vector<std::string> log = program.ReadLog();
  EXPECT_EQ(CountLines(log, "Lua error"), 0);

  // Both broadsides: smoke on the left (below the ship on the screen), then on
  // the right (above it).
  const Blob player = FindColour(shots[0], kPlayerColour);
  ASSERT_GT(player.count, 500);
  int above = 0, below = 0;
  CountSmoke(shots[0], player, above, below);
  EXPECT_EQ(above + below, 0);
  CountSmoke(shots[1], FindColour(shots[1], kPlayerColour), above, below);
  EXPECT_GT(below, 5);
  EXPECT_EQ(above, 0);
  CountSmoke(shots[2], FindColour(shots[2], kPlayerColour), above, below);
  EXPECT_GT(above, 5);

  // The mine (60 damage: a cannon ball does at most 20) sinks the frigate at anchor
  // in one blow, and the frigate says its last line in a speech bubble.
  EXPECT_GE(FindLine(log, "SeaBattleDuel: Anchored hull 40 -> 0"), 0);
  EXPECT_GE(FindLine(log, "ShipSpeechComponent: Anchored says \"The Crown's ship is lost!\""), 0);
  // The colonial frigates come in and hit the player's frigate.
  EXPECT_GE(FindLine(log, "SeaBattleDuel: PlayerShip hull 150 -> "), 0);

  // Holding 5 brings up a panel over each ship near the player's: the player's own
  // at its ship, and more over the others. Released, they are gone in the same
  // frame: only the speech bubble, there before the key, is left.
  const Blob ship = FindColour(shots[4], kPlayerColour);
  ASSERT_GT(ship.count, 500);
  const Region atThePlayer{(int)ship.x - 100, (int)ship.y - 150, (int)ship.x + 250, (int)ship.y + 50};
  EXPECT_GT(PanelPixels(shots[4], atThePlayer), 8000) << "the player's panel over its ship";
  EXPECT_GT(PanelPixels(shots[4]), PanelPixels(shots[3]) + 30000) << "panels over the other ships";
  EXPECT_LT(PanelPixels(shots[5], atThePlayer), 500);
  EXPECT_NEAR(PanelPixels(shots[5]), PanelPixels(shots[3]), 1500) << "released, the panels are gone";
}

}  // namespace
