// Shared fixture of the script tests: a scratch data folder for script files,
// a fresh master state per test and the captured log.
#pragma once

#include "engine/Vision.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

class ScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = std::filesystem::temp_directory_path() /
            ("lua_scripts_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(m_dir / "scripts");
    Vision::File.RemoveAllDataDirectories();
    ASSERT_TRUE(Vision::File.AddDataDirectory(m_dir.c_str()));
    L = Mgr()->GetMasterState();
    ASSERT_NE(L, nullptr);
  }
  void TearDown() override {
    Vision::Game.RemoveAllEntities();
    Mgr()->SetSuspended(false);
    Mgr()->Reset();
    Vision::File.RemoveAllDataDirectories();
    std::filesystem::remove_all(m_dir);
  }

  static VScriptResourceManager* Mgr() { return Vision::GetScriptManager(); }

  void Write(const std::string& name, const std::string& text) {
    std::ofstream(m_dir / name) << text;
    Vision::File.ClearCache();
  }

  // An instance of a script written for the test (null when it fails to load).
  IVScriptInstance* Load(const std::string& text, VisTypedEngineObject_cl* owner = nullptr,
                         const std::string& name = "scripts/test.lua") {
    Write(name, text);
    return Mgr()->CreateScriptInstanceFromFile(name.c_str(), owner);
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
};
