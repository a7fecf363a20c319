// The sea test scene played in a window on a private Xvfb display with replayed
// mouse input: a right click on the water sends the player's ship there with the
// camera behind it, and a left click beside the ship fires that side. The ships are
// found in the screenshots by their nation's colour (the world pass draws each
// entity's box in its nation's colour, shaded by the faces' slope).
#include "e2e/ScenePlay.h"

namespace {

using namespace scene_play;

// The player's sloop (nation 1) and the colonials' one (nation 5) as the world pass
// colours them.
constexpr float kPlayerColour[3] = {0.20f, 0.40f, 0.90f};
constexpr float kEnemyColour[3] = {0.95f, 0.55f, 0.10f};

// Near-white pixels (the smoke of a broadside) above and below a screen row.
void CountSmoke(const VImage& image, float row, int& above, int& below) {
  above = below = 0;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      const unsigned char* p = &image.rgba[((size_t)y * image.width + x) * 4];
      if (p[0] > 200 && p[1] > 200 && p[2] > 200) ++(y < row ? above : below);
    }
}

class SeaSceneEndToEnd : public SceneEndToEnd {
 protected:
  std::vector<VImage> Play(ScratchProgram& program, const std::string& input, int frames, int shots) {
    return SceneEndToEnd::Play(program, "2:scenes\\SeaTest.vscene", input, frames, shots);
  }
};

TEST_F(SeaSceneEndToEnd, ARightClickOnTheWaterSendsTheShipThereAndTheCameraFollows) {
  ScratchProgram program = MakeScratchProgram();
  // A shot at rest; a right click high on the right (ahead of the camera, far off
  // on the water); a shot once the ship has turned and sailed for two seconds.
  const std::vector<VImage> shots = Play(program,
                                         "66 press F8\n"
                                         "70 move 1000 200\n"
                                         "76 button right down\n77 button right up\n"
                                         "180 press F8\n",
                                         185, 2);
  if (HasFailure()) return;
  const Blob player[2] = {FindColour(shots[0], kPlayerColour), FindColour(shots[1], kPlayerColour)};
  const Blob enemy[2] = {FindColour(shots[0], kEnemyColour), FindColour(shots[1], kEnemyColour)};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    ASSERT_GT(player[i].count, 500) << "the player's ship is drawn";
    ASSERT_GT(enemy[i].count, 500) << "the other ship is drawn";
    // The camera keeps the player's ship near the middle of the screen.
    EXPECT_NEAR(player[i].x, kWidth / 2.0f, kWidth * 0.1f);
    EXPECT_NEAR(player[i].y, kHeight / 2.0f, kHeight * 0.15f);
  }
  // The player's ship sailed off towards the top of the screen, so the other ship,
  // lying still, slid down it.
  EXPECT_GT(enemy[1].y - enemy[0].y, 25.0f);
  EXPECT_GT(std::hypot(enemy[1].x - enemy[0].x, enemy[1].y - enemy[0].y), 40.0f);
}

TEST_F(SeaSceneEndToEnd, ALeftClickBesideTheShipFiresThatSide) {
  // The ship heads along the screen; the other ship lies below it, on its left.
  struct Case {
    const char* side;
    int clickY;
    bool smokeBelow;
  };
  // The shot waits for its fuse (up to 0.5 s): the second picture comes 0.56 s
  // after the click.
  for (const Case& c : {Case{"left", 420, true}, Case{"right", 260, false}}) {
    SCOPED_TRACE(c.side);
    ScratchProgram program = MakeScratchProgram();
    const std::vector<VImage> shots = Play(program,
                                           "66 press F8\n70 move 640 " + std::to_string(c.clickY) +
                                               "\n76 click left\n104 press F8\n",
                                           108, 2);
    if (HasFailure()) return;
    const Blob player = FindColour(shots[0], kPlayerColour);
    ASSERT_GT(player.count, 500);
    int above = 0, below = 0;
    CountSmoke(shots[0], player.y, above, below);
    EXPECT_EQ(above + below, 0) << "no smoke before the click";
    CountSmoke(shots[1], player.y, above, below);
    EXPECT_GT(c.smokeBelow ? below : above, 5);
    EXPECT_EQ(c.smokeBelow ? above : below, 0) << "the other side stays silent";
  }
}

}  // namespace
