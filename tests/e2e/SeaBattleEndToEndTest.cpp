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

// Smoke of a broadside: near-white pixels above and below a screen row.
void CountSmoke(const VImage& image, float row, int& above, int& below) {
  above = below = 0;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      const unsigned char* p = &image.rgba[((size_t)y * image.width + x) * 4];
      if (p[0] > 200 && p[1] > 200 && p[2] > 200) ++(y < row ? above : below);
    }
}

// Pixels that changed strongly between two shots, within a region.
int Changed(const VImage& a, const VImage& b, Region r = {}) {
  int n = 0;
  for (int y = std::max(r.y0, 0); y < std::min({r.y1, a.height, b.height}); ++y)
    for (int x = std::max(r.x0, 0); x < std::min({r.x1, a.width, b.width}); ++x) {
      const unsigned char* p = &a.rgba[((size_t)y * a.width + x) * 4];
      const unsigned char* q = &b.rgba[((size_t)y * b.width + x) * 4];
      if (std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]) > 90) ++n;
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
    "84 press F8\n"            // 2: the left broadside's smoke
    "90 press E\n"
    "104 press F8\n"           // 3: and the right one's
    "110 key Space down\n"     // the mine goes over the stern
    "111 key Space up\n"
    "120 press W\n125 press W\n"
    "130 key A down\n200 key A up\n"
    "440 press F8\n"           // 4: before the name tags
    "442 key 5 down\n"
    "446 press F8\n"           // 5: the name tags shown
    "450 key 5 up\n"
    "450 press F8\n";          // 6: hidden in the frame of the release
constexpr int kFrames = 700;

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
  CountSmoke(shots[0], player.y, above, below);
  EXPECT_EQ(above + below, 0);
  CountSmoke(shots[1], player.y, above, below);
  EXPECT_GT(below, 5);
  EXPECT_EQ(above, 0);
  CountSmoke(shots[2], player.y, above, below);
  EXPECT_GT(above, 5);

  // The mine goes off 5.5 s after it was dropped and sinks the frigate at anchor,
  // which says its last line in a speech bubble.
  EXPECT_GE(FindLine(log, "SeaBattleDuel: Anchored hull 40 -> 0"), 0);
  EXPECT_GE(FindLine(log, "ShipSpeechComponent: Anchored says \"The Crown's ship is lost!\""), 0);
  // The colonial frigates come in and hit the player's frigate.
  EXPECT_GE(FindLine(log, "SeaBattleDuel: PlayerShip hull 150 -> "), 0);

  // Holding 5 brings up the panels over the ships; released, they are gone in the
  // same frame: the last shot looks like the one before the key.
  const Blob ship = FindColour(shots[3], kPlayerColour);
  ASSERT_GT(ship.count, 500);
  const Region nearThePlayer{(int)ship.x - 300, (int)ship.y - 250, (int)ship.x + 300, (int)ship.y + 100};
  EXPECT_GT(Changed(shots[3], shots[4], nearThePlayer), 4000) << "the player's panel shows";
  EXPECT_GT(Changed(shots[3], shots[4]), 3 * Changed(shots[3], shots[5]) + 4000) << "more panels over the others";
  EXPECT_LT(Changed(shots[3], shots[5], nearThePlayer), 4000) << "released, the panels are gone";
}

}  // namespace
