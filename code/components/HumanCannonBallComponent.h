// A pirate fired from the special cannon onto an enemy ship. He flies as a ragdoll;
// the sea or the world end him, a ship that can be captured starts a fight on board
// that captures the ship when its boarding time runs out before his fight time.
#pragma once

#include "components/CannonComponent.h"
#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"
#include "engine/base/VRefCounter.h"

class ProjectileEntity;
class ShipEntity;
class VisParticleEffect_cl;
class VSoundObject;

class HumanCannonBallComponent : public BaseComponent, public IVisCallbackHandler_cl, public ISpecialWeapon {
  V_DECLARE_DYNCREATE(HumanCannonBallComponent)
 public:
  static constexpr float FIGHT_TIME = 10.0f;
  static constexpr float FALL_FORCE = -10.0f;
  static constexpr float ORBIT_RADIUS = 3.0f;
  static constexpr float ORBIT_HEIGHT = 5.0f;
  static constexpr float ORBIT_SPEED = 360.0f;
  static constexpr float SPIN_SPEED = 720.0f;

  HumanCannonBallComponent() = default;
  ~HumanCannonBallComponent() override;

  // Projectile entities only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // Registers for the frame; an owner without a model becomes the pirate.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  // Contacts (10000 with 68): the world ends the pirate, a capturable ship is boarded.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  // Per frame (not while paused): the fight while fighting, else the faster fall and
  // the sea check.
  virtual void Update();
  virtual void SetPower(float power) { m_fPower = power; }
  virtual float GetPower() const { return m_fPower; }
  virtual void UpdateVelocityForceDown(float force);
  virtual void CheckWhenHitWaterLine(float waterHeight);
  // The launch: the ragdoll with its collision filter, the velocity, the sound.
  void Shoot(float power) override;
  void SetShootPower(float power) override { SetPower(power); }
  void Explode(bool unused);

  bool IsFighting() const { return m_bFighting; }
  float GetFightTime() const { return m_fFightTime; }
  ShipEntity* GetBoardedShip() const { return m_pBoardedShip; }
  VisParticleEffect_cl* GetFightEffect() const { return m_spFightEffect.GetPtr(); }
  VSoundObject* GetCaptureSound() const { return m_spCaptureSound.GetPtr(); }

 private:
  ProjectileEntity* GetProjectile() const;
  void OnContact(const struct vPhysXContactRecord& contact);
  void BeginFight();
  void FightStep(float dt);
  void EndFight();
  void Capture(ShipEntity* ship);

  float m_fPower = 0.0f;
  bool m_bFighting = false;
  VSmartPtr<VSoundObject> m_spCaptureSound;
  float m_fFightTime = FIGHT_TIME;
  float m_fOrbitAngle = 0.0f;
  float m_fSpinAngle = 0.0f;
  ShipEntity* m_pBoardedShip = nullptr;
  VSmartPtr<VisParticleEffect_cl> m_spFightEffect;
};
