// The script manager over Lua 5.1: script resources and instances, calls by
// signature string, object proxies, wrapper classes and typed argument readers.
//
// Signatures: input letters, ">", output letters. i int, f float, s string,
// b bool, o object (VisTypedEngineObject_cl*), v vector (VisVector_cl*). A leading
// "*" passes the instance's owner object as self first. Outputs the script does
// not return keep the caller's values.
//
// One master state with the standard libraries. Each instance runs its file in
// its own globals, which read through to the master globals (where the game's
// tables live). Script numbers are doubles; readers of float round to float.
//
// The engine's base library in the master state: print(...) writes one log
// line "Lua: " + the arguments joined by tabs; Vector(x, y, z) and
// Color(r, g, b, a) make values (missing components 0, alpha 255);
// SendMsg(object, id[, p1[, p2]]) sends a message with pointer-sized numbers to
// an entity or a component. Entity proxies have GetKey, SetKey, GetPosition,
// SetPosition(Vector or x, y, z), GetOrientation, SetOrientation, GetUniqueID,
// Remove, AddComponentOfType(className[, name]), GetComponentOfType(className)
// and RemoveComponent(component).
//
// Components are not engine objects here (IVObjectComponent is a VTypedObject),
// so the calls that take an object have component overloads as well.
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/base/VString.h"
#include "engine/base/VisMath.h"

#include <cstdarg>
#include <cstddef>
#include <string>

extern "C" {
#include <lua.h>
#include <lauxlib.h>
#include <lualib.h>
}

class VTypedObject;
class VisTypedEngineObject_cl;
class IVObjectComponent;
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
  // The owner passed as self ("*"): an engine object, or a component through
  // SetOwnerObject (GetOwner is then null).
  VisTypedEngineObject_cl* GetOwner() const { return m_pOwner; }
  void SetOwner(VisTypedEngineObject_cl* owner);
  VTypedObject* GetOwnerObject() const { return m_pOwnerObject; }
  void SetOwnerObject(VTypedObject* owner);
  const char* GetFileName() const { return m_file.AsChar(); }
  // Pushes the instance's environment table (its globals) on the stack.
  void PushEnvironment();
  // Saves and restores the plain values (numbers, strings, booleans) of its globals.
  // Form: version byte 1, int32 count, then per global sorted by name: the name
  // (archive string), a kind byte ('n' number, 's' string, 'b' boolean) and the
  // value (double, archive string or bool).
  void SerializeState(VArchive& ar);
  // False once the master state was closed (Reset) or when creation failed.
  bool IsValid() const { return m_thread != nullptr; }

 private:
  // Forgets the Lua state (the manager closes it).
  void Detach();
  // Looks a name up as the script sees it (the instance's globals, then the
  // master globals) without metamethods; pushes the value on L.
  void PushLookup(lua_State* L, const char* name);

  lua_State* m_L;
  lua_State* m_thread = nullptr;
  int m_envRef = LUA_NOREF;
  int m_threadRef = LUA_NOREF;
  VString m_file;
  VisTypedEngineObject_cl* m_pOwner;
  VTypedObject* m_pOwnerObject = nullptr;
  friend class VScriptResourceManager;
};

// A script file read once, from which instances are made (each runs the text in
// globals of its own).
class VBASE_IMPEXP VScriptResource : public VRefCounter {
 public:
  VScriptResource(const char* file, std::string text) : m_file(file), m_text(std::move(text)) {}
  const char* GetFileName() const { return m_file.AsChar(); }
  // A new instance of the script (null when it does not run).
  IVScriptInstance* CreateScriptInstance(VisTypedEngineObject_cl* owner = nullptr);

 private:
  VString m_file;
  std::string m_text;
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
  // An object's script instance in an archive: its file (empty for none) and its
  // plain globals (IVScriptInstance::SerializeState).
  void WriteScriptInstance(VArchive& ar, IVScriptInstance* instance);
  // Reads what WriteScriptInstance wrote: a new instance of the file for owner with
  // its globals restored; null for none, and null (the archive failed) when the
  // file does not run or the block is damaged.
  IVScriptInstance* ReadScriptInstance(VArchive& ar, VisTypedEngineObject_cl* owner);
  // The same from text already read; file names the chunk.
  IVScriptInstance* CreateScriptInstanceFromText(const char* file, const char* text, size_t size,
                                                 VisTypedEngineObject_cl* owner = nullptr);
  // Reads a script file once into a resource that makes instances of it (null when
  // the file cannot be read). The caller holds the reference.
  VScriptResource* LoadScriptResource(const char* file);
  // Runs a file in the master state's globals (LoadScript); false on failure.
  bool RunScriptFile(const char* file);
  bool RunString(const char* code, const char* chunkName = "=string");

