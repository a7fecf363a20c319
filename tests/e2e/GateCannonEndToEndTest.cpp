// The first downloadable level played in a window on a private Xvfb display with
// replayed input. Started as the game starts such a level (game mode 1), it has the
// hero on the beach, the gate cannon and the palisade gate "GateDestroyable": a right
// click on the cannon sends the hero there to use it; arrived, he sets it off, it
// turns to the gate and breaks it with one shot, and the gate is gone from the
// screen. A right click beside the cannon only walks him there: the gate stands.
#include "e2e/ScenePlay.h"

namespace {

using namespace scene_play;

const char kLevel[] = "1:DLC\\01\\scenes\\level_01\\level_01.vscene";

// The camera looks along +x from behind the beach: the hero stands left of the
// middle, the cannon (its shot's target hidden behind it) in the middle, the gate
// up on the right.
constexpr int kCannonX = 640, kCannonY = 258;
constexpr int kBesideX = 560, kBesideY = 300;  // open sand short of the cannon
const Region kGate{780, 30, 1030, 170};
const Region kCannon{590, 215, 700, 305};
constexpr float kHeroColour[3] = {0.20f, 0.40f, 0.90f};

// Entities without a nation are drawn grey; the brightest pixels (the white
// particles of the falling gate, the selection marks) do not count.
int GreyPixels(const VImage& image, Region r) {
  int n = 0;
  for (int y = r.y0; y < r.y1; ++y)
    for (int x = r.x0; x < r.x1; ++x) {
      const unsigned char* p = &image.rgba[((size_t)y * image.width + x) * 4];
      const int hi = std::max({p[0], p[1], p[2]}), lo = std::min({p[0], p[1], p[2]});
      n += hi >= 40 && hi <= 180 && hi - lo <= 6;
    }
  return n;
}

class GateCannonEndToEnd : public SceneEndToEnd {};

TEST_F(GateCannonEndToEnd, ARightClickOnTheCannonSendsTheHeroToFireItAndTheGateFalls) {
  struct Case {
    const char* what;
    int x, y;
    bool gateFalls;
  };
  for (const Case& c : {Case{"on the cannon", kCannonX, kCannonY, true}, Case{"beside it", kBesideX, kBesideY, false}}) {
    SCOPED_TRACE(c.what);
    ScratchProgram program = MakeScratchProgram();
    // A shot as the level shows; the right click; a shot once the hero has walked
    // there (some 2 s) and the cannon has turned and fired (1 s more).
    const std::vector<VImage> shots =
        Play(program, kLevel,
             "70 press F8\n75 move " + std::to_string(c.x) + " " + std::to_string(c.y) +
                 "\n80 button right down\n82 button right up\n280 press F8\n",
             285, 2);
    if (HasFailure()) return;
    const std::vector<std::string> log = program.ReadLog();
    const int start = FindLine(log, "MissionManager::StartDlc() 1");
    ASSERT_GE(start, 0) << "the level starts as a downloadable level";
    EXPECT_GT(FindLine(log, "MissionManager::StartDlc() DONE"), start);
    EXPECT_LT(FindLine(log, "Lua error"), 0);

    // Before: the hero on the beach, the cannon and the gate standing.
    const Blob heroBefore = FindColour(shots[0], kHeroColour);
    ASSERT_GT(heroBefore.count, 100) << "the hero is drawn";
    EXPECT_GT(GreyPixels(shots[0], kCannon), 1500);
    ASSERT_GT(GreyPixels(shots[0], kGate), 8000) << "the gate is drawn";

    // After: the hero stands where he was sent, next to the cannon or at the point.
    const Blob heroAfter = FindColour(shots[1], kHeroColour);
    ASSERT_GT(heroAfter.count, 100);
    EXPECT_GT(std::hypot(heroAfter.x - heroBefore.x, heroAfter.y - heroBefore.y), 100.0f);
    EXPECT_NEAR(heroAfter.x, c.x, 60.0f);
    EXPECT_NEAR(heroAfter.y, c.y, 40.0f);
    EXPECT_GT(GreyPixels(shots[1], kCannon), 1500) << "the cannon stays";
    if (c.gateFalls)
      EXPECT_LT(GreyPixels(shots[1], kGate), 100) << "the gate is gone";
    else
      EXPECT_EQ(GreyPixels(shots[1], kGate), GreyPixels(shots[0], kGate)) << "the gate stands";
  }
}

}  // namespace
