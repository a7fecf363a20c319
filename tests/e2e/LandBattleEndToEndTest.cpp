// The land battle scene played in a window on a private Xvfb display with replayed
// input: a drag selects the player's "Raiders", a right click on one of the
// "Colonials" sets them on that unit, and with that one order they close in and cut
// down every soldier of it, one after the other. The log has each death; the
// screenshots show the dead, fallen in their nation's colour, where the raiders
// fought them.
#include "e2e/ScenePlay.h"

namespace {

using namespace scene_play;

const char kScene[] = "1:scenes\\landbattle\\LandBattle.vscene";
constexpr float kRaiderColour[3] = {0.20f, 0.40f, 0.90f};
constexpr float kColonialColour[3] = {0.95f, 0.55f, 0.10f};
const char kDeath[] = "SoldierEntity::KillSoldier() Dying.";

// The camera looks along +x from behind the raiders (low on the right); the
// colonials stand in a file further off, up on the left.
constexpr int kColonialX = 562, kColonialY = 150;

class LandBattleEndToEnd : public SceneEndToEnd {};

TEST_F(LandBattleEndToEnd, ADragAndARightClickOnTheEnemySendTheRaidersToCutDownAllOfIt) {
  ScratchProgram program = MakeScratchProgram();
  // A shot as the scene shows; the drag round the raiders; the right click on a
  // colonial; a shot once the last of them has fallen (well within 20 s of the order).
  const std::vector<VImage> shots =
      Play(program, kScene,
           "70 press F8\n"
           "74 move 650 340\n78 button left down\n80 move 700 400\n82 move 760 460\n84 move 800 500\n"
           "88 button left up\n"
           "92 move " + std::to_string(kColonialX) + " " + std::to_string(kColonialY) +
               "\n96 button right down\n98 button right up\n"
               "1250 press F8\n",
           1255, 2);
  if (HasFailure()) return;
  const std::vector<std::string> log = program.ReadLog();
  EXPECT_LT(FindLine(log, "Lua error"), 0);
  // Each of the three colonials, raw recruits, dies once; the raiders lose nobody.
  int deaths = 0;
  for (const std::string& line : log) deaths += line.find(kDeath) != std::string::npos;
  EXPECT_EQ(deaths, 3);

  const Blob raidersBefore = FindColour(shots[0], kRaiderColour);
  const Blob colonialsBefore = FindColour(shots[0], kColonialColour);
  ASSERT_GT(raidersBefore.count, 200) << "the raiders are drawn";
  ASSERT_GT(colonialsBefore.count, 80) << "the colonials are drawn";
  EXPECT_NEAR(colonialsBefore.x, kColonialX, 30.0f);
  EXPECT_NEAR(colonialsBefore.y, kColonialY, 50.0f);

  // After: the raiders stand where the colonials were, and the dead lie among them,
  // still drawn in their nation's colour.
  const Blob raidersAfter = FindColour(shots[1], kRaiderColour);
  const Blob colonialsAfter = FindColour(shots[1], kColonialColour);
  ASSERT_GT(raidersAfter.count, 200);
  EXPECT_LT(std::hypot(raidersAfter.x - colonialsBefore.x, raidersAfter.y - colonialsBefore.y), 150.0f);
  EXPECT_GT(colonialsAfter.count, 40) << "the dead are drawn";
  // The blows and the falls fling the bodies a few steps, how far varies: most of
  // what is drawn of them lies around the fight.
  const Region aroundTheFight{kColonialX - 300, kColonialY - 150, kColonialX + 300, kColonialY + 150};
  EXPECT_GT(FindColour(shots[1], kColonialColour, aroundTheFight).count * 2, colonialsAfter.count)
      << "the dead lie where they fought";
}

}  // namespace
