// The script manager over Lua 5.1: script resources and instances, calls by
// signature string, object proxies, wrapper classes and typed argument readers.
//
// Signatures: input letters, ">", output letters. i int, f float, s string,
// b bool, o object (VisTypedEngineObject_cl*), v vector (VisVector_cl*). A leading
// "*" passes the instance's owner object as self first. Outputs the script does
// not return keep the caller's values.
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/base/VString.h"
#include "engine/base/VisMath.h"

#include <cstdarg>

extern "C" {
#include <lua.h>
#include <lauxlib.h>
#include <lualib.h>
}

class VisTypedEngineObject_cl;
class VArchive;

class VBASE_IMPEXP IVScriptInstance : public VRefCounter {
 public:
  IVScriptInstance(lua_State* master, const char* file, VisTypedEngineObject_cl* owner);
  ~IVScriptInstance() override;

  bool HasFunction(const char* name);
  // Calls a global function of the instance; false when absent or when it failed
  // (the error is logged).
  bool ExecuteFunctionArg(const char* name, const char* signature, ...);
  bool ExecuteFunctionArgV(const char* name, const char* signature, va_list args);

  // Named globals of the instance ("bFound", "sName").
  bool SetGlobal(const char* name, int v);
  bool SetGlobal(const char* name, float v);
  bool SetGlobal(const char* name, bool v);
  bool SetGlobal(const char* name, const char* v);
  bool SetGlobal(const char* name, const VisVector_cl& v);
  bool GetGlobal(const char* name, int& v);
  bool GetGlobal(const char* name, float& v);
  bool GetGlobal(const char* name, bool& v);
  bool GetGlobal(const char* name, VString& v);
  bool GetGlobal(const char* name, VisVector_cl& v);

  lua_State* GetLuaState() const { return m_L; }
  VisTypedEngineObject_cl* GetOwner() const { return m_pOwner; }
  void SetOwner(VisTypedEngineObject_cl* owner) { m_pOwner = owner; }
  const char* GetFileName() const { return m_file.AsChar(); }
  // Pushes the instance's environment table (its globals) on the stack.
  void PushEnvironment();
  // Saves and restores the plain values (numbers, strings, booleans) of its globals.
  void SerializeState(VArchive& ar);

 private:
  lua_State* m_L;
  lua_State* m_thread = nullptr;
  int m_envRef = LUA_NOREF;
  int m_threadRef = LUA_NOREF;
  VString m_file;
  VisTypedEngineObject_cl* m_pOwner;
  friend class VScriptResourceManager;
};

// Record of a script wrapper class: name, parent record, methods.
struct NativeClassInfo {
  const char* className;
  NativeClassInfo* parent;
  const luaL_Reg* methods;
};

extern VBASE_IMPEXP NativeClassInfo VisTypedEngineObject_info;
extern VBASE_IMPEXP NativeClassInfo VisBaseEntity_info;
extern VBASE_IMPEXP NativeClassInfo IVObjectComponent_info;

class VBASE_IMPEXP VScriptResourceManager {
 public:
  VScriptResourceManager();
  ~VScriptResourceManager();

  lua_State* GetMasterState();
  // Loads a script file from the data folders into a new instance (null on failure).
  IVScriptInstance* CreateScriptInstanceFromFile(const char* file, VisTypedEngineObject_cl* owner = nullptr);
  // Runs a file in the master state's globals (LoadScript); false on failure.
  bool RunScriptFile(const char* file);
  bool RunString(const char* code, const char* chunkName = "=string");

  IVScriptInstance* GetGameScript() const { return m_pGameScript; }
  void SetGameScript(IVScriptInstance* s);
  IVScriptInstance* GetSceneScript() const { return m_pSceneScript; }
  void SetSceneScript(IVScriptInstance* s);
  // Script attached to an object (its script component), or null.
  IVScriptInstance* GetScriptInstance(VisTypedEngineObject_cl* obj) const;
  void SetScriptInstance(VisTypedEngineObject_cl* obj, IVScriptInstance* inst);
  void RemoveScriptInstance(VisTypedEngineObject_cl* obj);
  // The object itself serves as its script component for proxies.
  VisTypedEngineObject_cl* GetScriptComponent(VisTypedEngineObject_cl* obj) const { return obj; }
  // Forgets an object that is being destroyed (its proxies then read as nil).
  void OnObjectDestroyed(VisTypedEngineObject_cl* obj);

  // Logs a Lua error; true when status is 0.
  static bool LuaErrorCheck(lua_State* L, int status);
  void SetSuspended(bool s) { m_bSuspended = s; }
  bool IsSuspended() const { return m_bSuspended; }
  // The think tick: "OnThink" of the game and scene scripts when defined.
  void Think();
  // Shuts the master state down (engine de-initialisation).
  void Reset();

 private:
  lua_State* m_L = nullptr;
  IVScriptInstance* m_pGameScript = nullptr;
  IVScriptInstance* m_pSceneScript = nullptr;
  bool m_bSuspended = false;
  void* m_instances;  // object -> instance map (kept out of the header)
};

namespace Vision {
VBASE_IMPEXP VScriptResourceManager* GetScriptManager();
}

// Wrapper machinery.
VBASE_IMPEXP void LUA_CreateWrapperClass(lua_State* L, NativeClassInfo* info);
// Pushes the object's proxy; nil for null.
VBASE_IMPEXP void LUA_PushObjectProxy(lua_State* L, VisTypedEngineObject_cl* obj);
// The native object at idx when its class is info's class or derived from it; else null.
VBASE_IMPEXP void* LUA_GetNativeObject(lua_State* L, int idx, NativeClassInfo* info);
// Typed readers: true and store, or false and leave the destination.
VBASE_IMPEXP bool LUA_GetValue(lua_State* L, int idx, int& out);
VBASE_IMPEXP bool LUA_GetValue(lua_State* L, int idx, float& out);
VBASE_IMPEXP bool LUA_GetValue(lua_State* L, int idx, double& out);
VBASE_IMPEXP bool LUA_GetValue(lua_State* L, int idx, bool& out);
VBASE_IMPEXP bool LUA_GetValue(lua_State* L, int idx, const char*& out);
VBASE_IMPEXP bool LUA_GetValue(lua_State* L, int idx, VisVector_cl& out);
VBASE_IMPEXP bool LUA_GetValue(lua_State* L, int idx, VisTypedEngineObject_cl*& out);
VBASE_IMPEXP bool LUA_GetValue(lua_State* L, int idx, VColorRef& out);
VBASE_IMPEXP void LUA_CreateVector3(lua_State* L, const VisVector_cl& v);
VBASE_IMPEXP void LUA_PushColor(lua_State* L, const VColorRef& c);
