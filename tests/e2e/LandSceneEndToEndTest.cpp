// The land test scene played in a window on a private Xvfb display with replayed
// input: the hovered soldier's mouse-over ring, a drag that selects "Raiders"
// (selection marks), a right click that walks them to the point, and the camera
// moved by keys, the wheel and a middle-button drag, held at "CameraBounds". What
// happens is read from screenshots: the world pass draws the soldiers in their
// nation's colour, static geometry in its stone colour and particles as points in
// their effect's colour.
#include "e2e/CursorWatcher.h"
#include "e2e/ScenePlay.h"

namespace {

using namespace scene_play;

// "Raiders" (nation 1), the static geometry, an own soldier's mouse-over ring and
// the selection marks.
constexpr float kRaiderColour[3] = {0.20f, 0.40f, 0.90f};
constexpr float kStoneColour[3] = {0.55f, 0.50f, 0.45f};
constexpr float kOwnHoverColour[3] = {1.0f, 187 / 255.0f, 85 / 255.0f};
// White counts only when bright.
constexpr float kWhite[3] = {1.0f, 1.0f, 1.0f};

class LandSceneEndToEnd : public SceneEndToEnd {
 protected:
  std::vector<VImage> Play(ScratchProgram& program, const std::string& input, int frames, int shots) {
    return SceneEndToEnd::Play(program, "1:scenes\\landtest\\LandTest.vscene", input, frames, shots);
  }
};

TEST_F(LandSceneEndToEnd, HoverDragSelectAndARightClickWalkRaidersToThePoint) {
  ScratchProgram program = MakeScratchProgram();
  CursorWatcher cursor(display->Name());
  ASSERT_TRUE(cursor.IsWatching()) << "the X server's cursor cannot be read";
  // The camera looks along +x from behind the raiders, who stand low on the right.
  constexpr int kHoverX = 1037, kHoverY = 492;  // over one of the raiders
  constexpr int kGoalX = 950, kGoalY = 470;     // open ground a few steps off
  const std::vector<VImage> shots =
      Play(program,
           "50 move " + std::to_string(kHoverX) + " " + std::to_string(kHoverY) +
               "\n80 press F8\n"
               // The drag from above left of the unit to below right of it.
               "84 move 980 440\n90 button left down\n92 move 1050 500\n94 move 1120 560\n96 move 1180 610\n"
               "100 press F8\n104 button left up\n110 press F8\n"
               // The right click on the ground, then time to walk there.
               "114 move " +
               std::to_string(kGoalX) + " " + std::to_string(kGoalY) +
               "\n120 button right down\n121 button right up\n320 press F8\n",
           325, 4);
  cursor.Stop();
  if (HasFailure()) return;
  const Region aroundRaiders{960, 430, 1200, 620};

  // Over an own soldier the window shows the finger cursor.
  VImage finger;
  ASSERT_TRUE(VImageFile::Read((std::string(BRINEMARK_SOURCE_DIR) + "/data/gui/textures/cursors/finger.tga").c_str(), finger));
  EXPECT_TRUE(cursor.Showed(finger)) << "the finger cursor over the hovered raider";

  // Hovering an own soldier: its mouse-over ring in the own-nation colour, at the cursor.
  const Blob ring = FindColour(shots[0], kOwnHoverColour, {}, 0.05f);
  ASSERT_GT(ring.count, 10) << "the mouse-over effect is drawn";
  EXPECT_NEAR(ring.x, kHoverX, 40.0f);
  EXPECT_NEAR(ring.y, kHoverY, 40.0f);
  EXPECT_EQ(FindColour(shots[0], kWhite, aroundRaiders, 0.04f, 200).count, 0) << "nothing selected yet";

  // While dragging, the rectangle's lines; once released, the selection marks.
  const Blob rectangle = FindColour(shots[1], kWhite, {970, 430, 1190, 620}, 0.04f, 200);
  EXPECT_GT(rectangle.count, 10) << "the drag rectangle is drawn";
  const Blob marks = FindColour(shots[2], kWhite, aroundRaiders, 0.04f, 200);
  EXPECT_GT(marks.count, 40) << "every raider shows its selection mark";
  const Blob before = FindColour(shots[2], kRaiderColour);
  ASSERT_GT(before.count, 300);

  // The raiders walked to the clicked point and stand there, still selected.
  const Blob after = FindColour(shots[3], kRaiderColour);
  ASSERT_GT(after.count, 300);
  EXPECT_GT(std::hypot(after.x - before.x, after.y - before.y), 60.0f);
  EXPECT_NEAR(after.x, kGoalX, 50.0f);
  EXPECT_NEAR(after.y, kGoalY, 50.0f);
  const Region aroundGoal{kGoalX - 120, kGoalY - 100, kGoalX + 120, kGoalY + 100};
  EXPECT_GT(FindColour(shots[3], kWhite, aroundGoal, 0.04f, 200).count, 40);
}

TEST_F(LandSceneEndToEnd, KeysWheelAndMiddleDragMoveTheCameraWhichStopsAtItsBounds) {
  ScratchProgram program = MakeScratchProgram();
  std::string input =
      "60 move 640 360\n66 press F8\n"
      // Forward by key.
      "70 key W down\n85 key W up\n100 press F8\n";
  // Ten notches of zoom in.
  for (int frame = 104; frame < 124; frame += 2) input += std::to_string(frame) + " wheel 1\n";
  input +=
      "150 press F8\n"
      // A middle-button drag to the right.
      "160 button middle down\n162 move 760 360\n164 move 880 360\n166 move 1000 360\n170 button middle up\n"
      "190 press F8\n"
      // Backwards by key, long past the bounds; two shots while the key is still held.
      "200 key S down\n270 press F8\n310 press F8\n315 key S up\n";
  const std::vector<VImage> shots = Play(program, input, 320, 6);
  if (HasFailure()) return;
  Blob stone[6];
  for (int i = 0; i < 6; ++i) {
    stone[i] = FindColour(shots[i], kStoneColour, {}, 0.03f);
    ASSERT_GT(stone[i].count, 1000) << "the static geometry is in view in shot " << i;
  }
  // Forward: the rocks ahead come down the screen and closer.
  EXPECT_GT(stone[1].y - stone[0].y, 50.0f);
  EXPECT_GT(stone[1].count, stone[0].count);
  // The wheel brings the camera down: the same rocks look bigger.
  EXPECT_GT(stone[2].count, stone[1].count * 1.03f);
  // The middle-button drag pans across the ground.
  EXPECT_GT(std::fabs(stone[3].x - stone[2].x), 30.0f);
  // Backwards: far off again, and held at the bounds while the key stays down.
  EXPECT_LT(stone[4].y, stone[3].y - 50.0f);
  EXPECT_FLOAT_EQ(stone[5].x, stone[4].x);
  EXPECT_FLOAT_EQ(stone[5].y, stone[4].y);
  EXPECT_EQ(stone[5].count, stone[4].count);
}

}  // namespace
