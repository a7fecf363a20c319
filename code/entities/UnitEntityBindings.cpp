// The "UnitEntity" script class: the unit's soldiers and its type.
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"

#include "engine/Vision.h"

using namespace ScriptArgs;

namespace {

UnitEntity* CheckUnit(lua_State* L) {
  return CheckNativeObject<UnitEntity>(L, 1, &UnitEntity_info, "Expected native object of type UnitEntity*");
}

// With a soldier the unit takes it; without, the unit makes one.
int AddSoldier(lua_State* L) {
  UnitEntity* unit = CheckUnit(L);
  VisTypedEngineObject_cl* given = nullptr;
  if (LUA_GetValue(L, 2, given) && given && given->IsOfType(SoldierEntity::GetClassTypeId())) {
    SoldierEntity* soldier = static_cast<SoldierEntity*>(given);
    unit->AddSoldier(soldier);
    return PushObject(L, soldier);
  }
  return PushObject(L, unit->AddSoldier(nullptr));
}

int CreateSoldiers(lua_State* L) {
  CheckUnit(L)->CreateSoldiers();
  return 0;
}

int ResetSoldierPositions(lua_State* L) {
  CheckUnit(L)->ResetSoldierPositions();
  return 0;
}

int GetSoldierCount(lua_State* L) { return PushInt(L, CheckUnit(L)->GetNumSoldiers()); }

int GetSoldier(lua_State* L) {
  UnitEntity* unit = CheckUnit(L);
  const int index = CheckInt(L, 2);
  return PushObject(L, unit->GetSoldierAtIndex(index));
}

int SetUnitType(lua_State* L) {
  UnitEntity* unit = CheckUnit(L);
  const int type = CheckInt(L, 2);
  unit->SetUnitType(type);
  return 0;
}

const luaL_Reg UnitEntity_methods[] = {
    {"AddSoldier", AddSoldier},
    {"CreateSoldiers", CreateSoldiers},
    {"ResetSoldierPositions", ResetSoldierPositions},
    {"GetSoldierCount", GetSoldierCount},
    {"GetSoldier", GetSoldier},
    {"SetUnitType", SetUnitType},
    {nullptr, nullptr},
};

}  // namespace

// The engine entity record is the parent, not BaseEntity's: a unit offers scripts
// the engine entity methods and its own, and does not pass for a BaseEntity.
NativeClassInfo UnitEntity_info = {"UnitEntity", &VisBaseEntity_info, UnitEntity_methods};
