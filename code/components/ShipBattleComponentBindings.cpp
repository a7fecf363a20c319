// The "ShipBattleComponent" script class: auto-fire, broadside and special-weapon
// orders for the ship the component sits on, and the projectile type names.
#include "components/ShipBattleComponent.h"
#include "core/ComponentMessages.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"

#include "engine/Vision.h"

using namespace ScriptArgs;

namespace {

const char* const kExpectComponent = "Expected native object of type ShipBattleComponent*";

ShipBattleComponent* CheckComponent(lua_State* L) {
  return CheckNativeObject<ShipBattleComponent>(L, 1, &ShipBattleComponent_info, kExpectComponent);
}

void SendToShip(ShipBattleComponent* comp, int id, INT_PTR p1, INT_PTR p2) {
  if (VisTypedEngineObject_cl* ship = comp->GetOwner()) ship->SendMsg(id, p1, p2);
}

int SetAutoFire(lua_State* L) {
  ShipBattleComponent* comp = CheckComponent(L);
  comp->SetAutoFire(CheckBool(L, 2));
  return 0;
}

// 0 left broadside, 1 right broadside, 2 the special cannon; other sides nothing.
int FireCannons(lua_State* L) {
  ShipBattleComponent* comp = CheckComponent(L);
  const int side = CheckInt(L, 2);
  if (side == 0)
    SendToShip(comp, VIS_MSG_USER_CANNON_IGNITE_LEFT, 1, 0);
  else if (side == 1)
    SendToShip(comp, VIS_MSG_USER_CANNON_IGNITE_RIGHT, 1, 0);
  else if (side == 2)
    SendToShip(comp, VIS_MSG_USER_CANNON_FIRE_SPECIAL, 1, 0);
  return 0;
}

int FireSpecial(lua_State* L) {
  ShipBattleComponent* comp = CheckComponent(L);
  SendToShip(comp, VIS_MSG_USER_CANNON_FIRE_SPECIAL, CheckInt(L, 2), 0);
  return 0;
}

const luaL_Reg ShipBattleComponent_methods[] = {
    {"SetAutoFire", SetAutoFire},
    {"FireCannons", FireCannons},
    {"FireSpecial", FireSpecial},
    {"GetProjectileTypes", GameManager_GetProjectileTypes},
    {nullptr, nullptr},
};

}  // namespace

NativeClassInfo ShipBattleComponent_info = {"ShipBattleComponent", &BaseComponent_info, ShipBattleComponent_methods};
