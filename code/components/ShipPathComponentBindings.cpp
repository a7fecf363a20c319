// The "ShipPathComponent" script class: waypoints that put the ship's AI on a
// manual course towards a town, and following a scene path.
#include "components/AIShipComponent.h"
#include "components/ShipPathComponent.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"

#include "engine/Vision.h"
#include "engine/core/VisPath.h"

using namespace ScriptArgs;

namespace {

const char* const kExpectComponent = "Expected native object of type ShipPathComponent*";
const char* const kExpectPath = "Expected native object of type VisPath_cl*";
// Path parameter between two waypoints when the script names none.
const float kDefaultStep = 0.05f;

ShipPathComponent* CheckComponent(lua_State* L) {
  return CheckNativeObject<ShipPathComponent>(L, 1, &ShipPathComponent_info, kExpectComponent);
}

// A waypoint given by the script is a course of the AI's own: towards a town.
int AddScriptWaypoint(lua_State* L, bool useNavigation) {
  ShipPathComponent* path = CheckComponent(L);
  const VisVector_cl point = CheckVector(L, 2);
  path->AddWaypoint(point, useNavigation);
  VisTypedEngineObject_cl* owner = path->GetOwner();
  if (AIShipComponent* ai = owner ? owner->Components<AIShipComponent>() : nullptr) {
    ai->SetAIMode(AIShipComponent::AIMODE_GOTO_TOWN);
    ai->SetOnManualPath(true);
  }
  return 0;
}

int AddWaypoint(lua_State* L) { return AddScriptWaypoint(L, false); }

int AddWaypointWithPathfind(lua_State* L) { return AddScriptWaypoint(L, true); }

// False when the path cannot be followed (no owner, or a step of 0 or less).
int ShipFollowPath(lua_State* L) {
  ShipPathComponent* component = CheckComponent(L);
  VisPath_cl* path = CheckNativeObject<VisPath_cl>(L, 2, &VisPath_cl_info, kExpectPath);
  const float step = OptFloat(L, 3, kDefaultStep);
  return PushBool(L, component->FollowPath(path, step));
}

const luaL_Reg ShipPathComponent_methods[] = {
    {"AddWaypoint", AddWaypoint},
    {"AddWaypointWithPathfind", AddWaypointWithPathfind},
    {"ShipFollowPath", ShipFollowPath},
    {nullptr, nullptr},
};

}  // namespace

// The base path class has no script record of its own yet: its methods come with it.
NativeClassInfo ShipPathComponent_info = {"ShipPathComponent", &BaseComponent_info, ShipPathComponent_methods};
