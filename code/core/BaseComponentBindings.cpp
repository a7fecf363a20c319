// The "BaseComponent" script class: scripts read and write any engine variable
// of a game component by its name, in the script form of the variable's type.
#include "core/BaseComponent.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"

#include "engine/Vision.h"

using namespace ScriptArgs;

namespace {

const char* const kExpectComponent = "Expected native object of type BaseComponent*";
const char* const kExpectName = "Expected const char *";

BaseComponent* CheckComponent(lua_State* L) {
  return CheckNativeObject<BaseComponent>(L, 1, &BaseComponent_info, kExpectComponent);
}

// The value is checked against the variable's kind before anything is set: a
// value of the wrong kind raises the argument error and leaves the variable as it was.
int SetProperty(lua_State* L) {
  BaseComponent* comp = CheckComponent(L);
  const char* name = CheckString(L, 2, kExpectName);
  if (!comp->GetVariable(name)) {
    return luaL_error(L, "Attempted to assign a value to non-existent component property '%s'.", name);
  }
  switch (comp->GetPropertyKind(name)) {
    case BaseComponent::PROPERTY_NUMBER: {
      double n = 0.0;
      if (!LUA_GetValue(L, 3, n)) return luaL_argerror(L, 4, "Expected lua_Number");
      comp->SetPropertyNumber(name, n);
      break;
    }
    case BaseComponent::PROPERTY_BOOL: {
      bool b = CheckBool(L, 3);
      comp->SetPropertyBool(name, b);
      break;
    }
    case BaseComponent::PROPERTY_VECTOR: {
      VisVector_cl v = CheckVector(L, 3, "Expected lua_Number*");
      comp->SetPropertyVector(name, v.x, v.y, v.z);
      break;
    }
    case BaseComponent::PROPERTY_TEXT: {
      const char* text = CheckString(L, 3, kExpectName);
      comp->SetPropertyText(name, text);
      break;
    }
    case BaseComponent::PROPERTY_COLOR: {
      VColorRef c;
      if (!LUA_GetValue(L, 3, c)) return luaL_argerror(L, 4, "Expected VColorRef");
      comp->SetPropertyColor(name, c);
      break;
    }
    case BaseComponent::PROPERTY_UNSUPPORTED:
      break;  // other variable types are not reachable from scripts
  }
  return 0;
}

// Nil for an unknown name or a type scripts cannot hold.
int GetProperty(lua_State* L) {
  BaseComponent* comp = CheckComponent(L);
  const char* name = CheckString(L, 2, kExpectName);
  switch (comp->GetPropertyKind(name)) {
    case BaseComponent::PROPERTY_NUMBER: {
      double n = 0.0;
      if (!comp->GetPropertyNumber(name, n)) break;
      lua_pushnumber(L, n);
      return 1;
    }
    case BaseComponent::PROPERTY_BOOL: {
      bool b = false;
      if (!comp->GetPropertyBool(name, b)) break;
      return PushBool(L, b);
    }
    case BaseComponent::PROPERTY_VECTOR: {
      double x = 0.0, y = 0.0, z = 0.0;
      if (!comp->GetPropertyVector(name, x, y, z)) break;
      return PushVector(L, VisVector_cl((float)x, (float)y, (float)z));
    }
    case BaseComponent::PROPERTY_TEXT: {
      VString text;
      if (!comp->GetPropertyText(name, text)) break;
      return PushString(L, text.AsChar());
    }
    case BaseComponent::PROPERTY_COLOR: {
      VColorRef c;
      if (!comp->GetPropertyColor(name, c)) break;
      LUA_PushColor(L, c);
      return 1;
    }
    case BaseComponent::PROPERTY_UNSUPPORTED:
      break;
  }
  lua_pushnil(L);
  return 1;
}

const luaL_Reg BaseComponent_methods[] = {
    {"SetProperty", SetProperty},
    {"GetProperty", GetProperty},
    {nullptr, nullptr},
};

}  // namespace

NativeClassInfo BaseComponent_info = {"BaseComponent", &IVObjectComponent_info, BaseComponent_methods};
