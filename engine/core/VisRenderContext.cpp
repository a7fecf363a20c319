// Render contexts: the main one and the one currently rendered to.
#include "engine/core/VisRenderContext.h"
#include "engine/core/VisVisibilityCollector.h"

#include <cmath>

#include "engine/core/VisionApp.h"

namespace {
VisRenderContext_cl g_mainContext;
VisRenderContext_cl* g_currentContext = &g_mainContext;
}  // namespace

VisRenderContext_cl* VisRenderContext_cl::GetMainRenderContext() { return &g_mainContext; }

VisRenderContext_cl* VisRenderContext_cl::GetCurrentContext() { return g_currentContext; }

void VisRenderContext_cl::Activate() { g_currentContext = this; }

namespace {
constexpr float kDegToRad = 3.14159265358979f / 180.0f;
// The field of view whose half tangent is tan(fov / 2) * ratio.
float ScaledFov(float fov, float ratio) { return 2.0f * std::atan(std::tan(fov * 0.5f * kDegToRad) * ratio) / kDegToRad; }
}  // namespace

void VisRenderContext_cl::SetFOV(float horizontal, float vertical) {
  if (horizontal == 0.0f && vertical == 0.0f) return;
  int w = 0, h = 0;
  GetSize(w, h);
  const bool sized = w > 0 && h > 0;
  if (horizontal != 0.0f && vertical != 0.0f) {
    m_fovX = horizontal;
    m_fovY = vertical;
  } else if (horizontal != 0.0f) {
    m_fovX = horizontal;
    m_fovY = sized ? ScaledFov(horizontal, (float)h / (float)w) : 0.0f;
  } else {
    m_fovY = vertical;
    m_fovX = sized ? ScaledFov(vertical, (float)w / (float)h) : 0.0f;
  }
}

void VisRenderContext_cl::GetHalfFovTangents(float& tanX, float& tanY) const {
  int w = 0, h = 0;
  GetSize(w, h);
  GetHalfFovTangents(w, h, tanX, tanY);
}

void VisRenderContext_cl::GetSize(int& w, int& h) const {
  w = VVideo::GetCurrentWidth();
  h = VVideo::GetCurrentHeight();
}

void VisRenderContext_cl::GetHalfFovTangents(int w, int h, float& tanX, float& tanY) const {
  // An axis left at 0 follows the other through the aspect (square without a size).
  const float aspect = (w > 0 && h > 0) ? (float)h / (float)w : 1.0f;
  if (m_fovX > 0.0f) {
    tanX = std::tan(m_fovX * 0.5f * kDegToRad);
    tanY = m_fovY > 0.0f ? std::tan(m_fovY * 0.5f * kDegToRad) : tanX * aspect;
  } else {
    tanY = std::tan((m_fovY > 0.0f ? m_fovY : 90.0f) * 0.5f * kDegToRad);
    tanX = tanY / aspect;
  }
}

bool VisRenderContext_cl::Project2D(const VisVector_cl& point, float& x, float& y) const {
  const VisVector_cl local = m_camRot.GetTransposed() * (point - m_camPos);
  if (local.x <= m_near) return false;
  int w = 0, h = 0;
  GetSize(w, h);
  const float halfW = 0.5f * (float)w, halfH = 0.5f * (float)h;
  float tanX = 0.0f, tanY = 0.0f;
  GetHalfFovTangents(w, h, tanX, tanY);
  x = halfW - local.y / local.x / tanX * halfW;
  y = halfH - local.z / local.x / tanY * halfH;
  return true;
}

VisVisibilityCollector_cl* VisRenderContext_cl::GetVisibilityCollector() {
  static VisVisibilityCollector_cl collector;  // one main context here
  return &collector;
}

VisVector_cl VisRenderContext_cl::GetViewRayDirection(float x, float y) const {
  int w = 0, h = 0;
  GetSize(w, h);
  if (w <= 0 || h <= 0) return GetCameraDirection().GetNormalized();
  const float halfW = 0.5f * (float)w, halfH = 0.5f * (float)h;
  float tanX = 0.0f, tanY = 0.0f;
  GetHalfFovTangents(w, h, tanX, tanY);
  // Camera space: x forward, y left, z up, one unit ahead.
  const VisVector_cl local(1.0f, (halfW - x) / halfW * tanX, (halfH - y) / halfH * tanY);
  return (m_camRot * local).GetNormalized();
}
