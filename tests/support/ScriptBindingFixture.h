// Fixture of the tests of the game's script bindings: a scratch data folder, a
// fresh master state with the game's tables and classes registered, the
// captured log, and helpers to run script code and read its results.
#pragma once

#include "support/ScratchScriptFixture.h"

#include "Managers/PauseManager.h"
#include "Managers/SaveGameManager.h"
#include "core/GameManager.h"
#include "core/ScriptBindings.h"

#include "engine/Vision.h"

#include <string>

class ScriptBindingFixture : public ScratchScriptFixture {
 protected:
  ScriptBindingFixture() : ScratchScriptFixture("script_bindings_") {}

  void SetUp() override {
    ScratchScriptFixture::SetUp();
    if (HasFatalFailure()) return;
    RegisterLuaBindings();
  }
  void ReleaseAfterEntities() override {
    GameManager::CleanInstance();
    PauseManager::CleanInstance();
    SaveGameManagerProto::CleanInstance();
  }

  // The value of an expression; the test fails when it raises an error.
  double Number(const std::string& expr) {
    double v = -12345.0;
    if (Eval(expr)) {
      EXPECT_EQ(lua_type(L, -1), LUA_TNUMBER) << expr;
      v = lua_tonumber(L, -1);
    }
    lua_settop(L, 0);
    return v;
  }
  bool Bool(const std::string& expr) {
    bool v = false;
    if (Eval(expr)) {
      EXPECT_EQ(lua_type(L, -1), LUA_TBOOLEAN) << expr;
      v = lua_toboolean(L, -1) != 0;
    }
    lua_settop(L, 0);
    return v;
  }
  std::string String(const std::string& expr) {
    std::string v = "(error)";
    if (Eval(expr)) {
      const char* s = lua_tostring(L, -1);
      v = s ? s : "(not a string)";
    }
    lua_settop(L, 0);
    return v;
  }

  // Makes a global of the object's proxy.
  template <class T>
  void SetGlobalObject(const char* name, T* obj) {
    LUA_PushObjectProxy(L, obj);
    lua_setglobal(L, name);
  }

  // The text of a script argument error as Lua words it for a plain call.
  static std::string ArgError(int number, const char* function, const char* message) {
    return "bad argument #" + std::to_string(number) + " to '" + function + "' (" + message + ")";
  }

 private:
  bool Eval(const std::string& expr) {
    lua_settop(L, 0);
    std::string code = "return " + expr;
    if (luaL_loadstring(L, code.c_str()) != 0 || lua_pcall(L, 0, 1, 0) != 0) {
      ADD_FAILURE() << expr << ": " << lua_tostring(L, -1);
      return false;
    }
    return true;
  }
};
