// Internals shared by the Lua layer of the engine: the userdata layouts of
// object proxies, vectors and colours, and the set-up of a fresh state.
#pragma once

#include "engine/core/VScriptManager.h"

#include <climits>
#include <cstdint>

class VTypedObject;

// Full userdata blocks; the magic word tells them apart from other userdata.
struct VLuaProxy {
  uint64_t magic;
  VTypedObject* object;  // null once the object was destroyed
  NativeClassInfo* info;
};

struct VLuaVector {
  uint64_t magic;
  float x, y, z;
};

struct VLuaColor {
  uint64_t magic;
  VColorRef color;
};

VLuaProxy* VLuaToProxy(lua_State* L, int idx);
VLuaVector* VLuaToVector(lua_State* L, int idx);
VLuaColor* VLuaToColor(lua_State* L, int idx);

// Pushes the proxy of any typed object (nil for null).
void VLuaPushProxy(lua_State* L, VTypedObject* obj);
// Clears the object's proxy so that readers give null, and forgets it.
void VLuaInvalidateProxy(lua_State* L, VTypedObject* obj);

// Registers the value types (Vector, Color) and the engine wrapper records;
// idempotent per state.
void VLuaEnsureEngineTypes(lua_State* L);
// The engine's base library: print, Vector, Color, SendMsg and the methods of
// the engine records.
void VLuaOpenBaseLibrary(lua_State* L);
// Message handler for lua_pcall: the error text with a stack traceback.
int VLuaTraceback(lua_State* L);

// Script numbers are doubles; ints truncate toward zero within the int range.
inline int VLuaNumberToInt(lua_Number n) {
  if (!(n == n)) return 0;
  if (n >= (lua_Number)INT_MAX) return INT_MAX;
  if (n <= (lua_Number)INT_MIN) return INT_MIN;
  return (int)n;
}

inline INT_PTR VLuaNumberToIntPtr(lua_Number n) {
  if (!(n == n)) return 0;
  if (n >= 9.2233720368547758e18) return INTPTR_MAX;
  if (n <= -9.2233720368547758e18) return INTPTR_MIN;
  return (INT_PTR)n;
}

// The script manager keeps a list of live instances so that closing the master
// state can detach them.
void VScriptTrackInstance(IVScriptInstance* inst, bool live);
// An instance's owner object changed (kept count of, per owner).
void VScriptTrackOwner(IVScriptInstance* inst, VTypedObject* before, VTypedObject* after);
