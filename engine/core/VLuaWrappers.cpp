// Wrapper classes and object proxies for scripts, the typed argument readers,
// and the Vector and Color value types.
#include "engine/core/VLuaInternal.h"

#include "engine/core/IVObjectComponent.h"
#include "engine/core/VisBaseEntity.h"
#include "engine/core/VisPath.h"
#include "engine/core/VisTypedEngineObject.h"

#include <cstdio>

namespace {

// Registry keys: addresses of these bytes, pushed as light userdata.
char kProxies;      // weak-valued table: light userdata(object) -> proxy
char kClasses;      // class name -> metatable
char kTypeCache;    // light userdata(VType) -> metatable
char kVectorMeta;
char kColorMeta;
char kEngineTypes;  // set once the engine records are registered

constexpr uint64_t kProxyMagic = 0x5052'4f58'5956'4953ull;
constexpr uint64_t kVectorMagic = 0x5645'4354'4f52'3356ull;
constexpr uint64_t kColorMagic = 0x434f'4c4f'5252'4546ull;

// Pushes registry[key].
void PushRegistry(lua_State* L, const void* key) {
  lua_pushlightuserdata(L, const_cast<void*>(key));
  lua_rawget(L, LUA_REGISTRYINDEX);
}

// Pushes registry[key], creating an empty table (weak-valued on request).
void PushRegistryTable(lua_State* L, const void* key, bool weakValues = false) {
  PushRegistry(L, key);
  if (lua_istable(L, -1)) return;
  lua_pop(L, 1);
  lua_newtable(L);
  if (weakValues) {
    lua_newtable(L);
    lua_pushliteral(L, "v");
    lua_setfield(L, -2, "__mode");
    lua_setmetatable(L, -2);
  }
  lua_pushlightuserdata(L, const_cast<void*>(key));
  lua_pushvalue(L, -2);
  lua_rawset(L, LUA_REGISTRYINDEX);
}

template <class T>
T* ToBlock(lua_State* L, int idx, uint64_t magic) {
  if (lua_type(L, idx) != LUA_TUSERDATA || lua_objlen(L, idx) != sizeof(T)) return nullptr;
  T* block = static_cast<T*>(lua_touserdata(L, idx));
  return block->magic == magic ? block : nullptr;
}

bool IsDerivedRecord(const NativeClassInfo* info, const NativeClassInfo* base) {
  for (int depth = 0; info && depth < 64; info = info->parent, ++depth) {
    if (info == base) return true;
  }
  return false;
}

int ProxyToString(lua_State* L) {
  VLuaProxy* p = VLuaToProxy(L, 1);
  const char* name = p && p->info && p->info->className ? p->info->className : "object";
  if (p && p->object) {
    lua_pushfstring(L, "%s: %p", name, (void*)p->object);
  } else {
    lua_pushfstring(L, "%s: destroyed", name);
  }
  return 1;
}

// Builds the metatable of a wrapper class: the methods of the record and its
// parents (the record's own win), its record, its name. Leaves it on the stack.
void PushNewClassMetatable(lua_State* L, NativeClassInfo* info) {
  const NativeClassInfo* chain[64];
  int n = 0;
  for (const NativeClassInfo* r = info; r && n < 64; r = r->parent) chain[n++] = r;

  lua_newtable(L);  // metatable
  lua_newtable(L);  // methods
  for (int i = n - 1; i >= 0; --i) {
    for (const luaL_Reg* m = chain[i]->methods; m && m->name; ++m) {
      lua_pushcfunction(L, m->func);
      lua_setfield(L, -2, m->name);
    }
  }
  lua_setfield(L, -2, "__index");
  lua_pushlightuserdata(L, info);
  lua_setfield(L, -2, "__info");
  lua_pushstring(L, info->className ? info->className : "");
  lua_setfield(L, -2, "__name");
  lua_pushcfunction(L, ProxyToString);
  lua_setfield(L, -2, "__tostring");
}

void RegisterClass(lua_State* L, NativeClassInfo* info) {
  if (!info || !info->className) return;
  PushRegistryTable(L, &kClasses);
  PushNewClassMetatable(L, info);
  lua_setfield(L, -2, info->className);
  lua_pop(L, 1);
  // Classes registered later may be more derived for some object types.
  lua_pushlightuserdata(L, &kTypeCache);
  lua_newtable(L);
  lua_rawset(L, LUA_REGISTRYINDEX);
}

// Pushes the metatable for proxies of this object's class.
void PushMetatableFor(lua_State* L, VTypedObject* obj) {
  VType* type = obj->GetTypeId();
  PushRegistryTable(L, &kTypeCache);
  lua_pushlightuserdata(L, type);
  lua_rawget(L, -2);
  if (lua_istable(L, -1)) {
    lua_remove(L, -2);
    return;
  }
  lua_pop(L, 1);

  PushRegistryTable(L, &kClasses);  // cache, classes
  bool found = false;
  for (VType* t = type; t && !found; t = t->GetParent()) {
    lua_getfield(L, -1, t->GetClassName());
    if (lua_istable(L, -1)) {
      found = true;
    } else {
      lua_pop(L, 1);
    }
  }
  if (!found) {
    const NativeClassInfo* fallback = &VisTypedEngineObject_info;
    if (obj->IsOfType(VisBaseEntity_cl::GetClassTypeId())) {
      fallback = &VisBaseEntity_info;
    } else if (obj->IsOfType(IVObjectComponent::GetClassTypeId())) {
      fallback = &IVObjectComponent_info;
    }
    lua_getfield(L, -1, fallback->className);
  }
  // cache, classes, metatable
  lua_pushlightuserdata(L, type);
  lua_pushvalue(L, -2);
  lua_rawset(L, -5);
  lua_replace(L, -3);
  lua_pop(L, 1);
}

// Vector ---------------------------------------------------------------------

VLuaVector* CheckVectorOperand(lua_State* L, int idx) {
  VLuaVector* v = VLuaToVector(L, idx);
  if (!v) luaL_error(L, "Expected VisVector_cl");
  return v;
}

float* VectorField(VLuaVector* v, const char* key) {
  if (!key || !key[0] || key[1]) return nullptr;
  switch (key[0]) {
    case 'x': return &v->x;
    case 'y': return &v->y;
    case 'z': return &v->z;
    default: return nullptr;
  }
}

int VectorIndex(lua_State* L) {
  VLuaVector* v = VLuaToVector(L, 1);
  float* f = v && lua_type(L, 2) == LUA_TSTRING ? VectorField(v, lua_tostring(L, 2)) : nullptr;
  if (f) {
    lua_pushnumber(L, *f);
  } else {
    lua_pushnil(L);
  }
  return 1;
}

int VectorNewIndex(lua_State* L) {
  VLuaVector* v = VLuaToVector(L, 1);
  float* f = v && lua_type(L, 2) == LUA_TSTRING ? VectorField(v, lua_tostring(L, 2)) : nullptr;
  if (!f) return luaL_error(L, "Vector has no field '%s'", luaL_optstring(L, 2, "?"));
  if (lua_type(L, 3) != LUA_TNUMBER) return luaL_argerror(L, 3, "Expected lua_Number");
  *f = (float)lua_tonumber(L, 3);
  return 0;
}

int VectorAdd(lua_State* L) {
  VLuaVector* a = CheckVectorOperand(L, 1);
  VLuaVector* b = CheckVectorOperand(L, 2);
  LUA_CreateVector3(L, VisVector_cl(a->x + b->x, a->y + b->y, a->z + b->z));
  return 1;
}

int VectorSub(lua_State* L) {
  VLuaVector* a = CheckVectorOperand(L, 1);
  VLuaVector* b = CheckVectorOperand(L, 2);
  LUA_CreateVector3(L, VisVector_cl(a->x - b->x, a->y - b->y, a->z - b->z));
  return 1;
}

int VectorMul(lua_State* L) {
  int vi = VLuaToVector(L, 1) ? 1 : 2;
  VLuaVector* v = CheckVectorOperand(L, vi);
  int si = vi == 1 ? 2 : 1;
  if (lua_type(L, si) != LUA_TNUMBER) return luaL_error(L, "Expected lua_Number");
  float s = (float)lua_tonumber(L, si);
  LUA_CreateVector3(L, VisVector_cl(v->x * s, v->y * s, v->z * s));
  return 1;
}

int VectorUnm(lua_State* L) {
  VLuaVector* v = CheckVectorOperand(L, 1);
  LUA_CreateVector3(L, VisVector_cl(-v->x, -v->y, -v->z));
  return 1;
}

int VectorEq(lua_State* L) {
  VLuaVector* a = VLuaToVector(L, 1);
  VLuaVector* b = VLuaToVector(L, 2);
  lua_pushboolean(L, a && b && a->x == b->x && a->y == b->y && a->z == b->z);
  return 1;
}

int VectorToString(lua_State* L) {
  VLuaVector* v = CheckVectorOperand(L, 1);
  char buf[128];
  snprintf(buf, sizeof(buf), "Vector(%g, %g, %g)", (double)v->x, (double)v->y, (double)v->z);
  lua_pushstring(L, buf);
  return 1;
}

// Color ----------------------------------------------------------------------

UBYTE* ColorField(VLuaColor* c, const char* key) {
  if (!key || !key[0] || key[1]) return nullptr;
  switch (key[0]) {
    case 'r': return &c->color.r;
    case 'g': return &c->color.g;
    case 'b': return &c->color.b;
    case 'a': return &c->color.a;
    default: return nullptr;
  }
}

int ColorIndex(lua_State* L) {
  VLuaColor* c = VLuaToColor(L, 1);
  UBYTE* f = c && lua_type(L, 2) == LUA_TSTRING ? ColorField(c, lua_tostring(L, 2)) : nullptr;
  if (f) {
    lua_pushinteger(L, *f);
  } else {
    lua_pushnil(L);
  }
  return 1;
}

int ColorNewIndex(lua_State* L) {
  VLuaColor* c = VLuaToColor(L, 1);
  UBYTE* f = c && lua_type(L, 2) == LUA_TSTRING ? ColorField(c, lua_tostring(L, 2)) : nullptr;
  if (!f) return luaL_error(L, "Color has no field '%s'", luaL_optstring(L, 2, "?"));
  if (lua_type(L, 3) != LUA_TNUMBER) return luaL_argerror(L, 3, "Expected lua_Number");
  int v = VLuaNumberToInt(lua_tonumber(L, 3));
  *f = (UBYTE)(v < 0 ? 0 : v > 255 ? 255 : v);
  return 0;
}

int ColorEq(lua_State* L) {
  VLuaColor* a = VLuaToColor(L, 1);
  VLuaColor* b = VLuaToColor(L, 2);
  lua_pushboolean(L, a && b && a->color == b->color);
  return 1;
}

int ColorToString(lua_State* L) {
  VLuaColor* c = VLuaToColor(L, 1);
  if (!c) return luaL_error(L, "Expected VColorRef");
  lua_pushfstring(L, "Color(%d, %d, %d, %d)", (int)c->color.r, (int)c->color.g, (int)c->color.b,
                  (int)c->color.a);
  return 1;
}

void RegisterValueType(lua_State* L, const void* key, const luaL_Reg* functions) {
  lua_pushlightuserdata(L, const_cast<void*>(key));
  lua_newtable(L);
  for (const luaL_Reg* f = functions; f->name; ++f) {
    lua_pushcfunction(L, f->func);
    lua_setfield(L, -2, f->name);
  }
  lua_rawset(L, LUA_REGISTRYINDEX);
}

const luaL_Reg kVectorFunctions[] = {
    {"__index", VectorIndex}, {"__newindex", VectorNewIndex}, {"__add", VectorAdd},
    {"__sub", VectorSub},     {"__mul", VectorMul},           {"__unm", VectorUnm},
    {"__eq", VectorEq},       {"__tostring", VectorToString}, {nullptr, nullptr}};

const luaL_Reg kColorFunctions[] = {{"__index", ColorIndex},
                                    {"__newindex", ColorNewIndex},
                                    {"__eq", ColorEq},
                                    {"__tostring", ColorToString},
                                    {nullptr, nullptr}};

// Pushes the metatable stored under key, setting up the engine types first
// on a state that has never seen them.
void PushValueMetatable(lua_State* L, const void* key) {
  PushRegistry(L, key);
  if (lua_istable(L, -1)) return;
  lua_pop(L, 1);
  VLuaEnsureEngineTypes(L);
  PushRegistry(L, key);
}

// Raw field read: no metamethods, so it cannot raise a script error.
bool ReadNumberField(lua_State* L, int table, const char* name, float& out) {
  lua_pushstring(L, name);
  lua_rawget(L, table);
  bool ok = lua_type(L, -1) == LUA_TNUMBER;
  if (ok) out = (float)lua_tonumber(L, -1);
  lua_pop(L, 1);
  return ok;
}

}  // namespace

