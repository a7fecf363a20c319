// A sea camera placed by scene files: frames all ships of the scene from a fixed
// direction, easing towards the framing position.
#pragma once

#include "components/CameraBaseComponent.h"

class ShipCameraComponent : public CameraBaseComponent_cl {
  V_DECLARE_DYNCREATE(ShipCameraComponent)
 public:
  ShipCameraComponent();

  void Update() override;
  void Serialize(VArchive& ar) override;
  bool SerializeX(VArchive& ar);

  // Stores the position and places the camera without easing on the next update.
  void SetForceCameraPosition(const VisVector_cl& position);
  bool WillJump() const { return m_bJump; }
  float GetZoom() const { return m_fZoom; }
  const VisVector_cl& GetLookAt() const { return m_vLookAt; }
  void SetOffset(const VisVector_cl& offset) { m_vOffset = offset; }
  const VisVector_cl& GetOffset() const { return m_vOffset; }

 protected:
  bool m_bJump = true;
  VisVector_cl m_vForcedPosition{0, 0, 0};
  VisVector_cl m_vOffset{0, -30, 25};
  VisVector_cl m_vLookAt{-9999, -9999, -9999};  // -9999 on all axes: none yet
  float m_fMinZoom = 2.5f;
  float m_fMaxZoom = 3.75f;
  float m_fZoom = 0.0f;
};
