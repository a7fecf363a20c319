// The game's script tables and wrapper classes, registered in their fixed order.
// A table or class whose native side does not exist yet has no array or record
// here; it is registered from the moment its binding file provides one.
#include "core/ScriptBindings.h"

namespace {

struct ScriptTable {
  const char* name;
  const luaL_Reg* methods;
};

// Global tables, in registration order.
const ScriptTable kTables[] = {
    {"SoundManager", SoundManager_methods},
    {"GameManager", GameManager_methods},
    {"SpeechManager", SpeechManager_methods},
    {"MissionManager", MissionManager_methods},
    {"GameSessionManager", GameSessionManager_methods},
    {"GameContentManager", GameContentManager_methods},
    {"PauseManager", PauseManager_methods},
    {"ArtifactManager", ArtifactManager_methods},
    {"JokeManager", JokeManager_methods},
    {"AchievementManager", AchievementManager_methods},
};

struct WrapperClass {
  const char* name;
  NativeClassInfo* info;
};

// Wrapper classes, in registration order.
const WrapperClass kClasses[] = {
    {"ShipEntity", &ShipEntity_info},
    {"UnitEntity", &UnitEntity_info},
    {"CollectableEntity", &CollectableEntity_info},
    {"LandBattleCameraComponent", &LandBattleCameraComponent_info},
    {"BaseComponent", &BaseComponent_info},
    {"SpawnerBaseComponent", &SpawnerBaseComponent_info},
    {"BaseMissionProto", &BaseMissionProto_info},
    {"SoldierEntity", &SoldierEntity_info},
    {"StorageComponentProto", &StorageComponentProto_info},
    {"BaseEntity", &BaseEntity_info},
    {"AnimalEntity", nullptr},
    {"BasePathComponent", nullptr},
    {"ShipPathComponent", &ShipPathComponent_info},
    {"AIShipComponent", &AIShipComponent_info},
    {"TownEntity", &TownEntity_info},
    {"HeroStats", &HeroStats_info},
    {"ShipBattleComponent", &ShipBattleComponent_info},
    {"BuildingBaseEntity", &BuildingBaseEntity_info},
    {"KrakenEntity", nullptr},
    {"WhaleEntity", &WhaleEntity_info},
};

}  // namespace

void RegisterLuaBindings() {
  lua_State* L = Vision::GetScriptManager()->GetMasterState();
  if (!L) return;
  for (const ScriptTable& table : kTables) {
    if (!table.methods) continue;
    luaL_register(L, table.name, table.methods);
    lua_pop(L, 1);
  }
  for (const WrapperClass& cls : kClasses) {
    if (cls.info) LUA_CreateWrapperClass(L, cls.info);
  }
}
