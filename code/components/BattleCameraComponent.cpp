// Height-limited free camera.
#include "components/BattleCameraComponent.h"

#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"
#include "engine/base/VisError.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisTypedEngineObject.h"

V_IMPLEMENT_DYNCREATE(BattleCameraComponent, CameraBaseComponent_cl)

namespace {
const char kBlockVersion = 2;
}  // namespace

BattleCameraComponent::BattleCameraComponent() = default;

void BattleCameraComponent::Init() {
  m_vOrientation = VisVector_cl(0, 36, 0);
  m_fMinHeight = 50.0f;
  m_fMaxHeight = 170.0f;
  m_fDefaultTilt = 36.0f;
  m_fMinHeightTiltOffset = 0.0f;
  m_fMaxHeightTiltOffset = -10.0f;
}

void BattleCameraComponent::MessageFunction(int id, INT_PTR p1, INT_PTR) {
  if (id < 101 || (id > 106 && id != 109 && id != 110)) return;
  // The input sends these every frame, held or not: a released key must not push.
  if (!p1) return;
  const float s = Vision::Timer.GetTimeDifference() * 60.0f;
  m_bKeepHeight = true;
  switch (id) {
    case 101: m_vVelocity.x += 2 * s; break;
    case 102: m_vVelocity.x -= 2 * s; break;
    case 103: m_vVelocity.y += 2 * s; break;
    case 104: m_vVelocity.y -= 2 * s; break;
    case 105:
      m_vVelocity.x -= 2 * s;
      m_vVelocity.z += s;
      m_bKeepHeight = false;
      break;
    case 106:
      m_vVelocity.x += 2 * s;
      m_vVelocity.z -= s;
      m_bKeepHeight = false;
      break;
    case 109: m_vAngularSpeed.x += s; break;
    case 110: m_vAngularSpeed.x -= s; break;
    default: break;
  }
}

void BattleCameraComponent::Update() {
  if (!m_pOwner) return;
  VisObject3D_cl* owner = static_cast<VisObject3D_cl*>(m_pOwner);

  m_vOrientation += m_vAngularSpeed;
  const float band = m_fMaxHeight - m_fMinHeight;
  const float share = band != 0.0f ? (m_vPosition.z - m_fMinHeight) / band : 0.0f;
  m_vOrientation.y =
      share * (m_fMaxHeightTiltOffset - m_fMinHeightTiltOffset) + m_fMinHeightTiltOffset + m_fDefaultTilt;
  owner->SetOrientation(m_vOrientation.x, m_vOrientation.y, m_vOrientation.z);

  VisVector_cl velocity = owner->GetRotationMatrix() * m_vVelocity;
  if (m_bKeepHeight) velocity.z = 0.0f;
  const float z = m_vPosition.z + velocity.z;
  if (z < m_fMinHeight)
    velocity = VisVector_cl(0, 0, m_fMinHeight - m_vPosition.z);
  else if (z > m_fMaxHeight)
    velocity = VisVector_cl(0, 0, m_fMaxHeight - m_vPosition.z);
  m_vPosition += velocity;
  owner->SetPosition(m_vPosition);
  m_vVelocity = VisVector_cl(0, 0, 0);
  m_vAngularSpeed = VisVector_cl(0, 0, 0);

  if (m_bDebugPrint) {
    Vision::Message.Print(10, 615, "Tilt: %.2f", m_vOrientation.y);
    Vision::Message.Print(10, 630, "Position %.2f %.2f %.2f", m_vPosition.x, m_vPosition.y, m_vPosition.z);
  }
}

void BattleCameraComponent::Serialize(VArchive& ar) {
  CameraBaseComponent_cl::Serialize(ar);
  if (!ar.IsOK()) return;
  SerializeX(ar);
}

bool BattleCameraComponent::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    ar << m_fMinHeight << m_fMaxHeight << m_fDefaultTilt << m_fMinHeightTiltOffset << m_fMaxHeightTiltOffset;
    ar << m_vOrientation << m_vAngularSpeed << m_vPosition << m_vVelocity << m_bKeepHeight;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "BattleCameraComponent", kBlockVersion);
  if (!block.IsOpen()) return false;
  float heights[5] = {m_fMinHeight, m_fMaxHeight, m_fDefaultTilt, m_fMinHeightTiltOffset, m_fMaxHeightTiltOffset};
  VisVector_cl vectors[4] = {m_vOrientation, m_vAngularSpeed, m_vPosition, m_vVelocity};
  bool keepHeight = m_bKeepHeight;
  if (block.Has(2)) {
    for (float& f : heights) ar >> f;
    for (VisVector_cl& v : vectors) ar >> v;
    ar >> keepHeight;
  }
  if (!block.End()) return false;
  m_fMinHeight = heights[0];
  m_fMaxHeight = heights[1];
  m_fDefaultTilt = heights[2];
  m_fMinHeightTiltOffset = heights[3];
  m_fMaxHeightTiltOffset = heights[4];
  m_vOrientation = vectors[0];
  m_vAngularSpeed = vectors[1];
  m_vPosition = vectors[2];
  m_vVelocity = vectors[3];
  m_bKeepHeight = keepHeight;
  return true;
}