// Internals --------------------------------------------------------------------

VLuaProxy* VLuaToProxy(lua_State* L, int idx) { return ToBlock<VLuaProxy>(L, idx, kProxyMagic); }
VLuaVector* VLuaToVector(lua_State* L, int idx) { return ToBlock<VLuaVector>(L, idx, kVectorMagic); }
VLuaColor* VLuaToColor(lua_State* L, int idx) { return ToBlock<VLuaColor>(L, idx, kColorMagic); }

void VLuaEnsureEngineTypes(lua_State* L) {
  PushRegistry(L, &kEngineTypes);
  bool done = lua_toboolean(L, -1);
  lua_pop(L, 1);
  if (done) return;
  lua_pushlightuserdata(L, &kEngineTypes);
  lua_pushboolean(L, 1);
  lua_rawset(L, LUA_REGISTRYINDEX);
  RegisterValueType(L, &kVectorMeta, kVectorFunctions);
  RegisterValueType(L, &kColorMeta, kColorFunctions);
  RegisterClass(L, &VisTypedEngineObject_info);
  RegisterClass(L, &VisBaseEntity_info);
  RegisterClass(L, &IVObjectComponent_info);
  RegisterClass(L, &VisPath_cl_info);
}

void VLuaPushProxy(lua_State* L, VTypedObject* obj) {
  if (!obj) {
    lua_pushnil(L);
    return;
  }
  PushRegistryTable(L, &kProxies, true);
  lua_pushlightuserdata(L, obj);
  lua_rawget(L, -2);
  VLuaProxy* existing = VLuaToProxy(L, -1);
  if (existing && existing->object == obj) {
    lua_remove(L, -2);
    return;
  }
  lua_pop(L, 1);

  VLuaEnsureEngineTypes(L);
  PushMetatableFor(L, obj);  // proxies, metatable
  lua_getfield(L, -1, "__info");
  NativeClassInfo* info = static_cast<NativeClassInfo*>(lua_touserdata(L, -1));
  lua_pop(L, 1);

  VLuaProxy* p = static_cast<VLuaProxy*>(lua_newuserdata(L, sizeof(VLuaProxy)));
  p->magic = kProxyMagic;
  p->object = obj;
  p->info = info;
  lua_insert(L, -2);
  lua_setmetatable(L, -2);  // proxies, proxy
  lua_pushlightuserdata(L, obj);
  lua_pushvalue(L, -2);
  lua_rawset(L, -4);
  lua_remove(L, -2);
}

