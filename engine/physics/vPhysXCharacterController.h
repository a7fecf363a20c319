// A character controller on an entity: an upright capsule that walks by motion deltas
// (the owner's IncMotionDelta or this object's), slides along walls, climbs steps up
// to the step height, stays off slopes steeper than the slope limit and falls under
// gravity. The owner's position is the capsule's foot point (its lowest point minus
// the offset); the owner's rotation is left to the game.
#pragma once

#include "engine/physics/vPhysXObject.h"

#include <memory>

struct vPhysXControllerImpl;

class VBASE_IMPEXP vPhysXCharacterController : public vPhysXObject {
  V_DECLARE_DYNCREATE(vPhysXCharacterController)
 public:
  vPhysXCharacterController();
  ~vPhysXCharacterController() override;

  // Settings, read when the controller is made on attach (set them before adding the
  // component, or call Rebuild).
  float m_fCapsuleHeight = 0.9f;  // between the centres of the two end spheres
  float m_fCapsuleRadius = 0.3f;
  float m_fStepHeight = 0.15f;
  float m_fSlopeLimit = 50.0f;  // degrees
  float m_fSkinWidth = 0.02f;   // gap kept to what the capsule touches
  VisVector_cl m_vOffset{0, 0, 0};
  // Shows the capsule in debug drawing (0 after construction; drawing only).
  bool m_bDebugRendering = false;
  // Sweeps test only the objects near the capsule (on after construction); off tests
  // the whole world (same result, slower).
  bool m_bSweepNearbyOnly = true;

  void Rebuild();
  // Feet on the ground after the last step.
  bool IsOnGround() const;

  void SetPosition(const VisVector_cl& position) override;
  VisVector_cl GetPosition() const override;
  // Walks (added to the motion deltas) at this velocity every tick until changed;
  // the vertical part is left to gravity.
  void SetVelocity(const VisVector_cl& velocity) override;
  VisVector_cl GetVelocity() const override;
  void IncMotionDelta(const VisVector_cl& delta) override;
  void SetCollisionBitmask(unsigned mask) override;
  void SetCollisionGroup(int group) override;

  // Component data, then version and the settings above.
  void Serialize(VArchive& ar) override;

 protected:
  void CreatePhysics() override;
  void DestroyPhysics() override;
  void BeginFrame(int ticks, float tickTime) override;
  void BeforeTick(int tick, int ticks, float tickTime) override;
  void WriteBackPose() override;
  bool WantsContactReports() const override { return false; }
  bool TakesOwnerMotion() const override { return true; }

 private:
  std::unique_ptr<vPhysXControllerImpl> m_pImpl;
  VisVector_cl m_vMotionDelta{0, 0, 0};
  VisVector_cl m_vFrameWalk{0, 0, 0};  // this frame's walk, spread over its ticks
  VisVector_cl m_vFoot{0, 0, 0};       // foot point without a simulated capsule
};
