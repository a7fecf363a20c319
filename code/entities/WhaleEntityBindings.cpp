// The "WhaleEntity" script class: roping the whale to a ship.
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"
#include "entities/ShipEntity.h"
#include "entities/WhaleEntity.h"

using namespace ScriptArgs;

namespace {

const char* const kExpectWhale = "Expected native object of type WhaleEntity*";
const char* const kExpectShip = "Expected native object of type ShipEntity*";

int Attach(lua_State* L) {
  WhaleEntity* whale = CheckNativeObject<WhaleEntity>(L, 1, &WhaleEntity_info, kExpectWhale);
  ShipEntity* ship = CheckNativeObject<ShipEntity>(L, 2, &ShipEntity_info, kExpectShip);
  whale->Attach(ship);
  return 0;
}

const luaL_Reg WhaleEntity_methods[] = {
    {"Attach", Attach},
    {nullptr, nullptr},
};

}  // namespace

NativeClassInfo WhaleEntity_info = {"WhaleEntity", &BaseEntity_info, WhaleEntity_methods};
