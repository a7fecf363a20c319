// Camera behaviour base.
#include "components/CameraBaseComponent.h"

#include "entities/CameraEntity.h"

#include "engine/base/VisTimer.h"
#include "engine/core/VisCallbacks.h"

V_IMPLEMENT_DYNCREATE(CameraBaseComponent_cl, IVObjectComponent)

namespace {
// Shared by every camera and never reset by the game: each call moves further.
float g_fInterpolation = 0.0f;
}  // namespace

const char* const CameraBaseComponent_cl::kOwnerReason =
    "Component can only be added to instances of CameraEntity_cl or derived classes.";

CameraBaseComponent_cl::CameraBaseComponent_cl() = default;

CameraBaseComponent_cl::~CameraBaseComponent_cl() {
  Vision::Callbacks.OnAfterSceneLoaded.DeregisterCallback(this);
  Vision::Callbacks.OnFrameUpdatePreRender.DeregisterCallback(this);
}

void CameraBaseComponent_cl::SetOwner(VisTypedEngineObject_cl* owner) {
  IVObjectComponent::SetOwner(owner);
  if (owner) {
    Vision::Callbacks.OnAfterSceneLoaded.RegisterCallback(this);
    Vision::Callbacks.OnFrameUpdatePreRender.RegisterCallback(this);
  } else {
    Vision::Callbacks.OnAfterSceneLoaded.DeregisterCallback(this);
    Vision::Callbacks.OnFrameUpdatePreRender.DeregisterCallback(this);
  }
}

int CameraBaseComponent_cl::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!IVObjectComponent::CanAttachToObject(object, reason)) return 0;
  if (object && object->IsOfType(CameraEntity_cl::GetClassTypeId())) return 1;
  reason = kOwnerReason;
  return 0;
}

void CameraBaseComponent_cl::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  if (data->m_pSender == &Vision::Callbacks.OnAfterSceneLoaded)
    Init();
  else if (data->m_pSender == &Vision::Callbacks.OnFrameUpdatePreRender)
    Update();
}

void CameraBaseComponent_cl::Intepolate(VisVector_cl& current, VisVector_cl& target, float) {
  current = current + (target - current) * g_fInterpolation;
  current.w = 1.0f;
  g_fInterpolation += Vision::Timer.GetTimeDifference();
}

float CameraBaseComponent_cl::GetInterpolationFactor() { return g_fInterpolation; }
void CameraBaseComponent_cl::ResetInterpolationFactor() { g_fInterpolation = 0.0f; }
