// A siren's musical note: a small kinematic projectile that drifts along its
// direction with a wobble, vanishes once it is farther from its siren than its
// reach, and on touching a ship sends it message 33 and vanishes.
#pragma once

#include "engine/base/VCallback.h"
#include "engine/core/IVObjectComponent.h"

class ProjectileEntity;
class ShipEntity;

class NoteComponent : public IVObjectComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(NoteComponent)
 public:
  static constexpr float MASS = 200.0f;

  NoteComponent();
  ~NoteComponent() override;

  // Projectile entities only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // Registers for the frame; an owner without a rigid body gets a kinematic one the
  // size of its scaled model. The body meets ships of the player only (bitmask 2).
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // Contacts (10000 with 68): a ship among the participants takes message 33 and the
  // note is gone; contacts without a ship are ignored.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;

  // Per frame (not while paused): the move along the direction with the wobble, then
  // the note is gone once it is beyond its reach from its siren.
  virtual void Update();
  virtual void HandleShipCollision(ShipEntity* /*ship*/) {}
  // Named as the siren calls them: the power is the reach, the range the speed.
  virtual void SetShootingPower(float reach) { m_fReach = reach; }
  virtual void SetShootingRange(float speed) { m_fSpeed = speed; }
  virtual void SetNoteDamage(int damage) { m_iNoteDamage = damage; }

  float GetFlightTime() const { return m_fFlightTime; }
  float GetReach() const { return m_fReach; }
  float GetSpeed() const { return m_fSpeed; }
  int GetNoteDamage() const { return m_iNoteDamage; }

 private:
  ProjectileEntity* GetProjectile() const;

  float m_fFlightTime = 0.0f;
  float m_fReach = 150.0f;
  float m_fSpeed = 10.0f;
  int m_iNoteDamage = 5;
};
