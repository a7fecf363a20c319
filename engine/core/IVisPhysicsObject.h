// The physics object of an entity: a component that moves its owner as the physics
// simulation says (VisBaseEntity_cl::GetPhysicsObject). The physics plug-in's
// vPhysXObject implements it.
#pragma once

#include "engine/core/IVObjectComponent.h"

class VBASE_IMPEXP IVisPhysicsObject_cl : public IVObjectComponent {
  V_DECLARE_DYNAMIC(IVisPhysicsObject_cl)
 public:
  IVisPhysicsObject_cl() = default;

  // Pose of the owner as the physics sees it. Setting it moves the owner at once.
  virtual void SetPosition(const VisVector_cl& position) = 0;
  virtual VisVector_cl GetPosition() const = 0;
  // Euler angles (yaw, pitch, roll) in degrees.
  virtual void SetRotation(const VisVector_cl& yawPitchRoll) = 0;
  virtual VisVector_cl GetRotation() const = 0;
  virtual void SetRotationMatrix(const VisMatrix3x3_cl& rotation) = 0;
  virtual VisMatrix3x3_cl GetRotationMatrix() const = 0;
  virtual void SetVelocity(const VisVector_cl& velocity) = 0;
  virtual VisVector_cl GetVelocity() const = 0;
  // Motion requested this frame; the next physics step applies it.
  virtual void IncMotionDelta(const VisVector_cl& delta) = 0;
};
