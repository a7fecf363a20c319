// The engine's base script library: print into the log, the Vector and Color
// constructors, SendMsg, the Game table's entity lookup, and the methods every
// entity proxy has.
//
// Binding functions run under Lua's C error handling (longjmp): they check all
// arguments before any object with a destructor exists in their frame, and
// leave C++ work with such objects to helpers that have returned before the
// results are pushed. Argument errors name the argument's stack position (Lua
// shows one less for method calls, so the script sees its own numbering).
#include "engine/core/VLuaInternal.h"

#include "engine/base/VType.h"
#include "engine/base/VisError.h"
#include "engine/core/IVObjectComponent.h"
#include "engine/core/VisBaseEntity.h"
#include "engine/core/VisGame.h"

namespace {

char kTraceback;  // registry: debug.traceback as it was when the state was made

const char* const kExpectEntity = "Expected native object of type VisBaseEntity_cl*";
const char* const kExpectObject = "Expected native object of type VisTypedEngineObject_cl*";
const char* const kExpectComponent = "Expected native object of type IVObjectComponent*";
const char* const kExpectText = "Expected const char *";

VisBaseEntity_cl* CheckEntity(lua_State* L) {
  void* e = LUA_GetNativeObject(L, 1, &VisBaseEntity_info);
  if (!e) luaL_argerror(L, 1, kExpectEntity);
  return static_cast<VisBaseEntity_cl*>(static_cast<VTypedObject*>(e));
}

const char* CheckText(lua_State* L, int idx) {
  const char* s = nullptr;
  if (!LUA_GetValue(L, idx, s)) luaL_argerror(L, idx, kExpectText);
  return s;
}

// Nil or absent gives the default; any other non-number is an error.
lua_Number OptNumber(lua_State* L, int idx, lua_Number def, const char* message) {
  if (lua_isnoneornil(L, idx)) return def;
  if (lua_type(L, idx) != LUA_TNUMBER) luaL_argerror(L, idx, message);
  return lua_tonumber(L, idx);
}

// A vector argument: a Vector (or {x,y,z} table), or three numbers.
VisVector_cl CheckVectorArgs(lua_State* L, int idx) {
  VisVector_cl v;
  if (LUA_GetValue(L, idx, v)) return v;
  if (lua_type(L, idx) != LUA_TNUMBER) luaL_argerror(L, idx, "Expected VisVector_cl");
  float c[3];
  for (int i = 0; i < 3; ++i) {
    if (!LUA_GetValue(L, idx + i, c[i])) luaL_argerror(L, idx + i, "Expected float");
  }
  return VisVector_cl(c[0], c[1], c[2]);
}

// Creates a component by class name and attaches it; null when the class is
// no creatable component or the entity refuses it (the component is disposed).
IVObjectComponent* AddComponentByName(VisBaseEntity_cl* entity, const char* className, const char* name) {
  VType* type = VType::FindType(className);
  if (!type || !type->IsDerivedFrom(IVObjectComponent::GetClassTypeId()) || !type->CanCreate()) {
    Vision::Error.Warning("AddComponentOfType: '%s' is not a component class", className);
    return nullptr;
  }
  IVObjectComponent* comp = static_cast<IVObjectComponent*>(type->CreateInstance());
  if (!comp) return nullptr;
  if (name) comp->SetComponentName(name);
  comp->Initialize();
  VString reason;
  if (!comp->CanAttachToObject(entity, reason)) {
    Vision::Error.Warning("AddComponentOfType: %s refused: %s", className, reason.AsChar());
    comp->DisposeObject();
    return nullptr;
  }
  if (!entity->AddComponent(comp)) {
    comp->DisposeObject();
    return nullptr;
  }
  return comp;
}

// Global functions ---------------------------------------------------------------

int LuaPrint(lua_State* L) {
  int n = lua_gettop(L);
  luaL_Buffer b;
  luaL_buffinit(L, &b);
  for (int i = 1; i <= n; ++i) {
    if (i > 1) luaL_addchar(&b, '\t');
    switch (lua_type(L, i)) {
      case LUA_TSTRING:
      case LUA_TNUMBER:
        lua_pushvalue(L, i);
        break;
      case LUA_TNIL:
        lua_pushliteral(L, "nil");
        break;
      case LUA_TBOOLEAN:
        lua_pushstring(L, lua_toboolean(L, i) ? "true" : "false");
        break;
      default:
        if (luaL_callmeta(L, i, "__tostring")) {
          if (lua_isstring(L, -1)) break;
          lua_pop(L, 1);
        }
        lua_pushfstring(L, "%s: %p", luaL_typename(L, i), lua_topointer(L, i));
        break;
    }
    luaL_addvalue(&b);
  }
  luaL_pushresult(&b);
  Vision::Error.SystemMessage("Lua: %s", lua_tostring(L, -1));
  return 0;
}

int LuaVector(lua_State* L) {
  lua_Number x = OptNumber(L, 1, 0, "Expected float");
  lua_Number y = OptNumber(L, 2, 0, "Expected float");
  lua_Number z = OptNumber(L, 3, 0, "Expected float");
  LUA_CreateVector3(L, VisVector_cl((float)x, (float)y, (float)z));
  return 1;
}

UBYTE ToChannel(lua_Number n) {
  int v = VLuaNumberToInt(n);
  return (UBYTE)(v < 0 ? 0 : v > 255 ? 255 : v);
}

int LuaColor(lua_State* L) {
  lua_Number r = OptNumber(L, 1, 0, "Expected int");
  lua_Number g = OptNumber(L, 2, 0, "Expected int");
  lua_Number b = OptNumber(L, 3, 0, "Expected int");
  lua_Number a = OptNumber(L, 4, 255, "Expected int");
  LUA_PushColor(L, VColorRef(ToChannel(r), ToChannel(g), ToChannel(b), ToChannel(a)));
  return 1;
}

// Game.GetEntity(key) or Game:GetEntity(key): a live entity with the key, nil
// when there is none. Scene scripts run
// before the scene's entities are made, so they look them up from their think.
int GameGetEntity(lua_State* L) {
  const int idx = lua_istable(L, 1) ? 2 : 1;
  const char* key = CheckText(L, idx);
  LUA_PushObjectProxy(L, Vision::Game.SearchEntity(key));
  return 1;
}

// SendMsg(target, id[, p1[, p2]]): to an engine object (all its components) or
// to one component; p1 and p2 are pointer-sized integers.
int LuaSendMsg(lua_State* L) {
  VLuaProxy* p = VLuaToProxy(L, 1);
  VTypedObject* target = p ? p->object : nullptr;
  bool isObject = target && target->IsOfType(VisTypedEngineObject_cl::GetClassTypeId());
  bool isComponent = target && target->IsOfType(IVObjectComponent::GetClassTypeId());
  if (!isObject && !isComponent) return luaL_argerror(L, 1, kExpectObject);
  int id = 0;
  if (!LUA_GetValue(L, 2, id)) return luaL_argerror(L, 2, "Expected int");
  INT_PTR p1 = VLuaNumberToIntPtr(OptNumber(L, 3, 0, "Expected int"));
  INT_PTR p2 = VLuaNumberToIntPtr(OptNumber(L, 4, 0, "Expected int"));
  if (isObject) {
    static_cast<VisTypedEngineObject_cl*>(target)->SendMsg(id, p1, p2);
  } else {
    static_cast<IVObjectComponent*>(target)->MessageFunction(id, p1, p2);
  }
  return 0;
}

// Entity methods -----------------------------------------------------------------

int EntityGetKey(lua_State* L) {
  VisBaseEntity_cl* e = CheckEntity(L);
  lua_pushstring(L, e->GetEntityKey());
  return 1;
}

int EntitySetKey(lua_State* L) {
  VisBaseEntity_cl* e = CheckEntity(L);
  const char* key = CheckText(L, 2);
  e->SetEntityKey(key);
  return 0;
}

int EntityGetPosition(lua_State* L) {
  VisBaseEntity_cl* e = CheckEntity(L);
  LUA_CreateVector3(L, e->GetPosition());
  return 1;
}

int EntitySetPosition(lua_State* L) {
  VisBaseEntity_cl* e = CheckEntity(L);
  VisVector_cl v = CheckVectorArgs(L, 2);
  e->SetPosition(v);
  return 0;
}

int EntityGetOrientation(lua_State* L) {
  VisBaseEntity_cl* e = CheckEntity(L);
  LUA_CreateVector3(L, e->GetOrientation());
  return 1;
}

int EntitySetOrientation(lua_State* L) {
  VisBaseEntity_cl* e = CheckEntity(L);
  VisVector_cl v = CheckVectorArgs(L, 2);
  e->SetOrientation(v);
  return 0;
}

int EntityGetUniqueID(lua_State* L) {
  VisBaseEntity_cl* e = CheckEntity(L);
  lua_pushnumber(L, (lua_Number)e->GetUniqueID());
  return 1;
}

int EntityRemove(lua_State* L) {
  VisBaseEntity_cl* e = CheckEntity(L);
  e->Remove();
  return 0;
}

int EntityAddComponentOfType(lua_State* L) {
  VisBaseEntity_cl* e = CheckEntity(L);
  const char* className = CheckText(L, 2);
  const char* name = nullptr;
  if (!lua_isnoneornil(L, 3)) name = CheckText(L, 3);
  IVObjectComponent* comp = AddComponentByName(e, className, name);
  LUA_PushObjectProxy(L, comp);
  return 1;
}

int EntityGetComponentOfType(lua_State* L) {
  VisBaseEntity_cl* e = CheckEntity(L);
  const char* className = CheckText(L, 2);
  LUA_PushObjectProxy(L, e->GetComponentOfType(className));
  return 1;
}

// Detaches and disposes a component of this entity; false for another's.
int EntityRemoveComponent(lua_State* L) {
  VisBaseEntity_cl* e = CheckEntity(L);
  void* raw = LUA_GetNativeObject(L, 2, &IVObjectComponent_info);
  if (!raw) return luaL_argerror(L, 2, kExpectComponent);
  IVObjectComponent* comp = static_cast<IVObjectComponent*>(static_cast<VTypedObject*>(raw));
  if (comp->GetOwner() != e || !e->RemoveComponent(comp)) {
    lua_pushboolean(L, 0);
    return 1;
  }
  VLuaInvalidateProxy(L, comp);
  Vision::GetScriptManager()->OnObjectDestroyed(comp);
  comp->DisposeObject();
  lua_pushboolean(L, 1);
  return 1;
}

const luaL_Reg kNoMethods[] = {{nullptr, nullptr}};

const luaL_Reg kEntityMethods[] = {
    {"GetKey", EntityGetKey},
    {"SetKey", EntitySetKey},
    {"GetPosition", EntityGetPosition},
    {"SetPosition", EntitySetPosition},
    {"GetOrientation", EntityGetOrientation},
    {"SetOrientation", EntitySetOrientation},
    {"GetUniqueID", EntityGetUniqueID},
    {"Remove", EntityRemove},
    {"AddComponentOfType", EntityAddComponentOfType},
    {"GetComponentOfType", EntityGetComponentOfType},
    {"RemoveComponent", EntityRemoveComponent},
    {nullptr, nullptr}};

}  // namespace

