// The camera of every sea scene: follows the player's ship from behind and above
// and zooms with the mouse wheel.
#pragma once

#include "components/CameraBaseComponent.h"

class VisObject3D_cl;

class ShipBattleCameraComponent : public CameraBaseComponent_cl {
  V_DECLARE_DYNCREATE(ShipBattleCameraComponent)
 public:
  ShipBattleCameraComponent();

  // 111 and 112: the wheel towards the user zooms out, away from the user zooms in.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  void Update() override;

  // Engine data, then the block; the zoom range starts over after either direction.
  void Serialize(VArchive& ar) override;
  bool SerializeX(VArchive& ar);

  // Kept and saved for the scripts; the camera's own update does not read them.
  void SetForceCameraPosition(const VisVector_cl& position);
  void SetForceCameraPrevTargetPosition(const VisVector_cl& position);
  VisVector_cl GetForceCameraPrevTargetPosition() const { return m_vForcedPrevTarget; }
  // The smoothed target the camera looks at (set by TeleportPlayerShip).
  const VisVector_cl& GetTargetPosition() const { return m_vSmoothedTarget; }
  void SetTargetPosition(const VisVector_cl& position) { m_vSmoothedTarget = position; }
  bool HasStarted() const { return m_bStarted; }
  // Makes the next update start afresh (the field of view, the pose, the target).
  void SetStarted(bool started) { m_bStarted = started; }

  float GetZoom() const { return m_fZoom; }
  float GetMinZoom() const { return m_fMinZoom; }
  float GetMaxZoom() const { return m_fMaxZoom; }
  float GetZoomVelocity() const { return m_fZoomVelocity; }
  float GetWheelImpulse() const { return m_fWheelImpulse; }
  void SetZoom(float zoom) { m_fZoom = zoom; }
  void SetZoomRange(float minimum, float maximum) {
    m_fMinZoom = minimum;
    m_fMaxZoom = maximum;
  }

  // Turns the object to look from the eye at the target.
  static void CalculateRotationMatrix(VisObject3D_cl* object, const VisVector_cl& eye, const VisVector_cl& target);
  void UpdatePosition(const VisVector_cl& position);
  float CalculateHeight(const VisBoundingBox_cl& box, float extra) const;
  static VisVector_cl CalculateFixedPosition(const VisVector_cl& from, const VisVector_cl& to, float speed);

 protected:
  void ResetZoom();

  bool m_bStarted = false;
  bool m_bForcePosition = true;
  VisVector_cl m_vForcedPosition{0, 0, 0};
  VisVector_cl m_vSettings{60, 0, 0};
  VisVector_cl m_vForcedPrevTarget{-9999, -9999, -9999};
  VisVector_cl m_vSmoothedTarget{0, 0, 0};
  float m_fMinZoom = 0.0f;
  float m_fMaxZoom = 25.0f;
  float m_fZoom = 25.0f;
  float m_fWheelImpulse = 0.0f;
  float m_fZoomVelocity = 0.0f;
  float m_fZoomStepBase = 0.0f;  // only ever 0; the step size reads it
  float m_fMaxZoomSpeed = 50.0f;
};
