// A running script: its own globals over the master globals, calls of its
// functions by signature string, named values and their saved form.
#include "engine/core/VLuaInternal.h"

#include "engine/base/VArchive.h"
#include "engine/base/VisError.h"
#include "engine/core/VisTypedEngineObject.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool ValidLetters(const char* s, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    if (!strchr("ifbsov", s[i]) || !s[i]) return false;
  }
  return true;
}

// Sets env[name] = the value the pusher leaves on the stack.
template <class Push>
bool SetRaw(IVScriptInstance* inst, const char* name, Push push) {
  lua_State* L = inst->GetLuaState();
  if (!L || !name || !inst->IsValid()) return false;
  inst->PushEnvironment();
  lua_pushstring(L, name);
  push(L);
  lua_rawset(L, -3);
  lua_pop(L, 1);
  return true;
}

}  // namespace

IVScriptInstance::IVScriptInstance(lua_State* master, const char* file, VisTypedEngineObject_cl* owner)
    : m_L(master), m_file(file), m_pOwner(owner), m_pOwnerObject(owner) {
  if (!m_L) return;
  // The instance's globals: its own table, reading through to the master globals.
  lua_newtable(m_L);
  lua_newtable(m_L);
  lua_pushvalue(m_L, LUA_GLOBALSINDEX);
  lua_setfield(m_L, -2, "__index");
  lua_setmetatable(m_L, -2);
  m_envRef = luaL_ref(m_L, LUA_REGISTRYINDEX);
  // Calls run on a thread of their own, so they never disturb the master stack.
  m_thread = lua_newthread(m_L);
  m_threadRef = luaL_ref(m_L, LUA_REGISTRYINDEX);
  VScriptTrackInstance(this, true);
}

IVScriptInstance::~IVScriptInstance() {
  VScriptTrackInstance(this, false);
  if (m_L) {
    luaL_unref(m_L, LUA_REGISTRYINDEX, m_envRef);
    luaL_unref(m_L, LUA_REGISTRYINDEX, m_threadRef);
  }
}

void IVScriptInstance::Detach() {
  m_L = nullptr;
  m_thread = nullptr;
  m_envRef = LUA_NOREF;
  m_threadRef = LUA_NOREF;
}

void IVScriptInstance::SetOwner(VisTypedEngineObject_cl* owner) {
  VScriptTrackOwner(this, m_pOwnerObject, owner);
  m_pOwner = owner;
  m_pOwnerObject = owner;
}

void IVScriptInstance::SetOwnerObject(VTypedObject* owner) {
  VScriptTrackOwner(this, m_pOwnerObject, owner);
  m_pOwnerObject = owner;
  m_pOwner = owner && owner->IsOfType(VisTypedEngineObject_cl::GetClassTypeId())
                 ? static_cast<VisTypedEngineObject_cl*>(owner)
                 : nullptr;
}

void IVScriptInstance::PushEnvironment() {
  if (m_L && m_envRef != LUA_NOREF) lua_rawgeti(m_L, LUA_REGISTRYINDEX, m_envRef);
}

void IVScriptInstance::PushLookup(lua_State* L, const char* name) {
  lua_rawgeti(L, LUA_REGISTRYINDEX, m_envRef);
  lua_pushstring(L, name);
  lua_rawget(L, -2);
  if (lua_isnil(L, -1)) {
    lua_pop(L, 1);
    lua_pushstring(L, name);
    lua_rawget(L, LUA_GLOBALSINDEX);
  }
  lua_remove(L, -2);
}

bool IVScriptInstance::HasFunction(const char* name) {
  if (!IsValid() || !name) return false;
  PushLookup(m_L, name);
  bool found = lua_isfunction(m_L, -1);
  lua_pop(m_L, 1);
  return found;
}

bool IVScriptInstance::ExecuteFunctionArg(const char* name, const char* signature, ...) {
  va_list args;
  va_start(args, signature);
  bool ok = ExecuteFunctionArgV(name, signature, args);
  va_end(args);
  return ok;
}

