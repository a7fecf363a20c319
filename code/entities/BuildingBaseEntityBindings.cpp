// The "BuildingBaseEntity" script class: whether a building stands, and its
// destruction and rebuilding.
#include "components/DestructableBuildingComponent.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"
#include "entities/BuildingBaseEntity.h"

using namespace ScriptArgs;

namespace {

const char* const kExpectBuilding = "Expected native object of type BuildingBaseEntity*";

BuildingBaseEntity* CheckBuilding(lua_State* L) {
  return CheckNativeObject<BuildingBaseEntity>(L, 1, &BuildingBaseEntity_info, kExpectBuilding);
}

int IsAlive(lua_State* L) { return PushBool(L, CheckBuilding(L)->IsAlive()); }

int Destroy(lua_State* L) {
  BuildingBaseEntity* building = CheckBuilding(L);
  if (auto* destructable = building->Components<DestructableBuildingComponent>()) destructable->SetHitPoints(0);
  return 0;
}

int Rebuild(lua_State* L) {
  CheckBuilding(L)->Reborn();
  return 0;
}

const luaL_Reg BuildingBaseEntity_methods[] = {
    {"IsAlive", IsAlive},
    {"Destroy", Destroy},
    {"Rebuild", Rebuild},
    {nullptr, nullptr},
};

}  // namespace

NativeClassInfo BuildingBaseEntity_info = {"BuildingBaseEntity", &BaseEntity_info, BuildingBaseEntity_methods};
