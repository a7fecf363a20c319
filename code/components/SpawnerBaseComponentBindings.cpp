// The "SpawnerBaseComponent" script class: spawner scripts fill the templates, tune
// the rate and start or stop spawning.
#include "Managers/GameSessionManager.h"
#include "components/SpawnerBaseComponent.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"
#include "entities/UnitEntityTemplate.h"

#include "engine/Vision.h"

using namespace ScriptArgs;

namespace {

const char* const kExpectSpawner = "Expected native object of type SpawnerBaseComponent*";

SpawnerBaseComponent* CheckSpawner(lua_State* L) {
  return CheckNativeObject<SpawnerBaseComponent>(L, 1, &SpawnerBaseComponent_info, kExpectSpawner);
}

// AddUnit(character id, soldiers, maximum soldiers, width, nation [, spawner name])
int AddUnit(lua_State* L) {
  SpawnerBaseComponent* spawner = CheckSpawner(L);
  const int id = CheckInt(L, 2);
  const int soldiers = CheckInt(L, 3);
  const int maxSoldiers = CheckInt(L, 4);
  const int width = CheckInt(L, 5);
  const int nation = CheckInt(L, 6);
  const char* name = OptString(L, 7, nullptr);
  auto* templ = new UnitEntityTemplate("UnitEntity");
  GameSessionManager::GetInstance()->InitCharacter(templ, (unsigned)id, false);
  templ->m_iNumSoldiers = soldiers;
  templ->m_iMaxNumSoldiers = maxSoldiers;
  templ->m_iUnitWidth = width;
  templ->m_iNation = nation;
  if (name) spawner->SetSpawnerName(name);
  spawner->AddUnit(templ);
  return 0;
}

int ClearUnits(lua_State* L) {
  CheckSpawner(L)->ClearUnits();
  return 0;
}

int SetSpawnWaitTime(lua_State* L) {
  SpawnerBaseComponent* spawner = CheckSpawner(L);
  spawner->SetSpawnWaitTime(CheckFloat(L, 2, kExpectFloat));
  return 0;
}

int SetSpawnWaitTimeRandom(lua_State* L) {
  SpawnerBaseComponent* spawner = CheckSpawner(L);
  spawner->SetSpawnWaitTimeRandom(CheckFloat(L, 2, kExpectFloat));
  return 0;
}

// TriggerSpawning([entity]): towards the entity's position, or without a position.
int TriggerSpawning(lua_State* L) {
  SpawnerBaseComponent* spawner = CheckSpawner(L);
  if (lua_isnoneornil(L, 2)) {
    spawner->TriggerSpawning();
    return 0;
  }
  VisTypedEngineObject_cl* object = CheckEngineObject(L, 2);
  if (auto* placed = dynamic_cast<VisObject3D_cl*>(object))
    spawner->TriggerSpawning(placed->GetPosition());
  else
    spawner->TriggerSpawning();
  return 0;
}

int SetSpawnerEnable(lua_State* L) {
  SpawnerBaseComponent* spawner = CheckSpawner(L);
  spawner->SetEnabled(CheckBool(L, 2) ? 1 : 0);
  return 0;
}

const luaL_Reg SpawnerBaseComponent_methods[] = {
    {"AddUnit", AddUnit},
    {"ClearUnits", ClearUnits},
    {"SetSpawnWaitTime", SetSpawnWaitTime},
    {"SetSpawnWaitTimeRandom", SetSpawnWaitTimeRandom},
    {"TriggerSpawning", TriggerSpawning},
    {"SetSpawnerEnable", SetSpawnerEnable},
    {nullptr, nullptr},
};

}  // namespace

NativeClassInfo SpawnerBaseComponent_info = {"SpawnerBaseComponent", &BaseComponent_info,
                                             SpawnerBaseComponent_methods};
