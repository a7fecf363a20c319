// A placed camera pose: an entity whose position and orientation a camera may move
// to, with the clip planes and field of view to use there (0 or less: keep).
#pragma once

#include "engine/core/VisBaseEntity.h"

class VBASE_IMPEXP CameraPositionEntity : public VisBaseEntity_cl {
  V_DECLARE_DYNCREATE(CameraPositionEntity)
 public:
  CameraPositionEntity();

  float GetNearClipDistance() const { return m_fNearClip; }
  float GetFarClipDistance() const { return m_fFarClip; }
  // Horizontal field of view in degrees.
  float GetFOV() const { return m_fFOV; }
  void SetNearClipDistance(float d) { m_fNearClip = d; }
  void SetFarClipDistance(float d) { m_fFarClip = d; }
  void SetFOV(float degrees) { m_fFOV = degrees; }

  float m_fNearClip = 0.0f;
  float m_fFarClip = 0.0f;
  float m_fFOV = 0.0f;
};
