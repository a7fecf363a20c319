// End-to-end: a ship whose configuration file is missing ends the real program with
// the fatal error, and a ship whose file is there sails on. The game script of the
// scratch tree makes the ship on its first script tick.
#include "support/ScratchProgram.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

const std::map<std::string, std::string> kHeadless = {{"ENGINE_FRAMES", "5"}, {"ENGINE_TIMESTEP", "0.02"}};

// A source tree whose data is the bundled data with the game script extended by an
// OnThink that makes one ship and loads the given configuration.
class ShipConfigEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_source = fs::temp_directory_path() / ("ship_e2e_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    const fs::path bundled = fs::path(BRINEMARK_SOURCE_DIR) / "data";
    fs::create_directories(m_source / "data" / "scripts");
    for (const fs::directory_entry& entry : fs::directory_iterator(bundled))
      if (entry.path().filename() != "scripts") fs::create_symlink(entry.path(), m_source / "data" / entry.path().filename());
    for (const fs::directory_entry& entry : fs::directory_iterator(bundled / "scripts"))
      if (entry.path().filename() != "GameScript.lua")
        fs::create_symlink(entry.path(), m_source / "data" / "scripts" / entry.path().filename());
  }
  void TearDown() override { fs::remove_all(m_source); }

  void WriteGameScript(const std::string& config) {
    std::ifstream original(fs::path(BRINEMARK_SOURCE_DIR) / "data" / "scripts" / "GameScript.lua");
    std::stringstream text;
    text << original.rdbuf();
    text << "\nlocal shipMade = false\n"
            "function OnThink()\n"
            "  if shipMade then return end\n"
            "  shipMade = true\n"
            "  local ship = GameManager.CreateShip('Lost', 'scripts\\\\Ships\\\\TestSloop.lua', Vector(0, 0, 0), 0, 1)\n"
            "  print('ship made: ' .. tostring(ship ~= nil))\n"
            "  ship:LoadFromConfig('"
         << config << "')\n"
                      "  print('configuration loaded')\n"
                      "end\n";
    std::ofstream(m_source / "data" / "scripts" / "GameScript.lua") << text.str();
  }

  static bool Contains(const std::vector<std::string>& lines, const std::string& text) {
    for (const std::string& line : lines)
      if (line.find(text) != std::string::npos) return true;
    return false;
  }

  fs::path m_source;
};

TEST_F(ShipConfigEndToEndTest, AMissingConfigurationFileIsFatal) {
  WriteGameScript("Ships\\\\Missing.bin");
  ScratchProgram program(BRINEMARK_PROGRAM_DIR, m_source.string());
  const ScratchProgram::Result r = program.Run({}, kHeadless);
  EXPECT_NE(r.exitStatus, 0);
  EXPECT_NE(r.err.find("Couldn't open file [Ships\\Missing.bin]!"), std::string::npos) << r.err;
  const std::vector<std::string> log = program.ReadLog();
  EXPECT_TRUE(Contains(log, "Lua: ship made: true"));
  EXPECT_TRUE(Contains(log, "Couldn't open file [Ships\\Missing.bin]!"));
  EXPECT_FALSE(Contains(log, "configuration loaded"));
}

TEST_F(ShipConfigEndToEndTest, TheBundledConfigurationLoads) {
  WriteGameScript("Ships\\\\TestSloop.bin");
  ScratchProgram program(BRINEMARK_PROGRAM_DIR, m_source.string());
  const ScratchProgram::Result r = program.Run({}, kHeadless);
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_TRUE(Contains(program.ReadLog(), "Lua: configuration loaded"));
}

}  // namespace