void VLuaInvalidateProxy(lua_State* L, VTypedObject* obj) {
  if (!L || !obj) return;
  PushRegistry(L, &kProxies);
  if (!lua_istable(L, -1)) {
    lua_pop(L, 1);
    return;
  }
  lua_pushlightuserdata(L, obj);
  lua_rawget(L, -2);
  if (VLuaProxy* p = VLuaToProxy(L, -1)) {
    if (p->object == obj) p->object = nullptr;
  }
  lua_pop(L, 1);
  lua_pushlightuserdata(L, obj);
  lua_pushnil(L);
  lua_rawset(L, -3);
  lua_pop(L, 1);
}

// Public machinery ---------------------------------------------------------------

void LUA_CreateWrapperClass(lua_State* L, NativeClassInfo* info) {
  VLuaEnsureEngineTypes(L);
  RegisterClass(L, info);
}

void LUA_PushObjectProxy(lua_State* L, VisTypedEngineObject_cl* obj) { VLuaPushProxy(L, obj); }

void LUA_PushObjectProxy(lua_State* L, IVObjectComponent* comp) { VLuaPushProxy(L, comp); }

void* LUA_GetNativeObject(lua_State* L, int idx, NativeClassInfo* info) {
  VLuaProxy* p = VLuaToProxy(L, idx);
  if (!p || !p->object) return nullptr;
  if (info && !IsDerivedRecord(p->info, info)) return nullptr;
  return p->object;
}

