// Trigger volumes.
#include "engine/core/TriggerBoxEntity.h"

#include "engine/base/VarTable.h"

namespace {
void BuildTriggerBoxVars(VARTABLE& t) {
  V_DEFINE_VAR(t, TriggerBoxEntity_cl, m_bSphere, VULPTYPE_BOOL, "Sphere instead of a box", "FALSE", nullptr);
  V_DEFINE_VAR(t, TriggerBoxEntity_cl, m_vHalfExtents, VULPTYPE_VECTOR_FLOAT, "Half extents of the box", "1/1/1", nullptr);
  V_DEFINE_VAR(t, TriggerBoxEntity_cl, m_fRadius, VULPTYPE_FLOAT, "Radius of the sphere", "1", nullptr);
}
}  // namespace

V_IMPLEMENT_DYNCREATE_VARS(TriggerBoxEntity_cl, VisBaseEntity_cl, &BuildTriggerBoxVars)

TriggerBoxEntity_cl::TriggerBoxEntity_cl() = default;

void TriggerBoxEntity_cl::SetBox(const VisVector_cl& halfExtents) {
  m_bSphere = 0;
  m_vHalfExtents = halfExtents;
}

void TriggerBoxEntity_cl::SetSphere(float radius) {
  m_bSphere = 1;
  m_fRadius = radius;
}

bool TriggerBoxEntity_cl::IsInside(const VisVector_cl& point) const {
  VisVector_cl d = point - GetPosition();
  if (m_bSphere) return d.x * d.x + d.y * d.y + d.z * d.z <= m_fRadius * m_fRadius;
  // Into the box's own frame: the rotation's columns are its axes.
  const VisMatrix3x3_cl& r = GetRotationMatrix();
  for (int axis = 0; axis < 3; ++axis) {
    VisVector_cl c = r.GetColumn(axis);
    float along = d.x * c.x + d.y * c.y + d.z * c.z;
    float half = axis == 0 ? m_vHalfExtents.x : (axis == 1 ? m_vHalfExtents.y : m_vHalfExtents.z);
    if (along > half || along < -half) return false;
  }
  return true;
}
