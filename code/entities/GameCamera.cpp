// Framing and transition camera.
#include "entities/GameCamera.h"

#include "engine/base/VisTimer.h"
#include "engine/core/CameraPositionEntity.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisRenderContext.h"

#include <cmath>

V_IMPLEMENT_DYNCREATE(GameCamera_cl, VisBaseEntity_cl)

namespace {
const double kRadToDeg = 57.29577951308232;
}  // namespace

GameCamera_cl::GameCamera_cl() { Vision::Callbacks.OnObjectDestroyed.RegisterCallback(this); }

GameCamera_cl::~GameCamera_cl() { Vision::Callbacks.OnObjectDestroyed.DeregisterCallback(this); }

void GameCamera_cl::InitFunction() { Vision::Camera.AttachToEntity(this, VisVector_cl(0, 0, 0)); }

void GameCamera_cl::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data || data->m_pSender != &Vision::Callbacks.OnObjectDestroyed) return;
  RemoveTarget(static_cast<VisBaseEntity_cl*>(static_cast<VisObjectDataObject_cl*>(data)->m_pObject));
}

void GameCamera_cl::AddTarget(VisBaseEntity_cl* entity) {
  if (!entity) return;
  m_targets.insert(entity);
  m_iTargetCount = (int)m_targets.size();
}

void GameCamera_cl::RemoveTarget(VisBaseEntity_cl* entity) {
  m_targets.erase(entity);
  m_iTargetCount = (int)m_targets.size();
}

void GameCamera_cl::RemoveAllTargets() {
  m_targets.clear();
  m_iTargetCount = 0;
}

void GameCamera_cl::MoveTo(CameraPositionEntity* position, bool smooth) {
  VisRenderContext_cl* context = VisRenderContext_cl::GetMainRenderContext();
  if (!position || !context) return;
  const VisVector_cl targetPosition = position->GetPosition();
  const VisVector_cl targetOrientation = position->GetOrientation();
  if (smooth) {
    m_bMoving = true;
    m_vStartPosition = GetPosition();
    m_vStartOrientation = GetOrientation();
    m_vTargetPosition = targetPosition;
    m_vTargetOrientation = targetOrientation;
    m_fProgress = 0.0f;
  } else {
    SetPosition(targetPosition);
    SetOrientation(targetOrientation);
  }

  float nearClip = 0.0f, farClip = 0.0f;
  context->GetClipPlanes(nearClip, farClip);
  if (position->GetNearClipDistance() > 0.0f) nearClip = position->GetNearClipDistance();
  if (position->GetFarClipDistance() > 0.0f) farClip = position->GetFarClipDistance();
  if (nearClip >= farClip) farClip = nearClip + 0.001f;
  context->SetClipPlanes(nearClip, farClip);
  if (position->GetFOV() > 0.0f) context->SetFOV(position->GetFOV(), 0.0f);
}

void GameCamera_cl::ThinkFunction() {
  if (m_bMoving) {
    m_fProgress += m_fSpeed * Vision::Timer.GetTimeDifference();
    if (m_fProgress >= 1.0f) {
      m_fProgress = 1.0f;
      m_bMoving = false;
    }
    const float p = m_fProgress;
    SetPosition(m_vStartPosition * (1.0f - p) + m_vTargetPosition * p);
    SetOrientation(m_vStartOrientation * (1.0f - p) + m_vTargetOrientation * p);
  }

  if (m_targets.empty()) return;
  VisVector_cl centre(0, 0, 0);
  VisBoundingBox_cl frame;
  for (VisBaseEntity_cl* target : m_targets) {
    centre += target->GetPosition();
    VisBoundingBox_cl box;
    target->GetBoundingBox(box);
    if (!box.IsValid()) continue;
    box = box.GetScaled(target->GetScaling());
    box.Translate(target->GetPosition());
    frame.ExpandToInclude(box.m_vMin);
    frame.ExpandToInclude(box.m_vMax);
  }
  centre /= (float)m_targets.size();

  VisMatrix3x3_cl rotation;
  VisMath_cl::MatrixLookAt(rotation, GetPosition(), centre, VisVector_cl(0, 0, 1));
  SetRotationMatrix(rotation);
  const float halfDiagonal = frame.IsValid() ? frame.GetExtent().GetLength() * 0.5f : 0.0f;
  m_fFramingAngle = (float)(2.0 * std::atan2((double)halfDiagonal, (double)GetPosition().GetDistance(centre)) * kRadToDeg);
}
