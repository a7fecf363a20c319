// Fly camera.
#include "components/FreeCameraComponent.h"

#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisTypedEngineObject.h"

V_IMPLEMENT_DYNCREATE(FreeCameraComponent, CameraBaseComponent_cl)

namespace {
const char kBlockVersion = 1;
}  // namespace

FreeCameraComponent::FreeCameraComponent() = default;

void FreeCameraComponent::Init() {
  m_fScalar = 10.0f;
  m_fRotateStep = m_fMoveStep = Vision::Timer.GetTimeDifference() * 150.0f;
  m_vVelocity = VisVector_cl(0, 0, 0);
  m_vAngularVelocity = VisVector_cl(0, 0, 0);
}

void FreeCameraComponent::MessageFunction(int id, INT_PTR, INT_PTR) {
  switch (id) {
    case 116: m_vVelocity.x += m_fMoveStep; break;
    case 117: m_vVelocity.x -= m_fMoveStep; break;
    case 118: m_vVelocity.y += m_fMoveStep; break;
    case 119: m_vVelocity.y -= m_fMoveStep; break;
    case 120: m_vVelocity.z += m_fMoveStep; break;
    case 121: m_vVelocity.z -= m_fMoveStep; break;
    case 122: m_vAngularVelocity.y -= m_fRotateStep; break;
    case 123: m_vAngularVelocity.y += m_fRotateStep; break;
    case 124: m_vAngularVelocity.x += m_fRotateStep; break;
    case 125: m_vAngularVelocity.x -= m_fRotateStep; break;
    default: break;
  }
}

void FreeCameraComponent::Update() {
  if (!m_pOwner) return;
  VisObject3D_cl* owner = static_cast<VisObject3D_cl*>(m_pOwner);
  if (!m_vVelocity.IsZero()) {
    VisMatrix3x3_cl heading;
    heading.SetEulerAngles(owner->GetOrientation().x, 0.0f, 0.0f);
    owner->SetPosition(owner->GetPosition() + heading * m_vVelocity);
  }
  if (!m_vAngularVelocity.IsZero()) owner->SetOrientation(owner->GetOrientation() + m_vAngularVelocity);
  if (!KeepsMomentum()) {
    m_vVelocity = VisVector_cl(0, 0, 0);
    m_vAngularVelocity = VisVector_cl(0, 0, 0);
  }
}

void FreeCameraComponent::Serialize(VArchive& ar) {
  CameraBaseComponent_cl::Serialize(ar);
  if (!ar.IsOK()) return;
  SerializeX(ar);
}

bool FreeCameraComponent::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    ar << m_fScalar << m_fRotateStep << m_fMoveStep << m_vVelocity << m_vAngularVelocity;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, BlockOwner(), kBlockVersion);
  if (!block.IsOpen()) return false;
  // Every version carries the same fields.
  float scalar = m_fScalar, rotate = m_fRotateStep, move = m_fMoveStep;
  VisVector_cl velocity = m_vVelocity, angular = m_vAngularVelocity;
  ar >> scalar >> rotate >> move >> velocity >> angular;
  if (!block.End()) return false;
  m_fScalar = scalar;
  m_fRotateStep = rotate;
  m_fMoveStep = move;
  m_vVelocity = velocity;
  m_vAngularVelocity = angular;
  return true;
}
