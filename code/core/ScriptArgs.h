// The small helpers every script binding of the game uses to read its arguments
// and push its results, so that all of them check and report the same way.
//
// Arguments are read by stack position. An optional argument keeps its default
// when it is missing or of another kind. A required one raises luaL_argerror
// with the binding's own text, numbered as the position plus one (a native
// object always reports 1). The error longjmps out of the binding (the C build
// of Lua): a binding checks every argument before it builds anything with a
// destructor or changes any state.
//
// Script numbers are doubles here; a binding converts each number to the C++
// type it names (int truncates, float rounds), and pushes float results as
// floats, so results round as they would in a float build of Lua.
#pragma once

#include "engine/core/VScriptManager.h"

namespace ScriptArgs {

inline const char* const kExpectInt = "Expected int";
inline const char* const kExpectFloat = "Expected float";
inline const char* const kExpectBool = "Expected bool";
inline const char* const kExpectVector = "Expected VisVector_cl";
inline const char* const kExpectEngineObject = "Expected VisTypedEngineObject_cl*";

// Required arguments ------------------------------------------------------------

inline int CheckInt(lua_State* L, int idx, const char* message = kExpectInt) {
  int v = 0;
  if (!LUA_GetValue(L, idx, v)) luaL_argerror(L, idx + 1, message);
  return v;
}

inline float CheckFloat(lua_State* L, int idx, const char* message = kExpectFloat) {
  float v = 0.0f;
  if (!LUA_GetValue(L, idx, v)) luaL_argerror(L, idx + 1, message);
  return v;
}

inline bool CheckBool(lua_State* L, int idx, const char* message = kExpectBool) {
  bool v = false;
  if (!LUA_GetValue(L, idx, v)) luaL_argerror(L, idx + 1, message);
  return v;
}

// The texts differ between bindings ("Expected const char *", "Expected const char*"),
// so each names its own. Valid while the argument stays on the stack.
inline const char* CheckString(lua_State* L, int idx, const char* message) {
  const char* v = nullptr;
  if (!LUA_GetValue(L, idx, v)) luaL_argerror(L, idx + 1, message);
  return v;
}

inline VisVector_cl CheckVector(lua_State* L, int idx, const char* message = kExpectVector) {
  VisVector_cl v;
  if (!LUA_GetValue(L, idx, v)) luaL_argerror(L, idx + 1, message);
  return v;
}

inline VisTypedEngineObject_cl* CheckEngineObject(lua_State* L, int idx, const char* message = kExpectEngineObject) {
  VisTypedEngineObject_cl* v = nullptr;
  if (!LUA_GetValue(L, idx, v)) luaL_argerror(L, idx + 1, message);
  return v;
}

// A live object whose wrapper class is info or derives from it; argument 1 otherwise.
// T is the native class the record stands for (VTypedObject-derived).
template <class T>
T* CheckNativeObject(lua_State* L, int idx, NativeClassInfo* info, const char* message) {
  void* p = LUA_GetNativeObject(L, idx, info);
  if (!p) luaL_argerror(L, 1, message);
  return static_cast<T*>(static_cast<VTypedObject*>(p));
}

// Optional arguments --------------------------------------------------------------

inline int OptInt(lua_State* L, int idx, int def) {
  LUA_GetValue(L, idx, def);
  return def;
}

inline float OptFloat(lua_State* L, int idx, float def) {
  LUA_GetValue(L, idx, def);
  return def;
}

inline bool OptBool(lua_State* L, int idx, bool def) {
  LUA_GetValue(L, idx, def);
  return def;
}

inline const char* OptString(lua_State* L, int idx, const char* def) {
  LUA_GetValue(L, idx, def);
  return def;
}

inline VisVector_cl OptVector(lua_State* L, int idx, const VisVector_cl& def) {
  VisVector_cl v = def;
  LUA_GetValue(L, idx, v);
  return v;
}

// Results: each pushes one value and returns the count for the binding's return. ----

inline int PushInt(lua_State* L, int v) {
  lua_pushinteger(L, v);
  return 1;
}

inline int PushFloat(lua_State* L, float v) {
  lua_pushnumber(L, v);
  return 1;
}

inline int PushBool(lua_State* L, bool v) {
  lua_pushboolean(L, v ? 1 : 0);
  return 1;
}

inline int PushString(lua_State* L, const char* v) {
  lua_pushstring(L, v ? v : "");
  return 1;
}

inline int PushVector(lua_State* L, const VisVector_cl& v) {
  LUA_CreateVector3(L, v);
  return 1;
}

// The object's proxy through its script component; nil for null.
template <class T>
int PushObject(lua_State* L, T* obj) {
  if (!obj) {
    lua_pushnil(L);
    return 1;
  }
  LUA_PushObjectProxy(L, Vision::GetScriptManager()->GetScriptComponent(obj));
  return 1;
}

// A new table of an enumeration: key each name, value its position in the list.
inline int PushEnumTable(lua_State* L, const char* const* names, int count) {
  lua_createtable(L, 0, count);
  for (int i = 0; i < count; ++i) {
    lua_pushnumber(L, (lua_Number)i);
    lua_setfield(L, -2, names[i]);
  }
  return 1;
}

}  // namespace ScriptArgs
