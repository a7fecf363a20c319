// A fly camera placed by scene files, driven by messages 116 to 125: it moves in
// the plane of its heading and turns; it stops when the messages stop.
#pragma once

#include "components/CameraBaseComponent.h"

class FreeCameraComponent : public CameraBaseComponent_cl {
  V_DECLARE_DYNCREATE(FreeCameraComponent)
 public:
  FreeCameraComponent();

  void Init() override;
  void Update() override;
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  void Serialize(VArchive& ar) override;
  bool SerializeX(VArchive& ar);

  const VisVector_cl& GetVelocity() const { return m_vVelocity; }
  const VisVector_cl& GetAngularVelocity() const { return m_vAngularVelocity; }
  float GetMoveStep() const { return m_fMoveStep; }
  float GetRotateStep() const { return m_fRotateStep; }
  void SetSteps(float move, float rotate) {
    m_fMoveStep = move;
    m_fRotateStep = rotate;
  }

 protected:
  // The space camera keeps its speed from frame to frame.
  virtual bool KeepsMomentum() const { return false; }
  virtual const char* BlockOwner() const { return "FreeCameraComponent"; }

  float m_fScalar = 0.0f;
  float m_fRotateStep = 0.0f;
  float m_fMoveStep = 0.0f;
  VisVector_cl m_vVelocity{0, 0, 0};
  VisVector_cl m_vAngularVelocity{0, 0, 0};  // yaw, pitch, roll
};
