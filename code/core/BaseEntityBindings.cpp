// The "BaseEntity" script class: nation, save flag, trace accuracies, unique id,
// mesh file and visibility of the game's entities.
#include "core/BaseEntity.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"

#include "engine/Vision.h"

using namespace ScriptArgs;

namespace {

BaseEntity* CheckEntity(lua_State* L) {
  return CheckNativeObject<BaseEntity>(L, 1, &BaseEntity_info, "Expected native object of type BaseEntity*");
}

int GetNation(lua_State* L) {
  BaseEntity* entity = CheckEntity(L);
  return PushInt(L, entity->GetNation());
}

int SetCollisionTraceAccuracy(lua_State* L) {
  BaseEntity* entity = CheckEntity(L);
  int position = CheckInt(L, 2);
  // The setter maps the list position (4 is polygons) itself.
  entity->SetCollisionTraceAccuracy((VisTraceAccuracy_e)position);
  return 0;
}

int SetClickTraceAccuracy(lua_State* L) {
  BaseEntity* entity = CheckEntity(L);
  int position = CheckInt(L, 2);
  entity->SetClickTraceAccuracy((VisTraceAccuracy_e)position);
  return 0;
}

int GetUniqueID(lua_State* L) {
  BaseEntity* entity = CheckEntity(L);
  lua_pushnumber(L, (lua_Number)entity->GetUniqueID());
  return 1;
}

int SetSave(lua_State* L) {
  BaseEntity* entity = CheckEntity(L);
  bool save = CheckBool(L, 2);
  entity->SetSave(save ? 1 : 0);
  return 0;
}

int GetSave(lua_State* L) {
  BaseEntity* entity = CheckEntity(L);
  return PushBool(L, entity->GetSave() != 0);
}

int SetMeshFile(lua_State* L) {
  BaseEntity* entity = CheckEntity(L);
  const char* file = CheckString(L, 2, "Expected const char*");
  bool keep = OptBool(L, 3, false);
  entity->SetMeshFilename(file, keep);
  return 0;
}

int WasVisibleLastFrame(lua_State* L) {
  BaseEntity* entity = CheckEntity(L);
  return PushBool(L, VisRenderContext_cl::GetMainRenderContext() && entity->WasVisibleInAnyLastFrame());
}

const luaL_Reg BaseEntity_methods[] = {
    {"GetNation", GetNation},
    {"SetCollisionTraceAccuracy", SetCollisionTraceAccuracy},
    {"SetClickTraceAccuracy", SetClickTraceAccuracy},
    {"GetUniqueID", GetUniqueID},
    {"SetSave", SetSave},
    {"GetSave", GetSave},
    {"SetMeshFile", SetMeshFile},
    {"WasVisibleLastFrame", WasVisibleLastFrame},
    {nullptr, nullptr},
};

}  // namespace

NativeClassInfo BaseEntity_info = {"BaseEntity", &VisBaseEntity_info, BaseEntity_methods};
