// A trigger volume placed in a scene: an oriented box (half extents) or a sphere
// (radius) around the entity's position, with an inside test.
#pragma once

#include "engine/core/VisBaseEntity.h"

class VBASE_IMPEXP TriggerBoxEntity_cl : public VisBaseEntity_cl {
  V_DECLARE_DYNCREATE(TriggerBoxEntity_cl)
 public:
  TriggerBoxEntity_cl();

  void SetBox(const VisVector_cl& halfExtents);
  void SetSphere(float radius);
  bool IsSphere() const { return m_bSphere != 0; }
  const VisVector_cl& GetHalfExtents() const { return m_vHalfExtents; }
  float GetRadius() const { return m_fRadius; }
  // Whether the world point lies inside (the box turned with the entity; borders count).
  bool IsInside(const VisVector_cl& point) const;

  int m_bSphere = 0;
  VisVector_cl m_vHalfExtents{1, 1, 1};
  float m_fRadius = 1.0f;
};
