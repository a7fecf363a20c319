// Land camera.
#include "components/LandBattleCameraComponent.h"

V_IMPLEMENT_DYNCREATE(LandBattleCameraComponent, CameraBaseComponent_cl)

LandBattleCameraComponent::LandBattleCameraComponent() = default;
