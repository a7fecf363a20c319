// The ship rocket: a physics body without gravity that flies straight for a second,
// then homes on the closest hostile ship, turning harder the closer it gets. It
// explodes on contact (a ship struck takes message 25) or when its fuel is spent,
// and splashes without exploding once it drops below the sea.
#pragma once

#include "components/CannonComponent.h"

#include "engine/base/VCallback.h"
#include "engine/base/VRefCounter.h"
#include "engine/core/IVObjectComponent.h"

class ProjectileEntity;
class ShipEntity;
class VSoundObject;

class RocketComponent : public IVObjectComponent, public IVisCallbackHandler_cl, public ISpecialWeapon {
  V_DECLARE_DYNCREATE(RocketComponent)
 public:
  static constexpr float STRAIGHT_TIME = 1.0f;
  static constexpr float MASS = 100.0f;

  RocketComponent();
  ~RocketComponent() override;

  // Projectile entities only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // Registers for the frame; an owner without a model is launched: the model, the
  // body without gravity, the flight sound and the fuel.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  // Component data only. A rocket read back flies on from where it was: it is not
  // launched again when it joins its projectile (whose model comes back after it).
  void Serialize(VArchive& ar) override;
  // The frame; and the destruction of the ship it homes on, which it then forgets.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // Contacts (10000 with 68) between two physics objects: a ship among them takes
  // message 25, then the rocket explodes, unless two projectiles touch while it
  // still flies straight (a salvo leaving together).
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;

  // Per frame (held still during the game pause): the fuel, the straight flight or
  // the homing, the end of the flight sound, the splash below the sea and the
  // explosion once the fuel is spent. Without a hostile ship only the steering waits.
  void Update();
  // The explosion sound and fireworks where the rocket is; the rocket is gone.
  void Explode();

  float GetFuel() const { return m_fFuel; }
  void SetFuel(float fuel) { m_fFuel = fuel; }
  float GetStraightTime() const { return m_fStraightTime; }
  void SetStraightTime(float t) { m_fStraightTime = t; }
  float GetSpeed() const { return m_fSpeed; }
  float GetTurnRate() const { return m_fTurnRate; }
  void SetTurnRate(float rate) { m_fTurnRate = rate; }
  VSoundObject* GetFlightSound() const { return m_spFlightSound.GetPtr(); }
  ShipEntity* GetTarget() const { return m_pTarget; }

  // Blend of two unit quaternions (x, y, z, w) by t (clamped to [0, 1]) along the arc
  // between them, normalised; no sign flip is made for a negative dot product.
  static void SlerpQuaternion(const float a[4], const float b[4], float t, float out[4]);

 private:
  ProjectileEntity* GetProjectile() const;
  void Launch(ProjectileEntity* rocket);
  void Steer(ProjectileEntity* rocket, class vPhysXRigidBody* body, float dt);
  void SetTarget(ShipEntity* target);

  float m_fFuel = 10.0f;
  float m_fStraightTime = STRAIGHT_TIME;
  float m_fSpeed = 40.0f;
  float m_fTurnRate = 0.05f;
  VSmartPtr<VSoundObject> m_spFlightSound;
  ShipEntity* m_pTarget = nullptr;
  bool m_bRestored = false;
};
