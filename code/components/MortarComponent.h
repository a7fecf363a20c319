// The mortar: a heavy shell fired from the special cannon that flies under the
// physics with an extra pull downwards, explodes on what it strikes (a ship other
// than its shooter takes message 23) and splashes once it falls below the water.
#pragma once

#include "components/CannonComponent.h"

#include "engine/base/VCallback.h"
#include "engine/base/VRefCounter.h"
#include "engine/core/IVObjectComponent.h"

class ProjectileEntity;
class VSoundResource;

class MortarComponent : public IVObjectComponent, public IVisCallbackHandler_cl, public ISpecialWeapon {
  V_DECLARE_DYNCREATE(MortarComponent)
 public:
  static constexpr float SPEED_PER_POWER = 1.25f;
  static constexpr float FALL_FORCE = -10.0f;
  static constexpr float SCALING = 6.0f;

  // Loads the explosion and hit sounds it keeps.
  MortarComponent();
  ~MortarComponent() override;

  // Projectile entities only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // Registers for the frame; an owner without a model becomes the shell.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // Contacts (10000 with 68): the world explodes the shell on the ground, a ship other
  // than the shooter takes message 23 and the shell explodes in the air.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;

  // The launch: the sound, the rigid body with its collision filter, the velocity
  // along the barrel and the muzzle effect.
  void Shoot_proto(float power);
  void Shoot(float power) override { Shoot_proto(power); }
  // The big or the ground explosion, then the shell is gone.
  void Explode_proto(bool ground);
  // Adds force x frame time to the body's vertical velocity.
  void UpdateVelocityForceDown_proto(float force);
  // Below the level the shell splashes and is gone.
  void CheckWhenHitWaterLine_proto(float waterLevel);
  // Per frame (not during the game pause): the pull downwards, then the water check.
  virtual void Update();

  void SetMortarPower(float power) { m_fMortarPower = power; }
  float GetMortarPower() const { return m_fMortarPower; }

 private:
  ProjectileEntity* GetProjectile() const;

  VSmartPtr<VSoundResource> m_spExplosionSound;
  VSmartPtr<VSoundResource> m_spHitSound;
  float m_fMortarPower = 0.0f;
};
