// The harpoon: an arrow fired from the special cannon that flies under the physics
// with a barrel on a rope behind it. Stuck in a ship it halves the ship's speed and
// turn factors until it goes; in the water it floats for its life time (a quarter of
// it when not on a ship), then sinks and goes with its rope and barrel.
#pragma once

#include "components/CannonComponent.h"

#include "engine/base/VCallback.h"
#include "engine/core/IVObjectComponent.h"

class ClothEntity;
class ProjectileEntity;
class ShipEntity;
class VisBaseEntity_cl;

class HarpoonComponent : public IVObjectComponent, public IVisCallbackHandler_cl, public ISpecialWeapon {
  V_DECLARE_DYNCREATE(HarpoonComponent)
 public:
  static constexpr float DEFAULT_LIFE_TIME = 15.0f;
  static constexpr float DEFAULT_SHOOT_POWER = 40.0f;
  static constexpr float SLOWED_FACTOR = 0.5f;
  static constexpr float OPEN_WATER_LIFE_SHARE = 0.25f;
  static constexpr float GONE_DEPTH = -10.0f;

  HarpoonComponent();
  ~HarpoonComponent() override;

  // Projectile entities only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // With an owner: registers for the frame and launches (sound, arrow body when the
  // owner has no model yet, barrel, rope). Without: lets go of the ship it sticks in
  // (its factors back to 1.0) and takes the barrel and the rope away.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  // Contacts (10000 with 68): a ship other than the shooter takes the harpoon.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  // The frame update, and the end of the barrel, rope or ship it refers to.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  // Per frame: the pause hold, then the water: floating, sinking and going.
  virtual void Update();
  // Sticks the harpoon in the ship (kinematic, parented at its offset) and slows it.
  virtual void HandleShipCollision(ShipEntity* ship);
  virtual void SetLifeTime(float seconds) { m_fLifeTime = seconds; }
  void SetShootPower(float power) override { m_fShootPower = power; }

  float GetLifeTime() const { return m_fLifeTime; }
  float GetTimeLeft() const { return m_fTimeLeft; }
  float GetShootPower() const { return m_fShootPower; }
  bool IsInWater() const { return m_bInWater; }
  bool AreVelocitiesHeld() const { return m_bVelocitiesHeld; }
  ClothEntity* GetRope() const { return m_pRope; }
  VisBaseEntity_cl* GetBarrel() const { return m_pBarrel; }
  ShipEntity* GetStuckShip() const { return m_pStuckShip; }

 private:
  ProjectileEntity* GetProjectile() const;
  void Launch(ProjectileEntity* harpoon);
  void HoldForPause(bool paused);
  void EnterWater(ProjectileEntity* harpoon);
  void ReleaseRopeAndBarrel();
  void LetGoOfShip();

  ClothEntity* m_pRope = nullptr;
  VisBaseEntity_cl* m_pBarrel = nullptr;
  bool m_bInWater = false;
  float m_fLifeTime = DEFAULT_LIFE_TIME;
  float m_fTimeLeft = 0.0f;
  float m_fShootPower = DEFAULT_SHOOT_POWER;
  bool m_bVelocitiesHeld = false;
  VisVector_cl m_vHeldVelocity{0, 0, 0}, m_vHeldAngularVelocity{0, 0, 0};
  VisVector_cl m_vHeldBarrelVelocity{0, 0, 0}, m_vHeldBarrelAngularVelocity{0, 0, 0};
  // The ship it slowed: the parent link is cut before the component goes when the
  // harpoon is destroyed, so the ship is remembered to give its speed back.
  ShipEntity* m_pStuckShip = nullptr;
};