bool LUA_GetValue(lua_State* L, int idx, int& out) {
  if (lua_type(L, idx) != LUA_TNUMBER) return false;
  out = VLuaNumberToInt(lua_tonumber(L, idx));
  return true;
}

bool LUA_GetValue(lua_State* L, int idx, float& out) {
  if (lua_type(L, idx) != LUA_TNUMBER) return false;
  out = (float)lua_tonumber(L, idx);
  return true;
}

bool LUA_GetValue(lua_State* L, int idx, double& out) {
  if (lua_type(L, idx) != LUA_TNUMBER) return false;
  out = lua_tonumber(L, idx);
  return true;
}

bool LUA_GetValue(lua_State* L, int idx, bool& out) {
  if (lua_type(L, idx) != LUA_TBOOLEAN) return false;
  out = lua_toboolean(L, idx) != 0;
  return true;
}

bool LUA_GetValue(lua_State* L, int idx, const char*& out) {
  if (lua_type(L, idx) != LUA_TSTRING) return false;
  out = lua_tostring(L, idx);
  return true;
}

bool LUA_GetValue(lua_State* L, int idx, VisVector_cl& out) {
  if (VLuaVector* v = VLuaToVector(L, idx)) {
    out = VisVector_cl(v->x, v->y, v->z);
    return true;
  }
  if (!lua_istable(L, idx)) return false;
  int t = idx > 0 || idx <= LUA_REGISTRYINDEX ? idx : lua_gettop(L) + idx + 1;
  float x, y, z;
  if (!ReadNumberField(L, t, "x", x) || !ReadNumberField(L, t, "y", y) || !ReadNumberField(L, t, "z", z)) {
    return false;
  }
  out = VisVector_cl(x, y, z);
  return true;
}

