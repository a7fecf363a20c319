// A camera entity placed by scene files: frames a set of target entities and
// moves, at once or smoothly, to camera-position entities.
#pragma once

#include "engine/base/VCallback.h"
#include "engine/core/VisBaseEntity.h"

#include <set>

class CameraPositionEntity;

class GameCamera_cl : public VisBaseEntity_cl, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(GameCamera_cl)
 public:
  GameCamera_cl();
  ~GameCamera_cl() override;

  // Puts the engine's main camera on this entity.
  void InitFunction() override;
  // The smooth move, then the turn towards the targets' centre.
  void ThinkFunction() override;
  // Forgets a target the world destroys.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  void AddTarget(VisBaseEntity_cl* entity);
  void RemoveTarget(VisBaseEntity_cl* entity);
  void RemoveAllTargets();
  int GetTargetCount() const { return m_iTargetCount; }

  // Takes the pose of the position entity (smoothly over 1 / speed seconds) and its
  // clip planes and field of view where they are set.
  void MoveTo(CameraPositionEntity* position, bool smooth);
  bool IsMoving() const { return m_bMoving; }
  float GetTransitionProgress() const { return m_fProgress; }
  void SetTransitionSpeed(float perSecond) { m_fSpeed = perSecond; }
  // Degrees the targets' box spans seen from the camera.
  float GetFramingAngle() const { return m_fFramingAngle; }

  // Kept for scripts and scene data.
  VisVector_cl m_vUserVector{0, 0, 0};

 private:
  std::set<VisBaseEntity_cl*> m_targets;
  int m_iTargetCount = 0;
  VisVector_cl m_vStartPosition{0, 0, 0};
  VisVector_cl m_vStartOrientation{0, 0, 0};
  VisVector_cl m_vTargetPosition{0, 0, 0};
  VisVector_cl m_vTargetOrientation{0, 0, 0};
  float m_fSpeed = 1.0f;
  float m_fProgress = 0.0f;
  bool m_bMoving = false;
  float m_fFramingAngle = 0.0f;
};
