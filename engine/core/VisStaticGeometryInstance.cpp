// Static collision boxes of the world.
#include "engine/core/VisStaticGeometryInstance.h"

#include <cmath>

V_IMPLEMENT_DYNAMIC(VisStaticGeometryInstance_cl, VisTypedEngineObject_cl)

VisStaticGeometryInstance_cl::VisStaticGeometryInstance_cl(const VisVector_cl& center, const VisVector_cl& size,
                                                           const VisMatrix3x3_cl& rotation)
    : m_vCenter(center.x, center.y, center.z),
      m_vSize(std::fabs(size.x), std::fabs(size.y), std::fabs(size.z)),
      m_mRotation(rotation) {}

void VisStaticGeometryInstance_cl::GetBoundingBox(VisBoundingBox_cl& out) const {
  out.SetInvalid();
  const VisVector_cl h = m_vSize * 0.5f;
  for (int i = 0; i < 8; ++i)
    out.ExpandToInclude(m_vCenter + m_mRotation * VisVector_cl((i & 1) ? h.x : -h.x, (i & 2) ? h.y : -h.y,
                                                               (i & 4) ? h.z : -h.z));
}

bool VisStaticGeometryInstance_cl::IntersectSegment(const VisVector_cl& start, const VisVector_cl& end,
                                                    float& fraction, VisVector_cl& normal) const {
  // Slabs in the box's own frame.
  const VisMatrix3x3_cl inv = m_mRotation.GetTransposed();
  const VisVector_cl s = inv * (start - m_vCenter);
  const VisVector_cl d = inv * (end - start);
  const VisVector_cl h = m_vSize * 0.5f;
  float tMin = 0.0f, tMax = 1.0f;
  int axis = -1;
  float sign = 0.0f;
  for (int i = 0; i < 3; ++i) {
    if (std::fabs(d[i]) < 1e-12f) {
      if (s[i] < -h[i] || s[i] > h[i]) return false;
      continue;
    }
    float t0 = (-h[i] - s[i]) / d[i], t1 = (h[i] - s[i]) / d[i];
    float enterSign = -1.0f;
    if (t0 > t1) {
      std::swap(t0, t1);
      enterSign = 1.0f;
    }
    if (t0 > tMin) {
      tMin = t0;
      axis = i;
      sign = enterSign;
    }
    tMax = std::min(tMax, t1);
    if (tMin > tMax) return false;
  }
  fraction = tMin;
  VisVector_cl local(0, 0, 0);
  if (axis >= 0)
    local[axis] = sign;
  else
    local = -(inv * (end - start)).GetNormalized();  // started inside: face the ray
  normal = m_mRotation * local;
  return true;
}
