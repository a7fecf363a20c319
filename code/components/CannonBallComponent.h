// Flies one cannon ball (or chain shot) under drag and gravity, traces the swept
// segment each frame and sends the hit to what it struck: hull, sails, soldier,
// building, kraken tentacle; a ball that drops below the water splashes.
#pragma once

#include "engine/base/VCallback.h"
#include "engine/core/IVObjectComponent.h"

class ProjectileEntity;
struct VisTraceLineInfo_t;

class CannonBallComponent : public IVObjectComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(CannonBallComponent)
 public:
  static constexpr float WATER_LEVEL = 0.0f;
  static constexpr float SPLASH_HEIGHT = 0.2f;
  static constexpr float HOMING_SPEED = 3.0f;
  static constexpr float TRACE_REACH = 1.5f;

  CannonBallComponent();
  ~CannonBallComponent() override;

  // Prepares the launch: muzzle speed from the distance to the target, less a
  // random spread. Called once, right after the component was added.
  virtual void Fire();
  // One frame of flight.
  virtual void Update();

  // Projectiles only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // "ARCH", version 2, velocity, gravity, drag, speed, speed spread, "EOA", then the
  // component data (read only after a good end tag).
  void Serialize(VArchive& ar) override;

  const VisVector_cl& GetVelocity() const { return m_vVelocity; }
  void SetVelocity(const VisVector_cl& v) { m_vVelocity = v; }
  float GetGravity() const { return m_fGravity; }
  float GetDrag() const { return m_fDrag; }
  float GetSpeed() const { return m_fSpeed; }
  float GetSpeedSpread() const { return m_fSpeedSpread; }
  bool HasHitSails() const { return m_bSailsHit != 0; }

 protected:
  ProjectileEntity* GetProjectile() const;
  // Clears a shooter or target that the engine is removing.
  void ForgetRemovedEntities(ProjectileEntity* projectile);
  // What the trace met; true when this frame ends here without the splash check
  // (the ball passed through sails, or struck a building).
  bool HandleHit(ProjectileEntity* projectile, const VisTraceLineInfo_t& hit);

  VisVector_cl m_vVelocity{0, 0, 0};
  float m_fGravity = 45.0f;
  float m_fDrag = 4.0f;
  float m_fSpeed = 40.0f;
  float m_fSpeedSpread = 0.1f;
  char m_bSailsHit = 0;
};
