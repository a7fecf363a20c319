// Moves a ship: turns its heading toward the target heading with limited turn
// acceleration, drives the forward speed toward the speed of the sail setting,
// rocks the ship in roll and pitch, moves it through its rigid body (or directly),
// plays the sailing sound and keeps the player's ship inside the game area.
// Input, AI and paths steer only through the target heading and the sail messages.
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"
#include "engine/base/VRefCounter.h"
#include "engine/sound/VSoundObject.h"

class ShipEntity;
class VArchive;
class vPhysXRigidBody;

class ShipMovementComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(ShipMovementComponent)
 public:
  ShipMovementComponent();
  ~ShipMovementComponent() override;

  // Ships only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // Registers on the per-frame and physics-finished callbacks while owned; takes the
  // heading from the rigid body and keeps the body on the water plane.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  // Sails (4, 5, 6), turning (7, 8), headings (9, 10: p1 points to a float), sinking (16).
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // Component data, then SerializeX.
  void Serialize(VArchive& ar) override;

  virtual void Update();
  // Yaw of the look-at rotation from the ship toward the point.
  virtual float CalculateHeadingTo(const VisVector_cl& target);
  // "ARCH", version 3, the motion state, sail speeds and factors, "EOA".
  virtual bool SerializeX(VArchive& ar);

  // This frame's speed (before the 1.5 of the motion): approaches the sail speed,
  // reduced by collision avoidance and hull damage, with the speed bonuses.
  float CalcForwardSpeed();
  // This frame's heading change in degrees, turn multiplier applied.
  float CalcTurnSpeed();
  // Advance the wave phase by the frame and give the angle.
  float CalcRoll();
  float CalcPitch();

  void TurnLeft();
  void TurnRight();
  void SetTargetHeading(float heading);
  // The heading towards a world point, from CalculateHeadingTo, wrapped into [-180, 180).
  void SetTargetHeading(const VisVector_cl& point);
  // The turn speed the next step accelerates from (a new order starts from rest).
  void SetTurnSpeed(float speed) { m_fTurnSpeed = speed; }
  float GetTargetHeading() const { return m_fTargetHeading; }
  float GetCurrentHeading() const { return m_fHeading; }
  float GetLastForwardSpeed() const { return m_fLastForwardSpeed; }
  float GetCurrentSpeed() const { return m_fCurrentSpeed; }
  float GetTurnSpeed() const { return m_fTurnSpeed; }
  bool IsSinking() const { return m_bSinking; }
  bool IsOverBorder() const { return m_bOverBorder; }

  float& GetSpeedFullSails() { return m_fSpeedFullSails; }
  float& GetSpeedBattleSails() { return m_fSpeedBattleSails; }
  float& GetSpeedNoSails() { return m_fSpeedNoSails; }
  float& GetSpeedFullSailsTurning() { return m_fSpeedFullSailsTurning; }
  float& GetSpeedBattleSailsTurning() { return m_fSpeedBattleSailsTurning; }
  float& GetSpeedNoSailsTurning() { return m_fSpeedNoSailsTurning; }
  float GetSpeedWithCurrentSails() const { return m_fSpeedWithCurrentSails; }
  float GetTurnSpeedWithCurrentSails() const { return m_fTurnSpeedWithCurrentSails; }
  void SetSpeedFullSails(float v) { m_fSpeedFullSails = v; }
  void SetSpeedBattleSails(float v) { m_fSpeedBattleSails = v; }
  void SetSpeedBattleSailsTurning(float v) { m_fSpeedBattleSailsTurning = v; }
  void SetSpeedNoSailsTurning(float v) { m_fSpeedNoSailsTurning = v; }
  // The speed of the current sails; teleporting and sinking stop a ship with 0.
  void SetSpeedWithCurrentSails(float v) { m_fSpeedWithCurrentSails = v; }
  void SetTurnSpeedWithCurrentSails(float v) { m_fTurnSpeedWithCurrentSails = v; }

  float GetSpeedFactor() const { return m_fSpeedFactor; }
  void SetSpeedFactor(float f) { m_fSpeedFactor = f; }
  float GetTurnFactor() const { return m_fTurnFactor; }
  void SetTurnFactor(float f) { m_fTurnFactor = f; }
  float GetSpeedMultiplier() const { return m_fSpeedMultiplier; }
  float GetTurnMultiplier() const { return m_fTurnMultiplier; }
  // While the boost time runs the multipliers keep their values.
  void SetBoostTime(float seconds) { m_fBoostTime = seconds; }
  float GetBoostTime() const { return m_fBoostTime; }
  // Seconds during which velocity and height are left to the physics.
  void SetPhysicsHoldTime(float seconds) { m_fPhysicsHoldTime = seconds; }
  float GetPhysicsHoldTime() const { return m_fPhysicsHoldTime; }
  // The sailing sound while one plays.
  VSoundObject* GetSailingSound() const { return m_spSailingSound.GetPtr(); }

 protected:
  static void BuildVarList(VARTABLE& t);
  ShipEntity* GetShip() const;
  vPhysXRigidBody* GetRigidBody() const;
  void MovementStep(ShipEntity* ship, float dt);
  void UpdateSailingSound(ShipEntity* ship, float speed);
  void KeepInsideGameArea(ShipEntity* ship);
  static float WrapHeading(float angle);

  VSmartPtr<VSoundObject> m_spSailingSound;
  float m_fLastForwardSpeed = 0.0f;
  float m_fTurnSpeed = 0.0f;
  float m_fCurrentSpeed = 0.0f;
  float m_fHeading = 0.0f;
  float m_fTargetHeading = 0.0f;
  float m_fLastTargetHeading = 0.0f;
  float m_fSpeedMultiplier = 1.0f;
  float m_fSpeedFactor = 1.0f;
  float m_fTurnMultiplier = 1.0f;
  float m_fTurnFactor = 1.0f;
  float m_fSpeedFullSails = 20.0f;
  float m_fSpeedBattleSails = 10.0f;
  float m_fSpeedNoSails = 5.0f;
  float m_fSpeedFullSailsTurning = 40.0f;
  float m_fSpeedBattleSailsTurning = 50.0f;
  float m_fSpeedNoSailsTurning = 5.0f;
  float m_fSpeedWithCurrentSails = 0.0f;
  float m_fTurnSpeedWithCurrentSails = 1.0f;
  float m_fRollPhase = 0.0f;
  float m_fPitchPhase = 0.0f;
  float m_fRoll = 0.0f;
  float m_fPitch = 0.0f;
  bool m_bSinking = false;
  float m_fBoostTime = 0.0f;
  float m_fPhysicsHoldTime = 0.0f;
  bool m_bOverBorder = false;
};
