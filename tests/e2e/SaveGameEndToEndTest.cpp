// End-to-end through the title screen with a save that cannot be loaded: the real
// program, headless, Continue on a newest save that is cut short. The game stays on
// the title screen, says so, and the menu answers again (Exit ends the program).
#include "e2e/NewGame.h"
#include "e2e/ScenePlay.h"
#include "support/SaveFileBytes.h"
#include "support/ScratchProgram.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace new_game;

// The menu's Continue button, above Start.
constexpr Point kContinue{230, 244};

TEST(SaveGameEndToEnd, HeadlessContinueOnADamagedSaveKeepsTheTitleScreen) {
  ScratchProgram program = MakeScratchProgram();
  const std::filesystem::path folder = std::filesystem::path(program.DocumentsDir()) / "Fenwold" / "Brinemark" / "SaveGames";
  std::filesystem::create_directories(folder);
  // A header with its stamp (Continue is offered), and nothing after it.
  const archive_test::Bytes save = save_test::SaveFile(save_test::Header{});
  std::ofstream(folder / "save1.gam", std::ios::binary)
      .write(reinterpret_cast<const char*>(save.data()), (std::streamsize)save.size());

  const std::string input = program.Root() + "/input.txt";
  std::ofstream(input) << "1 press Escape\n" << Click(150, kContinue) << Click(700, kExit);
  const ScratchProgram::Result r =
      program.Run({}, {{"ENGINE_INPUT", input}, {"ENGINE_FRAMES", "3000"}, {"ENGINE_TIMESTEP", kTimeStep}});
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  const std::vector<std::string> log = program.ReadLog();
  EXPECT_GE(Find(log, "LoadSlotIntoNewCampaign(1): the save game cannot be loaded"), 0);
  EXPECT_LT(Find(log, "MissionManager::StartCampaign()"), 0);
  EXPECT_LT(Find(log, "Fatal"), 0);
  // Exit was taken: the program ended by itself.
  EXPECT_LT(Find(log, "ENGINE_FRAMES reached"), 0);
}

}  // namespace
