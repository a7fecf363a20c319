// The land radar's functions of the "GameManager" script table: mark an entity at
// the screen border with a picture of the script's choice, and take the mark away.
#include "Managers/LandRadarManager.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"

#include "engine/Vision.h"

using namespace ScriptArgs;

namespace {
const char* const kExpectVisEntity = "Expected native object of type VisBaseEntity_cl*";
const char* const kExpectTexture = "Expected const char*";
}  // namespace

int GameManager_AddToRadar(lua_State* L) {
  VisBaseEntity_cl* entity = CheckNativeObject<VisBaseEntity_cl>(L, 1, &VisBaseEntity_info, kExpectVisEntity);
  const char* texture = CheckString(L, 2, kExpectTexture);
  LandRadarManager::GetInstance()->Add(entity, texture);
  return 0;
}

int GameManager_RemoveFromRadar(lua_State* L) {
  VisBaseEntity_cl* entity = CheckNativeObject<VisBaseEntity_cl>(L, 1, &VisBaseEntity_info, kExpectVisEntity);
  LandRadarManager::GetInstance()->Remove(entity);
  return 0;
}
