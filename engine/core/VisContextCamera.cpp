// The main camera: follows an entity or is placed directly; the main context renders from it.
#include "engine/core/VisRenderContext.h"

#include "engine/core/VisCallbacks.h"
#include "engine/core/VisTypedEngineObject.h"

namespace Vision {
VisContextCamera_cl Camera;
}  // namespace Vision

void VisContextCamera_cl::AttachToEntity(VisObject3D_cl* entity, const VisVector_cl& offset) {
  if (!entity) {
    Detach();
    return;
  }
  m_pFollow = entity;
  m_vOffset = offset;
  Vision::Callbacks.OnObjectDestroyed.RegisterCallback(this);
  Update();
}

void VisContextCamera_cl::Detach() {
  if (!m_pFollow) return;
  m_pFollow = nullptr;
  Vision::Callbacks.OnObjectDestroyed.DeregisterCallback(this);
}

void VisContextCamera_cl::SetPosition(const VisVector_cl& p) {
  VisRenderContext_cl::GetMainRenderContext()->SetCameraPosition(p);
}

VisVector_cl VisContextCamera_cl::GetPosition() const {
  return VisRenderContext_cl::GetMainRenderContext()->GetCameraPosition();
}

void VisContextCamera_cl::SetRotationMatrix(const VisMatrix3x3_cl& m) {
  VisRenderContext_cl::GetMainRenderContext()->SetCameraRotation(m);
}

void VisContextCamera_cl::Update() {
  if (!m_pFollow) return;
  VisRenderContext_cl* main = VisRenderContext_cl::GetMainRenderContext();
  main->SetCameraPosition(m_pFollow->GetPosition() + m_vOffset);
  main->SetCameraRotation(m_pFollow->GetRotationMatrix());
}

void VisContextCamera_cl::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  auto* destroyed = static_cast<VisObjectDataObject_cl*>(data);
  if (m_pFollow && destroyed && destroyed->m_pObject == static_cast<VTypedObject*>(m_pFollow)) Detach();
}
