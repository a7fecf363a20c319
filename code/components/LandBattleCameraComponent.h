// The strategy camera of land battles and towns: hovers over the terrain, moves
// with keys, screen edges and middle-button drags, zooms with the wheel, stays
// inside the scene path "CameraBounds", follows a unit and flies to conversations.
#pragma once

#include "components/CameraBaseComponent.h"

#include "engine/base/VRefCounter.h"
#include "engine/base/VisMath.h"
#include "engine/core/VisPath.h"

class VArchive;

class LandBattleCameraComponent : public CameraBaseComponent_cl {
  V_DECLARE_DYNCREATE(LandBattleCameraComponent)
 public:
  // One axis of a damped spring: pulled towards its target with stiffness k and
  // damping d. Without overshoot a step that would pass the target lands on it.
  struct DampedSpring {
    float target = 0.0f;
    float current = 0.0f;
    float velocity = 0.0f;
    float k = 16.0f;
    float d = 8.0f;
    bool enabled = false;
    bool noOvershoot = false;

    void Step(float dt);
    // Current and target at value, at rest.
    void Restart(float value);
  };
  // Three springs for x, y, z.
  struct DampedSpringVector {
    DampedSpring x, y, z;

    void Step(float dt);
    void Restart(const VisVector_cl& v);
    void SetTarget(const VisVector_cl& v);
    void SetStiffness(float k, float d);
    void SetEnabled(bool on);
    void SetNoOvershoot(bool on);
    VisVector_cl GetCurrent() const { return VisVector_cl(x.current, y.current, z.current); }
    VisVector_cl GetTarget() const { return VisVector_cl(x.target, y.target, z.target); }
  };

  // Screen margin, in pixels, that scrolls the camera.
  static constexpr float EDGE_MARGIN = 2.0f;
  // Most the entity stands back from its hover position at the maximum height.
  static constexpr float PULL_BACK = 30.0f;

  LandBattleCameraComponent();
  ~LandBattleCameraComponent() override;

  // Base behaviour, then InitFunction on attach; detaching drops the bounds path.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void InitFunction();
  void DeInitFunction();
  // The camera messages 101 to 106, 111, 112, 127 to 130 and 133.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  void Update() override;
  // The engine component's data, then "ARCH", version 2, the tuning values, "EOA".
  void Serialize(VArchive& ar) override;

  // Tuning, also reached from scripts.
  void SetMinHeight(float height) { m_fMinHeight = height; }
  void SetMaxHeight(float height) { m_fMaxHeight = height; }
  void SetDefaultTilt(float tilt) { m_fDefaultTilt = tilt; }
  void SetMinHeightTiltOffset(float offset) { m_fMinHeightTiltOffset = offset; }
  void SetMaxHeightTiltOffset(float offset) { m_fMaxHeightTiltOffset = offset; }
  void SetMaxSpeedFactor(float factor) { m_fMaxSpeedFactor = factor; }
  void SetMiddleMouseButtonDragSensitivity(float sensitivity) { m_fMMBDragSensitivity = sensitivity; }
  void SetMoveSpeed(float x, float y, float z) { m_vMoveSpeedMax = VisVector_cl(x, y, z, m_vMoveSpeedMax.w); }
  void SetMoveSpeed(float all) { m_vMoveSpeedMax = VisVector_cl(all, all, all, 1.0f); }
  void SetDebugPrint(bool on) { m_bDebugPrint = on; }

  float GetMinHeight() const { return m_fMinHeight; }
  float GetMaxHeight() const { return m_fMaxHeight; }
  float GetDefaultTilt() const { return m_fDefaultTilt; }
  float GetMinHeightTiltOffset() const { return m_fMinHeightTiltOffset; }
  float GetMaxHeightTiltOffset() const { return m_fMaxHeightTiltOffset; }
  float GetMaxSpeedFactor() const { return m_fMaxSpeedFactor; }
  float GetMiddleMouseButtonDragSensitivity() const { return m_fMMBDragSensitivity; }
  float GetTurnSpeedMax() const { return m_fTurnSpeedMax; }
  const VisVector_cl& GetMoveSpeed() const { return m_vMoveSpeedMax; }

