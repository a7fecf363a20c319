// Moves one land soldier towards its movement target: turns it smoothly, probes the
// way ahead with three short physics rays and steers round what they hit, and
// pushes its physics object forward. Also the direct control of the player's hero
// (messages 401-409) and the tests for a soldier of the same unit in the way.
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VisMath.h"

class SoldierEntity;
struct VisTraceLineInfo_t;

class InfantryMovementComponent : public BaseComponent {
  V_DECLARE_DYNCREATE(InfantryMovementComponent)
 public:
  // Beyond this planar distance to the target the path is planned anew.
  static constexpr float REPLAN_DISTANCE = 10.0f;
  // Reach of the arrival test without a path component.
  static constexpr float DEFAULT_REACH = 0.5f;
  // The probe rays: side rays 45 degrees off the facing, the front ray jittered.
  static constexpr float RAY_HEIGHT = 0.5f;
  static constexpr float SIDE_RAY_LENGTH = 0.75f;
  static constexpr float FRONT_RAY_LENGTH = 1.5f;

  InfantryMovementComponent();
  ~InfantryMovementComponent() override;

  // "ARCH", version 3: speed, speed multiplier, target, turn impulse, moving, direct
  // control and the four avoidance properties, "EOA".
  void Serialize(VArchive& ar) override;
  // Ids 401 to 409 go to HandleMovement.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  // A UnitEntity or a SoldierEntity; others are refused without a reason.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // Direct control of the player's hero.
  virtual void HandleMovement(int message);

  // Per frame, called by the walking states.
  void Update();
  // The steering step: position serves the distance test only; every other step
  // reads the owner's own position and rotation.
  void AdvanceMovement(float dt, const VisVector_cl& position, const VisMatrix3x3_cl& rotation);

  void SetTarget(const VisVector_cl& target);
  void UpdateTarget(const VisVector_cl& target) { SetTarget(target); }
  const VisVector_cl& GetTarget() const { return m_vTarget; }
  bool IsMoving() const { return m_bMoving; }
  void SetMoving(bool moving) { m_bMoving = moving; }
  bool IsDirectControl() const { return m_bDirectControl; }
  bool IsWalking() const { return m_bWalking; }

  // m_fSpeed x the speed multiplier.
  float GetSpeed() const { return m_fSpeed * m_fSpeedMultiplier; }
  float GetBaseSpeed() const { return m_fSpeed; }
  void SetBaseSpeed(float speed) { m_fSpeed = speed; }
  float GetSpeedFactor() const { return m_fSpeedMultiplier; }
  void SetSpeedFactor(float factor) { m_fSpeedMultiplier = factor; }
  float GetTurnImpulse() const { return m_fTurnImpulse; }
  void SetTurnImpulse(float impulse) { m_fTurnImpulse = impulse; }

  // Applies the turn impulse to the owner's yaw and, unless hold, eases it towards
  // 0 by amount; nothing while it is 0.
  void DampObstacleDodge(bool hold, float amount);

  // Whether a soldier of the same unit stands within distance ahead of the soldier.
  bool IsOwnUnitBlockingProto(SoldierEntity* soldier, float distance);
  // The same test on a given trace result.
  bool DidHitOwnUnit(const VisTraceLineInfo_t& trace, SoldierEntity* soldier);

 protected:
  static void BuildVarList(VARTABLE& t);

 private:
  SoldierEntity* GetSoldier() const;

  VisVector_cl m_vTarget{0, 0, 0, 1};
  float m_fSpeed = 0.0f;
  bool m_bMoving = false;
  bool m_bDirectControl = false;
  float m_fTurnImpulse = 0.0f;
  float m_fSpeedMultiplier = 1.0f;
  float m_fFrontHitSpeedReduction = 0.75f;
  float m_fSideHitSpeedReduction = 0.25f;
  float m_fFrontHitTurnSpeed = 2.0f;
  float m_fSideHitTurnSpeed = 4.0f;
  bool m_bWalking = false;
};