// Components are no engine objects here, so their record stands alone: a
// component never passes for a VisTypedEngineObject_cl.
NativeClassInfo VisTypedEngineObject_info = {"VisTypedEngineObject_cl", nullptr, kNoMethods};
NativeClassInfo VisBaseEntity_info = {"VisBaseEntity_cl", &VisTypedEngineObject_info, kEntityMethods};
NativeClassInfo IVObjectComponent_info = {"IVObjectComponent", nullptr, kNoMethods};

int VLuaTraceback(lua_State* L) {
  if (!lua_isstring(L, 1)) {
    if (luaL_callmeta(L, 1, "__tostring") && lua_isstring(L, -1)) {
      lua_replace(L, 1);
    } else {
      lua_pushfstring(L, "(error object is a %s value)", luaL_typename(L, 1));
      lua_replace(L, 1);
    }
  }
  lua_settop(L, 1);
  lua_pushlightuserdata(L, &kTraceback);
  lua_rawget(L, LUA_REGISTRYINDEX);
  if (!lua_isfunction(L, -1)) {
    lua_pop(L, 1);
    return 1;
  }
  lua_pushvalue(L, 1);
  lua_pushinteger(L, 2);
  lua_call(L, 2, 1);
  return 1;
}

void VLuaOpenBaseLibrary(lua_State* L) {
  VLuaEnsureEngineTypes(L);
  lua_getglobal(L, "debug");
  if (lua_istable(L, -1)) {
    lua_getfield(L, -1, "traceback");
    lua_pushlightuserdata(L, &kTraceback);
    lua_insert(L, -2);
    lua_rawset(L, LUA_REGISTRYINDEX);
  }
  lua_pop(L, 1);
  const luaL_Reg globals[] = {
      {"print", LuaPrint}, {"Vector", LuaVector}, {"Color", LuaColor}, {"SendMsg", LuaSendMsg}, {nullptr, nullptr}};
  for (const luaL_Reg* f = globals; f->name; ++f) {
    lua_pushcfunction(L, f->func);
    lua_setglobal(L, f->name);
  }
  const luaL_Reg game[] = {{"GetEntity", GameGetEntity}, {nullptr, nullptr}};
  lua_newtable(L);
  for (const luaL_Reg* f = game; f->name; ++f) {
    lua_pushcfunction(L, f->func);
    lua_setfield(L, -2, f->name);
  }
  lua_setglobal(L, "Game");
}
