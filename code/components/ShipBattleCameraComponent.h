// The camera of every sea scene: follows the player's ship from behind and above
// and zooms with the mouse wheel.
#pragma once

#include "components/CameraBaseComponent.h"

class ShipBattleCameraComponent : public CameraBaseComponent_cl {
  V_DECLARE_DYNCREATE(ShipBattleCameraComponent)
 public:
  ShipBattleCameraComponent();

  void SetForceCameraPosition(const VisVector_cl& position);
  void SetForceCameraPrevTargetPosition(const VisVector_cl& position);
  VisVector_cl GetForceCameraPrevTargetPosition() const { return m_vForcedPrevTarget; }
  // The smoothed target the camera looks at (set by TeleportPlayerShip).
  const VisVector_cl& GetTargetPosition() const { return m_vSmoothedTarget; }
  void SetTargetPosition(const VisVector_cl& position) { m_vSmoothedTarget = position; }

 protected:
  VisVector_cl m_vForcedPrevTarget{-9999, -9999, -9999};
  VisVector_cl m_vSmoothedTarget{0, 0, 0};
};
