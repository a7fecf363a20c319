// Sea camera.
#include "components/ShipBattleCameraComponent.h"

#include "core/GameManager.h"
#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisBaseEntity.h"
#include "engine/core/VisRenderContext.h"

#include <algorithm>
#include <cmath>

V_IMPLEMENT_DYNCREATE(ShipBattleCameraComponent, CameraBaseComponent_cl)

namespace {
const char kBlockVersion = 2;
const float kVerticalFov = 58.71551f;
const float kWheelImpulse = 0.1f;
}  // namespace

ShipBattleCameraComponent::ShipBattleCameraComponent() = default;

void ShipBattleCameraComponent::SetForceCameraPosition(const VisVector_cl& position) {
  m_vForcedPosition = position;
  m_bForcePosition = true;
}

void ShipBattleCameraComponent::SetForceCameraPrevTargetPosition(const VisVector_cl& position) {
  m_vForcedPrevTarget = position;
}

void ShipBattleCameraComponent::MessageFunction(int id, INT_PTR p1, INT_PTR) {
  if (id != 111 && id != 112) return;
  if (p1) m_fWheelImpulse = id == 111 ? kWheelImpulse : -kWheelImpulse;
  const float step = (std::fabs(m_fZoomStepBase) / m_fMaxZoomSpeed + 0.1f) * m_fMaxZoomSpeed * 100.0f *
                     Vision::Timer.GetTimeDifference();
  if (id == 111) {
    if (m_fWheelImpulse > 0.0f)
      m_fZoomVelocity = std::min(m_fZoomVelocity + 4.0f * step, m_fMaxZoomSpeed);
    else if (m_fWheelImpulse == 0.0f && m_fZoomVelocity > 0.0f)
      m_fZoomVelocity = std::max(m_fZoomVelocity - step, 0.0f);
  } else {
    if (m_fWheelImpulse < 0.0f)
      m_fZoomVelocity = std::max(m_fZoomVelocity - 4.0f * step, -m_fMaxZoomSpeed);
    else if (m_fWheelImpulse == 0.0f && m_fZoomVelocity < 0.0f)
      m_fZoomVelocity = std::min(m_fZoomVelocity + step, 0.0f);
  }
}

void ShipBattleCameraComponent::Update() {
  const float dt = Vision::Timer.GetTimeDifference();
  if (m_fWheelImpulse > 0.0f)
    m_fWheelImpulse = std::max(m_fWheelImpulse - dt, 0.0f);
  else if (m_fWheelImpulse < 0.0f)
    m_fWheelImpulse = std::min(m_fWheelImpulse + dt, 0.0f);

  if (!m_pOwner) return;
  VisBaseEntity_cl* player = GameManager::GetInstance()->GetPlayerEntity();
  if (!player) return;
  VisObject3D_cl* owner = static_cast<VisObject3D_cl*>(m_pOwner);

  VisVector_cl target = player->GetPosition();
  if (!m_bStarted) {
    VisRenderContext_cl::GetMainRenderContext()->SetFOV(0.0f, kVerticalFov);
    owner->SetOrientation(-90.0f, 45.0f, 0.0f);
    m_vSmoothedTarget = target;
    m_bStarted = true;
  }

  m_fZoom += dt * m_fZoomVelocity;
  if (m_fZoom < m_fMinZoom || m_fZoom > m_fMaxZoom) {
    m_fZoom = m_fZoom < m_fMinZoom ? m_fMinZoom : m_fMaxZoom;
    m_fZoomVelocity = 0.0f;
    m_fWheelImpulse = 0.0f;
    m_fZoomStepBase = 0.0f;
  }

  const float range = m_fMaxZoom - m_fMinZoom;
  const float z = range != 0.0f ? std::clamp((m_fZoom - m_fMinZoom) / range, 0.0f, 1.0f) : 0.0f;
  target.x += 2.0f * z;
  target.y += 2.0f * z;

  m_vSmoothedTarget = (target + m_vSmoothedTarget) * 0.5f;
  const float behind = (1.0f - z) * 40.0f - 130.0f;
  UpdatePosition(m_vSmoothedTarget + owner->GetRotationMatrix().GetColumn(0) * behind);
}

void ShipBattleCameraComponent::UpdatePosition(const VisVector_cl& position) {
  if (m_pOwner) static_cast<VisObject3D_cl*>(m_pOwner)->SetPosition(position);
}

void ShipBattleCameraComponent::CalculateRotationMatrix(VisObject3D_cl* object, const VisVector_cl& eye,
                                                        const VisVector_cl& target) {
  if (!object) return;
  VisMatrix3x3_cl rotation;
  VisMath_cl::MatrixLookAt(rotation, eye, target, VisVector_cl(0, 0, 1));
  object->SetRotationMatrix(rotation);
}

float ShipBattleCameraComponent::CalculateHeight(const VisBoundingBox_cl& box, float extra) const {
  const VisVector_cl extent = box.GetExtent();
  return std::clamp((std::max(extent.x, extent.y) + extra) * 0.02f, m_fMinZoom, m_fMaxZoom);
}

VisVector_cl ShipBattleCameraComponent::CalculateFixedPosition(const VisVector_cl& from, const VisVector_cl& to,
                                                               float speed) {
  const VisVector_cl rest = to - from;
  const float fraction = Vision::Timer.GetTimeDifference() * speed;
  if (fraction >= 1.0f) return to;
  return from + rest * fraction;
}

void ShipBattleCameraComponent::ResetZoom() {
  m_fMinZoom = 0.0f;
  m_fMaxZoom = 25.0f;
  m_fZoom = 25.0f;
}

void ShipBattleCameraComponent::Serialize(VArchive& ar) {
  CameraBaseComponent_cl::Serialize(ar);
  if (!ar.IsOK()) return;
  SerializeX(ar);
}

bool ShipBattleCameraComponent::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    ar << m_bForcePosition << m_vForcedPosition << m_vSettings << m_vForcedPrevTarget;
    ar << m_fMinZoom << m_fMaxZoom << m_fZoom;
    SaveGameManagerProto::EndBlock(ar);
    ResetZoom();
    return true;
  }
  SavedBlockReader block(ar, "ShipBattleCameraComponent", kBlockVersion);
  if (!block.IsOpen()) return false;
  bool forced = m_bForcePosition;
  VisVector_cl forcedPosition = m_vForcedPosition, settings = m_vSettings, prevTarget = m_vForcedPrevTarget;
  float minimum = m_fMinZoom, maximum = m_fMaxZoom, zoom = m_fZoom;
  if (block.Has(2)) {
    ar >> forced >> forcedPosition >> settings >> prevTarget;
    ar >> minimum >> maximum >> zoom;
  }
  if (!block.End()) return false;
  m_bForcePosition = forced;
  m_vForcedPosition = forcedPosition;
  m_vSettings = settings;
  m_vForcedPrevTarget = prevTarget;
  // The saved zoom is read past: a loaded camera starts fully out.
  ResetZoom();
  return true;
}
