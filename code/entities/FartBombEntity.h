// The stink bomb a ship drops behind itself: it floats up, waits until a ship comes
// within its range, makes the ships there strike their sails and bursts into a
// cloud that first lifts and then holds the ships in it; after five seconds every
// ship still in range takes a mine hit and the bomb is gone.
#pragma once

#include "components/CannonComponent.h"
#include "entities/ProjectileEntity.h"

class FartBombEntity : public ProjectileEntity, public ISpecialWeapon {
  V_DECLARE_DYNCREATE(FartBombEntity)
 public:
  static constexpr float RANGE = 7.0f;
  static constexpr float FLOAT_DEPTH = -1.5f;
  static constexpr float RISE_SPEED = 1.5f;
  static constexpr float LIFT_START = 0.8f;
  static constexpr float HOLD_START = 2.1f;
  static constexpr float CLOUD_TIME = 5.0f;
  // Upward speed of a lifted ship per second of frame time.
  static constexpr float LIFT_FACTOR = 90.0f;

  FartBombEntity();

  // The sea mine's body and spin.
  void Init() override;
  void Throw(const VisVector_cl& position, const VisVector_cl& spin) override;
  // Per frame (not during the game pause): floating up, waiting for a ship, then
  // the cloud and its final blast.
  void ThinkFunction() override;
  // The burst: the cloud's effect at the surface and its sound.
  virtual void Explode();
  // The projectile's block, then the sea mine's fuse block (exploded, time since the
  // burst, range), so that a loaded bomb resumes its cloud.
  void Serialize(VArchive& ar) override;

  float GetExplosionTimer() const { return m_fExplosionTimer; }
  void DecExplosionTimer(float seconds) { m_fExplosionTimer -= seconds; }
  bool HasExploded() const { return m_bExploded; }
  void SetExploded(bool exploded) { m_bExploded = exploded; }
  float GetRange() const { return m_fRange; }

 private:
  void Cloud(const std::vector<class ShipEntity*>& ships, float dt);
  void FinalBlast();

  bool m_bExploded = false;
  float m_fExplosionTimer = 0.0f;
  float m_fRange = RANGE;
};
