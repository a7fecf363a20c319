// The "BaseMissionProto" script class: a mission's script finishes or fails its
// mission, reads and writes the mission's properties and marks its targets on the
// radar while the mission is the tracked one.
#include "Missions/BaseMissionProto.h"

#include "Managers/RadarManager.h"
#include "core/BaseComponent.h"
#include "core/BaseEntity.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"

#include "engine/Vision.h"
#include "engine/base/VarTable.h"

#include <cstdio>
#include <cstdlib>

using namespace ScriptArgs;

namespace {

const char* const kExpectMission = "Expected native object of type BaseMissionProto*";
const char* const kExpectName = "Expected const char *";

BaseMissionProto* CheckMission(lua_State* L) {
  return CheckNativeObject<BaseMissionProto>(L, 1, &BaseMissionProto_info, kExpectMission);
}

// The argument as a game entity, or null.
BaseEntity* OptEntity(lua_State* L, int idx) {
  VisTypedEngineObject_cl* object = nullptr;
  if (!LUA_GetValue(L, idx, object) || !object || !object->IsOfType(BaseEntity::GetClassTypeId())) return nullptr;
  return static_cast<BaseEntity*>(object);
}

// The value is checked against the variable's kind and written through its text
// form, so the engine variable converts it as the editor would.
int SetProperty(lua_State* L) {
  BaseMissionProto* mission = CheckMission(L);
  const char* name = CheckString(L, 2, kExpectName);
  VisVariable_cl* var = mission->GetVariable(name);
  if (!var) return luaL_error(L, "Attempted to assign a value to non-existent entity property '%s'.", name);
  char text[160];
  switch (BaseComponent::GetPropertyKind(var->type)) {
    case BaseComponent::PROPERTY_NUMBER: {
      double n = 0.0;
      if (!LUA_GetValue(L, 3, n)) return luaL_argerror(L, 4, "Expected lua_Number");
      std::snprintf(text, sizeof(text), "%.17g", n);
      break;
    }
    case BaseComponent::PROPERTY_BOOL: {
      const bool b = CheckBool(L, 3);
      std::snprintf(text, sizeof(text), "%s", b ? "TRUE" : "FALSE");
      break;
    }
    case BaseComponent::PROPERTY_VECTOR: {
      const VisVector_cl v = CheckVector(L, 3, "Expected lua_Number*");
      std::snprintf(text, sizeof(text), "%.9g/%.9g/%.9g", v.x, v.y, v.z);
      break;
    }
    case BaseComponent::PROPERTY_TEXT: {
      const char* value = CheckString(L, 3, kExpectName);
      mission->SetVariable(name, value);
      return 0;
    }
    case BaseComponent::PROPERTY_COLOR: {
      VColorRef c;
      if (!LUA_GetValue(L, 3, c)) return luaL_argerror(L, 4, "Expected VColorRef");
      std::snprintf(text, sizeof(text), "%d/%d/%d/%d", (int)c.r, (int)c.g, (int)c.b, (int)c.a);
      break;
    }
    default:
      return 0;  // other variable types are not reachable from scripts
  }
  mission->SetVariable(name, text);
  return 0;
}

// Nil for an unknown name or a type scripts cannot hold.
int GetProperty(lua_State* L) {
  BaseMissionProto* mission = CheckMission(L);
  const char* name = CheckString(L, 2, kExpectName);
  VisVariable_cl* var = mission->GetVariable(name);
  VString text;
  if (!var || !mission->GetVariableValue(name, text)) {
    lua_pushnil(L);
    return 1;
  }
  const char* s = text.AsChar() ? text.AsChar() : "";
  switch (BaseComponent::GetPropertyKind(var->type)) {
    case BaseComponent::PROPERTY_NUMBER:
      lua_pushnumber(L, std::strtod(s, nullptr));
      return 1;
    case BaseComponent::PROPERTY_BOOL:
      return PushBool(L, text == VString("TRUE"));
    case BaseComponent::PROPERTY_VECTOR: {
      float x = 0, y = 0, z = 0;
      std::sscanf(s, "%f/%f/%f", &x, &y, &z);
      return PushVector(L, VisVector_cl(x, y, z));
    }
    case BaseComponent::PROPERTY_TEXT:
      return PushString(L, s);
    case BaseComponent::PROPERTY_COLOR: {
      int r = 0, g = 0, b = 0, a = 255;
      std::sscanf(s, "%d/%d/%d/%d", &r, &g, &b, &a);
      LUA_PushColor(L, VColorRef((unsigned char)r, (unsigned char)g, (unsigned char)b, (unsigned char)a));
      return 1;
    }
    default:
      lua_pushnil(L);
      return 1;
  }
}

int SetCompleted(lua_State* L) {
  BaseMissionProto* mission = CheckMission(L);
  const bool completed = CheckBool(L, 2);
  mission->SetCompleted(completed ? 1 : 0);
  return 0;
}

int SetFailed(lua_State* L) {
  BaseMissionProto* mission = CheckMission(L);
  const bool failed = CheckBool(L, 2);
  mission->SetFailed(failed);
  return 0;
}

int Track(lua_State* L) {
  BaseMissionProto* mission = CheckMission(L);
  BaseEntity* entity = OptEntity(L, 2);
  if (mission->IsTracked() && entity) RadarManager::GetInstance()->Add(entity, TRACK_TARGET);
  return 0;
}

int EndTrack(lua_State* L) {
  CheckMission(L);
  if (BaseEntity* entity = OptEntity(L, 2)) RadarManager::GetInstance()->Remove(entity);
  return 0;
}

int TrackPosition(lua_State* L) {
  BaseMissionProto* mission = CheckMission(L);
  const VisVector_cl position = CheckVector(L, 2);
  if (mission->IsTracked()) RadarManager::GetInstance()->Add(position);
  return 0;
}

int EndTrackPosition(lua_State* L) {
  CheckMission(L);
  const VisVector_cl position = CheckVector(L, 2);
  RadarManager::GetInstance()->Remove(position);
  return 0;
}

const luaL_Reg BaseMissionProto_methods[] = {
    {"SetProperty", SetProperty},
    {"GetProperty", GetProperty},
    {"SetCompleted", SetCompleted},
    {"SetFailed", SetFailed},
    {"Track", Track},
    {"EndTrack", EndTrack},
    {"TrackPosition", TrackPosition},
    {"EndTrackPosition", EndTrackPosition},
    {nullptr, nullptr},
};

}  // namespace

NativeClassInfo BaseMissionProto_info = {"BaseMissionProto", &VisTypedEngineObject_info, BaseMissionProto_methods};
