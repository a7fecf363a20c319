// A camera placed by scene files: moves freely inside a band of heights and tilts
// further down the higher it flies.
#pragma once

#include "components/CameraBaseComponent.h"

class BattleCameraComponent : public CameraBaseComponent_cl {
  V_DECLARE_DYNCREATE(BattleCameraComponent)
 public:
  BattleCameraComponent();

  void Init() override;
  void Update() override;
  // 101 to 106 move, 109 and 110 turn; only while their key is held.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  void Serialize(VArchive& ar) override;
  bool SerializeX(VArchive& ar);

  void SetPosition(const VisVector_cl& position) { m_vPosition = position; }
  const VisVector_cl& GetPosition() const { return m_vPosition; }
  const VisVector_cl& GetOrientation() const { return m_vOrientation; }
  void SetDebugPrint(bool on) { m_bDebugPrint = on; }

 protected:
  bool m_bDebugPrint = true;
  float m_fMinHeight = 0.0f;
  float m_fMaxHeight = 0.0f;
  float m_fDefaultTilt = 0.0f;
  float m_fMinHeightTiltOffset = 0.0f;
  float m_fMaxHeightTiltOffset = 0.0f;
  VisVector_cl m_vOrientation{0, 0, 0};  // yaw, pitch, roll
  VisVector_cl m_vAngularSpeed{0, 0, 0};
  VisVector_cl m_vPosition{0, 0, 0};
  VisVector_cl m_vVelocity{0, 0, 0};
  bool m_bKeepHeight = false;
};