bool LUA_GetValue(lua_State* L, int idx, VisTypedEngineObject_cl*& out) {
  VLuaProxy* p = VLuaToProxy(L, idx);
  if (!p || !p->object || !p->object->IsOfType(VisTypedEngineObject_cl::GetClassTypeId())) return false;
  out = static_cast<VisTypedEngineObject_cl*>(p->object);
  return true;
}

bool LUA_GetValue(lua_State* L, int idx, VColorRef& out) {
  VLuaColor* c = VLuaToColor(L, idx);
  if (!c) return false;
  out = c->color;
  return true;
}

void LUA_CreateVector3(lua_State* L, const VisVector_cl& v) {
  VLuaVector* block = static_cast<VLuaVector*>(lua_newuserdata(L, sizeof(VLuaVector)));
  block->magic = kVectorMagic;
  block->x = v.x;
  block->y = v.y;
  block->z = v.z;
  PushValueMetatable(L, &kVectorMeta);
  lua_setmetatable(L, -2);
}

void LUA_PushColor(lua_State* L, const VColorRef& c) {
  VLuaColor* block = static_cast<VLuaColor*>(lua_newuserdata(L, sizeof(VLuaColor)));
  block->magic = kColorMagic;
  block->color = c;
  PushValueMetatable(L, &kColorMeta);
  lua_setmetatable(L, -2);
}
