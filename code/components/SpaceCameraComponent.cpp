// Fly camera with inertia.
#include "components/SpaceCameraComponent.h"

V_IMPLEMENT_DYNCREATE(SpaceCameraComponent, FreeCameraComponent)

SpaceCameraComponent::SpaceCameraComponent() = default;

void SpaceCameraComponent::Init() {
  m_fScalar = m_fRotateStep = m_fMoveStep = 0.01f;
  m_vVelocity = VisVector_cl(0, 0, 0);
  m_vAngularVelocity = VisVector_cl(0, 0, 0);
}

void SpaceCameraComponent::MessageFunction(int id, INT_PTR p1, INT_PTR p2) {
  if (id == 132) {
    m_vVelocity = VisVector_cl(0, 0, 0, 0);
    m_vAngularVelocity = VisVector_cl(0, 0, 0, 0);
    return;
  }
  FreeCameraComponent::MessageFunction(id, p1, p2);
}
