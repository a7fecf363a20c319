// Camera behaviour base.
#include "components/CameraBaseComponent.h"

#include "entities/CameraEntity.h"

V_IMPLEMENT_DYNCREATE(CameraBaseComponent_cl, IVObjectComponent)

const char* const CameraBaseComponent_cl::kOwnerReason =
    "Component can only be added to instances of CameraEntity_cl or derived classes.";

CameraBaseComponent_cl::CameraBaseComponent_cl() = default;
CameraBaseComponent_cl::~CameraBaseComponent_cl() = default;
void CameraBaseComponent_cl::SetOwner(VisTypedEngineObject_cl* owner) { IVObjectComponent::SetOwner(owner); }
int CameraBaseComponent_cl::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  return IVObjectComponent::CanAttachToObject(object, reason);
}
void CameraBaseComponent_cl::OnHandleCallback(IVisCallbackDataObject_cl* data) {}
void CameraBaseComponent_cl::Intepolate(VisVector_cl& current, VisVector_cl& target, float unused) {}
float CameraBaseComponent_cl::GetInterpolationFactor() { return 0.0f; }
void CameraBaseComponent_cl::ResetInterpolationFactor() {}