bool IVScriptInstance::ExecuteFunctionArgV(const char* name, const char* signature, va_list args) {
  if (!IsValid() || !name) return false;
  const char* sig = signature ? signature : "";
  bool withSelf = *sig == '*';
  if (withSelf) ++sig;
  const char* arrow = strchr(sig, '>');
  size_t numIn = arrow ? (size_t)(arrow - sig) : strlen(sig);
  const char* outs = arrow ? arrow + 1 : "";
  size_t numOut = strlen(outs);
  if (!ValidLetters(sig, numIn) || !ValidLetters(outs, numOut)) {
    Vision::Error.Warning("Invalid script call signature \"%s\" for %s", signature, name);
    return false;
  }

  lua_State* L = m_thread;
  int base = lua_gettop(L);
  if (!lua_checkstack(L, (int)(numIn + numOut) + 8)) return false;
  lua_pushcfunction(L, VLuaTraceback);
  PushLookup(L, name);
  if (!lua_isfunction(L, -1)) {
    lua_settop(L, base);
    return false;
  }
  // The script may drop the last reference to this instance while it runs.
  bool hold = GetRefCount() > 0;
  if (hold) AddRef();

  if (withSelf) VLuaPushProxy(L, m_pOwnerObject);
  for (size_t i = 0; i < numIn; ++i) {
    switch (sig[i]) {
      case 'i': lua_pushinteger(L, va_arg(args, int)); break;
      case 'f': lua_pushnumber(L, va_arg(args, double)); break;
      case 'b': lua_pushboolean(L, va_arg(args, int)); break;
      case 's': {
        const char* s = va_arg(args, const char*);
        if (s) {
          lua_pushstring(L, s);
        } else {
          lua_pushnil(L);
        }
        break;
      }
      case 'o': VLuaPushProxy(L, va_arg(args, VisTypedEngineObject_cl*)); break;
      case 'v': {
        const VisVector_cl* v = va_arg(args, const VisVector_cl*);
        if (v) {
          LUA_CreateVector3(L, *v);
        } else {
          lua_pushnil(L);
        }
        break;
      }
    }
  }

  int status = lua_pcall(L, (int)numIn + (withSelf ? 1 : 0), (int)numOut, base + 1);
  bool ok = VScriptResourceManager::LuaErrorCheck(L, status);
  if (ok) {
    // Results sit above the handler; values of another type leave the output alone.
    for (size_t i = 0; i < numOut; ++i) {
      int idx = base + 2 + (int)i;
      switch (outs[i]) {
        case 'i': if (int* p = va_arg(args, int*)) LUA_GetValue(L, idx, *p); break;
        case 'f': if (float* p = va_arg(args, float*)) LUA_GetValue(L, idx, *p); break;
        case 'b': if (bool* p = va_arg(args, bool*)) LUA_GetValue(L, idx, *p); break;
        case 's': {
          VString* p = va_arg(args, VString*);
          const char* s = nullptr;
          if (p && LUA_GetValue(L, idx, s)) *p = VString(std::string(s, lua_objlen(L, idx)));
          break;
        }
        case 'o': {
          VisTypedEngineObject_cl** p = va_arg(args, VisTypedEngineObject_cl**);
          VisTypedEngineObject_cl* o = nullptr;
          if (p && LUA_GetValue(L, idx, o)) *p = o;
          break;
        }
        case 'v': if (VisVector_cl* p = va_arg(args, VisVector_cl*)) LUA_GetValue(L, idx, *p); break;
      }
    }
  }
  lua_settop(L, base);
  if (hold) Release();
  return ok;
}

bool IVScriptInstance::SetGlobal(const char* name, int v) {
  return SetRaw(this, name, [v](lua_State* L) { lua_pushinteger(L, v); });
}

bool IVScriptInstance::SetGlobal(const char* name, float v) {
  return SetRaw(this, name, [v](lua_State* L) { lua_pushnumber(L, v); });
}

bool IVScriptInstance::SetGlobal(const char* name, bool v) {
  return SetRaw(this, name, [v](lua_State* L) { lua_pushboolean(L, v); });
}

bool IVScriptInstance::SetGlobal(const char* name, const char* v) {
  if (!v) return false;
  return SetRaw(this, name, [v](lua_State* L) { lua_pushstring(L, v); });
}

bool IVScriptInstance::SetGlobal(const char* name, const VisVector_cl& v) {
  return SetRaw(this, name, [&v](lua_State* L) { LUA_CreateVector3(L, v); });
}