  IVScriptInstance* GetGameScript() const { return m_pGameScript; }
  void SetGameScript(IVScriptInstance* s);
  IVScriptInstance* GetSceneScript() const { return m_pSceneScript; }
  void SetSceneScript(IVScriptInstance* s);
  // Script attached to an object (its script component), or null.
  // Attaching makes the object the instance's owner and holds a reference;
  // a null instance detaches.
  IVScriptInstance* GetScriptInstance(VisTypedEngineObject_cl* obj) const;
  void SetScriptInstance(VisTypedEngineObject_cl* obj, IVScriptInstance* inst);
  void RemoveScriptInstance(VisTypedEngineObject_cl* obj);
  IVScriptInstance* GetScriptInstance(IVObjectComponent* comp) const;
  void SetScriptInstance(IVObjectComponent* comp, IVScriptInstance* inst);
  void RemoveScriptInstance(IVObjectComponent* comp);
  // The object itself serves as its script component for proxies.
  VisTypedEngineObject_cl* GetScriptComponent(VisTypedEngineObject_cl* obj) const { return obj; }
  IVObjectComponent* GetScriptComponent(IVObjectComponent* comp) const { return comp; }
  // Forgets an object that is being destroyed: its proxies then give null to
  // every reader, its script instance is released. Objects announced through
  // Vision::Callbacks.OnObjectDestroyed are forgotten as well.
  void OnObjectDestroyed(VisTypedEngineObject_cl* obj);
  void OnObjectDestroyed(IVObjectComponent* comp);
  // For destructors (components): the same, and nothing once the manager is gone.
  static void NotifyObjectDestroyed(VTypedObject* obj);

  // Logs a Lua error (warning "Lua error: " + the message, which it pops); true
  // when status is 0.
  static bool LuaErrorCheck(lua_State* L, int status);
  void SetSuspended(bool s) { m_bSuspended = s; }
  bool IsSuspended() const { return m_bSuspended; }
  // The think tick: "OnThink" of the scene script when defined. The game
  // script's "OnThink" belongs to the game (its handler of OnScriptThink), so
  // it is not called twice in a frame.
  void Think();
  // Shuts the master state down (engine de-initialisation).
  void Reset();

 private:
  lua_State* m_L = nullptr;
  IVScriptInstance* m_pGameScript = nullptr;
  IVScriptInstance* m_pSceneScript = nullptr;
  bool m_bSuspended = false;
  void* m_instances;  // object -> instance map (kept out of the header)

  IVScriptInstance* FindInstance(VTypedObject* obj) const;
  void AttachInstance(VTypedObject* obj, IVScriptInstance* inst);
  void DetachInstance(VTypedObject* obj);
  void ForgetObject(VTypedObject* obj);
  void CreateMasterState();
};

namespace Vision {
VBASE_IMPEXP VScriptResourceManager* GetScriptManager();
}

// Wrapper machinery.
VBASE_IMPEXP void LUA_CreateWrapperClass(lua_State* L, NativeClassInfo* info);
// Pushes the object's proxy; nil for null. One proxy per object; its class is the
// most derived wrapper class named after the object's class or a parent class.
VBASE_IMPEXP void LUA_PushObjectProxy(lua_State* L, VisTypedEngineObject_cl* obj);
VBASE_IMPEXP void LUA_PushObjectProxy(lua_State* L, IVObjectComponent* comp);
inline void LUA_PushObjectProxy(lua_State* L, std::nullptr_t) { lua_pushnil(L); }
// The native object at idx when its proxy's record is info or derives from it
// (by the record chain); null for anything else and for a destroyed object.
VBASE_IMPEXP void* LUA_GetNativeObject(lua_State* L, int idx, NativeClassInfo* info);
// Typed readers: true and store, or false and leave the destination. Numbers
// only for int/float/double (int truncates toward zero, clamped to the int
// range), booleans only for bool, strings only for text (valid while the value
// stays on the stack). A vector is a Vector value or a table with numeric x, y
// and z fields (read raw, w = 1). An engine object is a proxy whose object is
// alive and is a VisTypedEngineObject_cl (not a component).
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
