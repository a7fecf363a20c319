// The "GameSessionManager" script table: scripts ask which scene was loaded last.
#include "Managers/GameSessionManager.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"

namespace {

int GetLastLoadedSceneName(lua_State* L) {
  const VString name = GameSessionManager::GetInstance()->GetLastLoadedSceneName();
  return ScriptArgs::PushString(L, name.AsChar());
}

}  // namespace

const luaL_Reg GameSessionManager_methods[] = {
    {"GetLastLoadedSceneName", GetLastLoadedSceneName},
    {nullptr, nullptr},
};

void RegisterGameSessionManagerWrapper(lua_State* L) {
  luaL_register(L, "GameSessionManager", GameSessionManager_methods);
  lua_pop(L, 1);
}