namespace {

// Reads the value PushLookup left on top and pops it.
template <class T>
bool PopValue(lua_State* L, T& out) {
  bool ok = LUA_GetValue(L, -1, out);
  lua_pop(L, 1);
  return ok;
}

}  // namespace

bool IVScriptInstance::GetGlobal(const char* name, int& v) {
  if (!IsValid() || !name) return false;
  PushLookup(m_L, name);
  return PopValue(m_L, v);
}

bool IVScriptInstance::GetGlobal(const char* name, float& v) {
  if (!IsValid() || !name) return false;
  PushLookup(m_L, name);
  return PopValue(m_L, v);
}

bool IVScriptInstance::GetGlobal(const char* name, bool& v) {
  if (!IsValid() || !name) return false;
  PushLookup(m_L, name);
  return PopValue(m_L, v);
}

bool IVScriptInstance::GetGlobal(const char* name, VString& v) {
  if (!IsValid() || !name) return false;
  PushLookup(m_L, name);
  bool ok = lua_type(m_L, -1) == LUA_TSTRING;
  if (ok) {
    size_t len = 0;
    const char* s = lua_tolstring(m_L, -1, &len);
    v = VString(std::string(s, len));
  }
  lua_pop(m_L, 1);
  return ok;
}

bool IVScriptInstance::GetGlobal(const char* name, VisVector_cl& v) {
  if (!IsValid() || !name) return false;
  PushLookup(m_L, name);
  return PopValue(m_L, v);
}

void IVScriptInstance::SerializeState(VArchive& ar) {
  const char kVersion = 1;
  if (ar.IsSaving()) {
    struct Entry {
      std::string name;
      char kind;
      double number;
      std::string text;
    };
    std::vector<Entry> entries;
    if (IsValid()) {
      PushEnvironment();
      lua_pushnil(m_L);
      while (lua_next(m_L, -2)) {
        if (lua_type(m_L, -2) == LUA_TSTRING) {
          size_t len = 0;
          const char* key = lua_tolstring(m_L, -2, &len);
          Entry e{std::string(key, len), 0, 0.0, std::string()};
          switch (lua_type(m_L, -1)) {
            case LUA_TNUMBER:
              e.kind = 'n';
              e.number = lua_tonumber(m_L, -1);
              break;
            case LUA_TBOOLEAN:
              e.kind = 'b';
              e.number = lua_toboolean(m_L, -1);
              break;
            case LUA_TSTRING: {
              size_t n = 0;
              const char* s = lua_tolstring(m_L, -1, &n);
              e.kind = 's';
              e.text.assign(s, n);
              break;
            }
            default:
              break;
          }
          if (e.kind) entries.push_back(std::move(e));
        }
        lua_pop(m_L, 1);
      }
      lua_pop(m_L, 1);
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
    ar << kVersion;
    ar << (int)entries.size();
    for (const Entry& e : entries) {
      ar << VString(e.name);
      ar << e.kind;
      if (e.kind == 'n') {
        ar << e.number;
      } else if (e.kind == 'b') {
        ar << (e.number != 0.0);
      } else {
        ar << VString(e.text);
      }
    }
    return;
  }

  char version = 0;
  ar >> version;
  if (version != kVersion) {
    Vision::Error.Warning("Script state of %s: unknown version %d", m_file.AsChar(), (int)version);
    ar.MarkFailed();  // the data cannot be skipped
    return;
  }
  int count = 0;
  ar >> count;
  for (int i = 0; i < count && ar.IsOK(); ++i) {
    VString name;
    char kind = 0;
    ar >> name >> kind;
    if (kind == 'n') {
      double d = 0;
      ar >> d;
      if (ar.IsOK()) SetRaw(this, name, [d](lua_State* L) { lua_pushnumber(L, d); });
    } else if (kind == 'b') {
      bool b = false;
      ar >> b;
      if (ar.IsOK()) SetGlobal(name, b);
    } else if (kind == 's') {
      VString s;
      ar >> s;
      if (ar.IsOK()) {
        SetRaw(this, name, [&s](lua_State* L) { lua_pushlstring(L, s.AsChar(), (size_t)s.GetLength()); });
      }
    } else {
      Vision::Error.Warning("Script state of %s: bad value kind %d", m_file.AsChar(), (int)kind);
      ar.MarkFailed();
      return;
    }
  }
}
