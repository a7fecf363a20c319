// The "TownEntity" script class: whether a town can be entered, its script, and
// its buildings' respawn and refill.
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"
#include "entities/TownEntity.h"
#include "Managers/TownManager.h"

using namespace ScriptArgs;

namespace {

const char* const kExpectTown = "Expected native object of type TownEntity*";
const char* const kExpectText = "Expected const char*";

TownEntity* CheckTown(lua_State* L) { return CheckNativeObject<TownEntity>(L, 1, &TownEntity_info, kExpectTown); }

int IsAccessible(lua_State* L) {
  TownEntity* town = CheckTown(L);
  lua_pushboolean(L, town->IsAccessible());
  return 1;
}

int SetAccessible(lua_State* L) {
  TownEntity* town = CheckTown(L);
  const bool accessible = CheckBool(L, 2);
  // The player's own stronghold is never closed to him.
  if (!accessible && town->IsOfType(StrongholdEntity::GetClassTypeId())) return 0;
  town->SetAccessible(accessible);
  return 0;
}

int ChangeScript(lua_State* L) {
  TownEntity* town = CheckTown(L);
  town->SetScript(CheckString(L, 2, kExpectText));
  return 0;
}

int RespawnBuildings(lua_State* L) {
  CheckTown(L);
  TownManager::GetInstance()->RespawnBuildings();
  return 0;
}

int InitBuildings(lua_State* L) {
  CheckTown(L);
  TownManager::GetInstance()->InitBuildings(CheckFloat(L, 2));
  return 0;
}

const luaL_Reg TownEntity_methods[] = {
    {"IsAccessible", IsAccessible},
    {"SetAccessible", SetAccessible},
    {"ChangeScript", ChangeScript},
    {"RespawnBuildings", RespawnBuildings},
    {"InitBuildings", InitBuildings},
    {nullptr, nullptr},
};

}  // namespace

NativeClassInfo TownEntity_info = {"TownEntity", &BaseEntity_info, TownEntity_methods};
