// Camera input.
#include "components/CameraInputComponent.h"

#include "engine/base/VisInput.h"

V_IMPLEMENT_DYNCREATE(CameraInputComponent, IVObjectComponent)

CameraInputComponent::CameraInputComponent() = default;
CameraInputComponent::~CameraInputComponent() = default;
int CameraInputComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  return IVObjectComponent::CanAttachToObject(object, reason);
}
void CameraInputComponent::SetOwner(VisTypedEngineObject_cl* owner) { IVObjectComponent::SetOwner(owner); }
void CameraInputComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {}
void CameraInputComponent::Update() {}
void CameraInputComponent::InitInputMap() {}