  // State, for the HUD's needs and for tests.
  const VisVector_cl& GetTarget() const { return m_vTarget; }
  void SetTarget(const VisVector_cl& target) { m_vTarget = m_vPreviousTarget = target; }
  const VisVector_cl& GetPosition() const { return m_vPosition; }
  const VisVector_cl& GetOrientation() const { return m_vOrientation; }
  const VisVector_cl& GetVelocity() const { return m_vVelocity; }
  const VisVector_cl& GetDragStep() const { return m_vDragStep; }
  float GetCurrentHeight() const { return m_fCurrentHeight; }
  void SetCurrentHeight(float height) { m_fCurrentHeight = height; }
  float GetTerrainHeight() const { return m_fTerrainHeight; }
  float GetWheelVelocity() const { return m_fWheelVelocity; }
  float GetWheelImpulse() const { return m_fWheelImpulse; }
  float GetSpeedFactor() const { return m_fSpeedFactor; }
  // The signed distance the entity stood back along its forward axis last update.
  float GetPullBack() const { return m_fPullBack; }
  VisPath_cl* GetBoundsPath() const { return m_spBoundsPath; }
  bool IsFollowing() const { return m_bFollow; }
  bool IsFollowedUnitOffCentre() const { return m_bFollowedUnitOffCentre; }
  bool IsInConversation() const { return m_bConversation; }
  bool HasArrivedAtConversation() const { return m_bConversationArrived; }
  bool IsForwardEdgeScrolling() const { return m_bForwardEdge; }
  bool IsSideEdgeScrolling() const { return m_bSideEdge; }
  const DampedSpringVector& GetPositionSprings() const { return m_positionSprings; }
  const DampedSpringVector& GetOrientationSprings() const { return m_orientationSprings; }

  // The move from previous to next kept inside the bounds polygon (x, y): a move
  // across an edge slides along it, a move into a corner stops at previous.
  // Without a path of at least three nodes, next stands.
  static VisVector_cl ClampToBounds(const VisPath_cl* bounds, const VisVector_cl& previous, const VisVector_cl& next);

 protected:
  static void BuildVarList(VARTABLE& t);

 private:
  // One level of the clamp; crossed tells whether the move crossed an edge.
  static VisVector_cl ClampMove(const VisPath_cl* bounds, const VisVector_cl& previous, const VisVector_cl& next,
                                bool firstLevel, bool& crossed);
  // The owner as a 3-D object (camera entities are); null otherwise.
  VisObject3D_cl* GetOwner3D() const;
  void HandleMouse();
  void UpdateConversation();
  void StopFollowing();
  // Pitch from the height: the tilt grows from the lowest to the highest hover.
  float GetTiltForHeight(float height) const;
  void ApplyOrientation();
  void RestartPoseSprings();
  static float SampleTerrainHeight(const VisVector_cl& at);

  bool m_bDebugPrint = false;
  VSmartPtr<VisPath_cl> m_spBoundsPath;
  VisVector_cl m_vOrientation{0, 0, 0, 1};
  VisVector_cl m_vLastDragStep{0, 0, 0, 1};
  VisVector_cl m_vDragStep{0, 0, 0, 1};
  VisVector_cl m_vPosition{0, 0, 0, 1};
  VisVector_cl m_vTarget{0, 0, 0, 1};
  VisVector_cl m_vPreviousTarget{0, 0, 0, 1};
  VisVector_cl m_vOffset{0, 0, 0, 1};
  // x, y the last mouse position in pixels; z a pending drag.
  VisVector_cl m_vLastMouse{0, 0, 0, 1};
  VisVector_cl m_vSavedPosition{0, 0, 0, 1};
  VisVector_cl m_vSavedOrientation{0, 0, 0, 1};
  VisVector_cl m_vConversationPosition{0, 0, 0, 1};
  VisVector_cl m_vConversationOrientation{0, 0, 0, 1};
  float m_fHeightFactor = 0.0f;
  float m_fTerrainHeight = 0.0f;
  float m_fTerrainHeight2 = 0.0f;
  DampedSpringVector m_positionSprings;
  DampedSpringVector m_orientationSprings;
  DampedSpringVector m_conversationPositionSprings;
  DampedSpringVector m_conversationOrientationSprings;
  float m_fMinHeight = 20.0f;
  float m_fMaxHeight = 60.0f;
  float m_fCurrentHeight = 0.0f;
  float m_fMinHeightTiltOffset = 0.0f;
  float m_fMaxHeightTiltOffset = 20.0f;
  float m_fDefaultTilt = 45.0f;
  VisVector_cl m_vMoveSpeedMax{120, 120, 120, 1};
  VisVector_cl m_vVelocity{0, 0, 0, 1};
  float m_fWheelVelocity = 0.0f;
  float m_fTurnSpeedMax = 10.0f;
  float m_fWheelImpulse = 0.0f;
  float m_fSpeedFactor = 1.0f;
  float m_fMaxSpeedFactor = 2.0f;
  bool m_bSideEdge = false;
  bool m_bForwardEdge = false;
  float m_fMMBDragSensitivity = 10.0f;
  bool m_bFollow = false;
  bool m_bConversation = false;
  bool m_bConversationArrived = false;
  bool m_bMoved = false;
  bool m_bFollowedUnitOffCentre = false;
  VisVector_cl m_vFollowedUnitPosition{0, 0, 0, 1};
  // Whether the middle button was held at the last mouse step (a drag starts
  // from where the button went down).
  bool m_bDragging = false;
  float m_fPullBack = 0.0f;
};
