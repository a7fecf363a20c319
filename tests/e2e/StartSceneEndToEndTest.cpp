// End-to-end through the start-scene switch (ENGINE_SCENE): the real program goes
// straight into a test scene, without the intro and the main menu, and sets it up
// as the scene changes will (the land battle, or the sea camera).
#include "support/ScratchProgram.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

int Find(const std::vector<std::string>& lines, const std::string& text, int start = 0) {
  for (int i = std::max(start, 0); i < (int)lines.size(); ++i)
    if (lines[i].find(text) != std::string::npos) return i;
  return -1;
}

ScratchProgram::Result RunScene(ScratchProgram& program, const std::string& scene) {
  return program.Run({}, {{"ENGINE_SCENE", scene}, {"ENGINE_FRAMES", "60"}, {"ENGINE_TIMESTEP", "0.02"}});
}

TEST(StartSceneEndToEnd, TheLandTestSceneStartsAsALandBattleWithItsCamera) {
  ScratchProgram program = MakeScratchProgram();
  const ScratchProgram::Result r = RunScene(program, "1:scenes\\landtest\\LandTest");
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  const std::vector<std::string> log = program.ReadLog();
  const int start = Find(log, "Start scene 'scenes\\landtest\\LandTest' at location 1");
  ASSERT_GE(start, 0);
  EXPECT_GT(Find(log, "Start scene set up: camera entity at", start), start);
  EXPECT_LT(Find(log, "Scene: line"), 0) << "the scene loads cleanly";
  EXPECT_GE(Find(log, "ENGINE_FRAMES reached"), 0);
}

TEST(StartSceneEndToEnd, TheSeaTestSceneStartsWithTheSeaSetUp) {
  ScratchProgram program = MakeScratchProgram();
  const ScratchProgram::Result r = RunScene(program, "2:SeaTest");
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  const std::vector<std::string> log = program.ReadLog();
  const int start = Find(log, "Start scene 'SeaTest' at location 2");
  ASSERT_GE(start, 0);
  EXPECT_GT(Find(log, "Start scene set up:", start), start);
  EXPECT_GE(Find(log, "ENGINE_FRAMES reached"), 0);
}

TEST(StartSceneEndToEnd, AMalformedSwitchIsLoggedAndTheProgramStartsAsUsual) {
  for (const char* bad : {"3:SeaTest", "SeaTest", "1:", "x:SeaTest"}) {
    SCOPED_TRACE(bad);
    ScratchProgram program = MakeScratchProgram();
    const ScratchProgram::Result r = RunScene(program, bad);
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    const std::vector<std::string> log = program.ReadLog();
    EXPECT_GE(Find(log, "is not '<1 or 2>:<scene file>': ignored"), 0);
    EXPECT_LT(Find(log, "Start scene"), 0);
  }
}

}  // namespace
