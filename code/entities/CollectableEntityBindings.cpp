// The "CollectableEntity" script class: a collectable is claimed by an entity and
// tells who carries it.
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"
#include "entities/CollectableEntity.h"

using namespace ScriptArgs;

namespace {

const char* const kExpectCollectable = "Expected native object of type CollectableEntity*";

CollectableEntity* CheckCollectable(lua_State* L) {
  return CheckNativeObject<CollectableEntity>(L, 1, &CollectableEntity_info, kExpectCollectable);
}

int Collect(lua_State* L) {
  CollectableEntity* item = CheckCollectable(L);
  VisTypedEngineObject_cl* by = CheckEngineObject(L, 2);
  item->Collect(dynamic_cast<VisBaseEntity_cl*>(by));
  return 0;
}

int HasCarrier(lua_State* L) {
  CollectableEntity* item = CheckCollectable(L);
  if (!item->HasCarrier()) return 0;
  return PushBool(L, true);
}

int GetCarrier(lua_State* L) {
  CollectableEntity* item = CheckCollectable(L);
  return PushObject(L, item->GetCarrier());
}

const luaL_Reg CollectableEntity_methods[] = {
    {"Collect", Collect},
    {"HasCarrier", HasCarrier},
    {"GetCarrier", GetCarrier},
    {nullptr, nullptr},
};

}  // namespace

NativeClassInfo CollectableEntity_info = {"CollectableEntity", &BaseEntity_info, CollectableEntity_methods};
