// The "LandBattleCameraComponent" script class: the land-battle script tunes the
// strategy camera's heights, tilt and speeds through it.
#include "components/LandBattleCameraComponent.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"

#include "engine/Vision.h"

using namespace ScriptArgs;

namespace {

const char* const kExpectComponent = "Expected native object of type LandBattleCameraComponent*";
// Stands for a left-out optional speed.
const float kNoValue = -999.0f;

LandBattleCameraComponent* CheckCamera(lua_State* L) {
  return CheckNativeObject<LandBattleCameraComponent>(L, 1, &LandBattleCameraComponent_info, kExpectComponent);
}

// The methods that set one float each.
template <void (LandBattleCameraComponent::*Set)(float)>
int SetFloat(lua_State* L) {
  LandBattleCameraComponent* camera = CheckCamera(L);
  const float value = CheckFloat(L, 2);
  (camera->*Set)(value);
  return 0;
}

// One value for all three axes, or forward, side and vertical speeds. A vertical
// speed left out (or negative) keeps the current one: a negative cap would turn
// the raise and lower keys round.
int SetMoveSpeed(lua_State* L) {
  LandBattleCameraComponent* camera = CheckCamera(L);
  const float x = CheckFloat(L, 2);
  const float y = OptFloat(L, 3, kNoValue);
  const float z = OptFloat(L, 4, kNoValue);
  if (y < 0.0f) {
    camera->SetMoveSpeed(x);
  } else {
    camera->SetMoveSpeed(x, y, z < 0.0f ? camera->GetMoveSpeed().z : z);
  }
  return 0;
}

const luaL_Reg LandBattleCameraComponent_methods[] = {
    {"SetMinHeight", SetFloat<&LandBattleCameraComponent::SetMinHeight>},
    {"SetMaxHeight", SetFloat<&LandBattleCameraComponent::SetMaxHeight>},
    {"SetMinHeightTiltOffset", SetFloat<&LandBattleCameraComponent::SetMinHeightTiltOffset>},
    {"SetMaxHeightTiltOffset", SetFloat<&LandBattleCameraComponent::SetMaxHeightTiltOffset>},
    {"SetDefaultTilt", SetFloat<&LandBattleCameraComponent::SetDefaultTilt>},
    {"SetMoveSpeed", SetMoveSpeed},
    {"SetMiddleMouseButtonDragSensitivity", SetFloat<&LandBattleCameraComponent::SetMiddleMouseButtonDragSensitivity>},
    {"SetMaxSpeedFactor", SetFloat<&LandBattleCameraComponent::SetMaxSpeedFactor>},
    {nullptr, nullptr},
};

}  // namespace

NativeClassInfo LandBattleCameraComponent_info = {"LandBattleCameraComponent", &IVObjectComponent_info,
                                                  LandBattleCameraComponent_methods};
