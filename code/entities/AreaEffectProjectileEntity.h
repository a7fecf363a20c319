// The shell of land battles and of the guns that fire onto land: a scripted arc (or
// a rocket homing on the nearest enemy soldier) that, on impact, hurts every enemy
// soldier around the impact point, flings the killed, hits buildings beneath it and
// shows the effect of its kind (cannon impact, stink cloud or monkey).
#pragma once

#include "components/CannonComponent.h"
#include "core/BaseEntity.h"

#include "engine/base/VRefCounter.h"
#include "engine/base/VString.h"

class VisParticleEffect_cl;
class VSoundObject;

class AreaEffectProjectileEntity : public BaseEntity {
  V_DECLARE_DYNCREATE(AreaEffectProjectileEntity)
 public:
  static constexpr float AREA_RADIUS = 5.0f;
  static constexpr float HOMING_START = 0.5f;
  static constexpr float HOMING_RANGE_SQR = 225.0f;
  static constexpr float STINK_CLOUD_TIME = 2.0f;
  static constexpr int GATE_BREAKING_DAMAGE = 5000;

  AreaEffectProjectileEntity();
  ~AreaEffectProjectileEntity() override;

  // Reads the current position: creators set it after any repositioning. A shell
  // that is never aimed (a cannon without a player to aim at) bursts where it is on
  // its first frame instead of hanging in the air for good.
  virtual void SetTarget(const VisVector_cl& point);
  virtual const VisVector_cl& GetTarget() const { return m_vTarget; }
  virtual void SetTrail(const VString& file, const VisVector_cl& offset);
  virtual void SetTrail(const VString& file);
  virtual VisParticleEffect_cl* GetTrail() const;
  // Lets the trail fade out on its own and removes the projectile (once).
  virtual void RemoveAll();

  // A monkey cannon ball also starts its flight sound, which travels with it.
  void SetProjectileType(ProjectileType type);
  ProjectileType GetProjectileType() const { return m_eProjectileType; }
  // Not owned; forgotten when the shooter is destroyed.
  void SetShooter(BaseEntity* shooter);
  BaseEntity* GetShooter() const { return m_pShooter; }
  void SetSpeed(float speed) { m_fSpeed = speed; }
  float GetSpeed() const { return m_fSpeed; }
  void SetMaxHeight(float factor) { m_fMaxHeight = factor; }
  float GetMaxHeight() const { return m_fMaxHeight; }
  void SetDamage(int damage) { m_iDamage = damage; }
  int GetDamage() const { return m_iDamage; }

  // Kept through saves; the flight does not use it.
  const VisVector_cl& GetSpareVector() const { return m_vSpare; }
  void SetSpareVector(const VisVector_cl& v) { m_vSpare = v; }

  bool IsHoming() const { return m_bHoming; }
  bool IsLingering() const { return m_bLingering; }
  float GetLingerTime() const { return m_fLingerTime; }
  float GetAge() const { return m_fAge; }
  VSoundObject* GetFlightSound() const { return m_spFlightSound.GetPtr(); }
  VisParticleEffect_cl* GetImpactEffect() const { return m_spImpactEffect.GetPtr(); }

  // Per frame (not while paused): the stink cloud while lingering, else the flight.
  void ThinkFunction() override;
  // Base block, then "ARCH", version 2, the spare vector, "EOA". The flight is not saved.
  void Serialize(VArchive& ar) override;
  // The destruction of the shooter clears it, then the base entity's callbacks.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  // The impact: area damage, then the effect of the projectile's kind.
  void OnImpact();
  // Soldiers, buildings and the gate around the impact point (a monkey ball hurts
  // only the player, in the queen's scene).
  void ApplyAreaDamage();
  // Enemy soldiers under the cloud become dizzy.
  void UpdateStinkCloud();

  // The terrain height under the point, 0.0 without terrain.
  static float GroundHeight(const VisVector_cl& point);

 private:
  void FlyHoming(float dt);
  void FlyBallistic(float dt);
  void StopFlightSound();
  void ImpactMonkey();

  VisVector_cl m_vTarget{0, 0, 0};
  VisVector_cl m_vSpare{0, 0, 0};
  VisVector_cl m_vHomingDirection{0, 0, 0};
  float m_fDistanceTravelled = 0.0f;
  float m_fHeightChange = 0.0f;
  float m_fTotalDistance = 0.0f;
  VisVector_cl m_vFlightDirection{0, 0, 0};
  float m_fLaunchHeight = 0.0f;
  int m_iDamage = 0;
  ProjectileType m_eProjectileType = PROJECTILE_BALL;
  float m_fSpeed = 0.0f;
  float m_fTurnRate = 3.0f;
  float m_fHomingSpeed = 27.3f;
  VSmartPtr<VSoundObject> m_spFlightSound;
  float m_fMaxHeight = 0.0f;
  bool m_bHoming = false;
  // Set by SetTarget; a shell never aimed bursts where it is.
  bool m_bAimed = false;
  float m_fAge = 0.0f;
  bool m_bLingering = false;
  float m_fLingerTime = 0.0f;
  VSmartPtr<VisParticleEffect_cl> m_spTrail;
  VSmartPtr<VisParticleEffect_cl> m_spImpactEffect;
  BaseEntity* m_pShooter = nullptr;
};
