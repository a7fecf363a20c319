// The "PauseManager" script table: scripts toggle and query the two pause states.
#include "Managers/PauseManager.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"

namespace {

int ToggleFullPause(lua_State*) {
  PauseManager::GetInstance()->ToggleFullPause();
  return 0;
}

int SetFullPause(lua_State* L) {
  bool pause = ScriptArgs::CheckBool(L, 1);
  PauseManager::GetInstance()->SetFullPause(pause);
  return 0;
}

int ToggleGamePause(lua_State*) {
  PauseManager::GetInstance()->ToggleGamePause();
  return 0;
}

int SetGamePause(lua_State* L) {
  bool pause = ScriptArgs::CheckBool(L, 1);
  PauseManager::GetInstance()->SetGamePause(pause);
  return 0;
}

int IsGamePaused(lua_State* L) { return ScriptArgs::PushBool(L, PauseManager::GetInstance()->IsGamePaused()); }

}  // namespace

const luaL_Reg PauseManager_methods[] = {
    {"ToggleFullPause", ToggleFullPause},
    {"SetFullPause", SetFullPause},
    {"ToggleGamePause", ToggleGamePause},
    {"SetGamePause", SetGamePause},
    {"IsGamePaused", IsGamePaused},
    {nullptr, nullptr},
};

void RegisterPauseManagerWrapper(lua_State* L) {
  luaL_register(L, "PauseManager", PauseManager_methods);
  lua_pop(L, 1);
}
