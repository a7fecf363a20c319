// Sea camera.
#include "components/ShipBattleCameraComponent.h"

V_IMPLEMENT_DYNCREATE(ShipBattleCameraComponent, CameraBaseComponent_cl)

ShipBattleCameraComponent::ShipBattleCameraComponent() = default;
void ShipBattleCameraComponent::SetForceCameraPosition(const VisVector_cl& position) {}
void ShipBattleCameraComponent::SetForceCameraPrevTargetPosition(const VisVector_cl& position) {
  m_vForcedPrevTarget = position;
}
