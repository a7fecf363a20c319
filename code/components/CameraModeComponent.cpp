// Camera mode switch.
#include "components/CameraModeComponent.h"

#include "components/CameraBaseComponent.h"

V_IMPLEMENT_DYNCREATE(CameraModeComponent, IVObjectComponent)

CameraModeComponent::CameraModeComponent() = default;
int CameraModeComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  return IVObjectComponent::CanAttachToObject(object, reason);
}
void CameraModeComponent::SetCameraMode(CameraBaseComponent_cl* mode) {}
CameraBaseComponent_cl* CameraModeComponent::GetCurrentCameraMode() const { return nullptr; }
