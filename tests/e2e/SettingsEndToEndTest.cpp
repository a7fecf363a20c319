// End-to-end: the player's settings.bin decides the mode the real launcher opens the
// window in, over the launcher's own defaults, and a start leaves the file as it was.
#include "support/ScratchProgram.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

const std::map<std::string, std::string> kHeadless = {{"ENGINE_FRAMES", "3"}, {"ENGINE_TIMESTEP", "0.02"}};

std::string EngineStartLine(const std::vector<std::string>& log) {
  for (const std::string& line : log)
    if (line.find("Engine start:") != std::string::npos) return line;
  return std::string();
}

// settings.bin: archive version 1, then the dictionary's entries as counted strings.
std::string SettingsBin(const std::vector<std::pair<std::string, std::string>>& entries) {
  std::string b;
  auto i32 = [&](int v) {
    for (int i = 0; i < 4; ++i) b += (char)((unsigned)v >> (8 * i));
  };
  auto str = [&](const std::string& s) {
    i32((int)s.size());
    b += s;
  };
  i32(1);
  i32((int)entries.size());
  for (const auto& [key, value] : entries) {
    str(key);
    str(value);
  }
  return b;
}

TEST(SettingsEndToEnd, StoredModeOpensTheWindowAndTheFileStaysAsItWas) {
  ScratchProgram program = MakeScratchProgram();
  const std::string folder = program.DocumentsDir() + "/Fenwold/Brinemark";
  fs::create_directories(folder);
  const std::string stored = SettingsBin({{"Windowed_Enabled_0", "false"},
                                          {"Vsync_Enabled_0", "false"},
                                          {"Quality_0", "1590x890x60"},
                                          {"MasterVolume", "0.25"}});
  std::ofstream(folder + "/settings.bin", std::ios::binary) << stored;

  // The launcher asks for a window of 1280x720; the stored full-screen mode (the
  // adapter's nearest) wins.
  const ScratchProgram::Result r = program.Run({"-Windowed"}, kHeadless);
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  const std::string engine = EngineStartLine(program.ReadLog());
  EXPECT_NE(engine.find("Engine start: 1600x900 fullscreen=1 "), std::string::npos) << engine;
  EXPECT_NE(engine.find(" vsync=0 "), std::string::npos) << engine;
  EXPECT_EQ(ScratchProgram::ReadFile(folder + "/settings.bin"), stored);
}

TEST(SettingsEndToEnd, WithoutStoredSettingsThePresetDefaultsHold) {
  ScratchProgram program = MakeScratchProgram();
  const ScratchProgram::Result r = program.Run({}, kHeadless);
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  // settings.xml's defaults: a window with vertical sync.
  const std::string engine = EngineStartLine(program.ReadLog());
  EXPECT_NE(engine.find("Engine start: 1280x720 fullscreen=0 "), std::string::npos) << engine;
  EXPECT_NE(engine.find(" vsync=1 "), std::string::npos) << engine;
  EXPECT_FALSE(fs::exists(program.DocumentsDir() + "/Fenwold/Brinemark/settings.bin"));
}

}  // namespace
