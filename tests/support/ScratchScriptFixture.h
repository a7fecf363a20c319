// Base of the script fixtures: a scratch data folder (with "scripts/") that is the
// only data folder during the test, the engine's master state, the captured log,
// and helpers to write files and run code.
#pragma once

#include "support/LogCapture.h"

#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

class ScratchScriptFixture : public ::testing::Test {
 protected:
  // The folder is named after the prefix, the process and the test.
  explicit ScratchScriptFixture(const char* prefix) : m_prefix(prefix) {}

  void SetUp() override {
    // Parameterised tests are named "Name/0": one folder, not a folder inside one.
    std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    for (char& c : test)
      if (c == '/') c = '_';
    m_dir = std::filesystem::temp_directory_path() / (m_prefix + std::to_string(::getpid()) + "_" + test);
    std::filesystem::create_directories(m_dir / "scripts");
    Vision::File.RemoveAllDataDirectories();
    ASSERT_TRUE(Vision::File.AddDataDirectory(m_dir.c_str()));
    L = Vision::GetScriptManager()->GetMasterState();
    ASSERT_NE(L, nullptr);
  }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    ReleaseAfterEntities();
    Vision::GetScriptManager()->Reset();
    Vision::File.RemoveAllDataDirectories();
    std::filesystem::remove_all(m_dir);
  }
  // What a fixture frees once the entities are gone, before the scripts are reset.
  virtual void ReleaseAfterEntities() {}

  void Write(const std::string& name, const std::string& text) {
    std::ofstream(m_dir / name) << text;
    Vision::File.ClearCache();
  }

  // Runs code in the master globals; the error text (without traceback) or "".
  std::string Run(const std::string& code) {
    int top = lua_gettop(L);
    std::string error;
    if (luaL_loadstring(L, code.c_str()) != 0 || lua_pcall(L, 0, 0, 0) != 0) {
      const char* msg = lua_tostring(L, -1);
      error = msg ? msg : "(no message)";
    }
    lua_settop(L, top);
    return error;
  }

  std::filesystem::path m_dir;
  lua_State* L = nullptr;
  LogCapture log;

 private:
  std::string m_prefix;
};
