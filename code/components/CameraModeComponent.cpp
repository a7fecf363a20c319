// Camera mode switch.
#include "components/CameraModeComponent.h"

#include "components/CameraBaseComponent.h"
#include "entities/CameraEntity.h"

V_IMPLEMENT_DYNCREATE(CameraModeComponent, IVObjectComponent)

CameraModeComponent::CameraModeComponent() = default;

int CameraModeComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!IVObjectComponent::CanAttachToObject(object, reason)) return 0;
  if (object && object->IsOfType(CameraEntity_cl::GetClassTypeId())) return 1;
  reason = CameraBaseComponent_cl::kOwnerReason;
  return 0;
}

void CameraModeComponent::SetCameraMode(CameraBaseComponent_cl* mode) {
  if (!m_pOwner) return;
  CameraBaseComponent_cl* current = GetCurrentCameraMode();
  // Setting the active behaviour again must not free it: it only starts over.
  if (current && current != mode) current->DisposeObject();
  if (!mode) return;
  if (mode != current && !m_pOwner->AddComponent(mode)) return;
  mode->Init();
}

CameraBaseComponent_cl* CameraModeComponent::GetCurrentCameraMode() const {
  if (!m_pOwner) return nullptr;
  return static_cast<CameraBaseComponent_cl*>(m_pOwner->GetComponentOfType(CameraBaseComponent_cl::GetClassTypeId()));
}
