// Ranged attacks: RangedAttackComponent lobs area-effect shells (also at a point on
// the ground), RifleAttackComponent fires instant shots that hit or miss at once.
#pragma once

#include "components/AttackComponent.h"
#include "components/CannonComponent.h"

#include "engine/base/VRefCounter.h"

class SoldierEntity;
class VSoundResource;
class VisParticleEffectFile_cl;

class RangedAttackComponent : public AttackComponent {
  V_DECLARE_DYNCREATE(RangedAttackComponent)
 public:
  // Loads the launch effect and the shot sound.
  RangedAttackComponent();
  ~RangedAttackComponent() override;

  void DeInit() override {}
  void Update() override;
  bool CheckInRange() override { return CheckShotInRange(true); }
  void SetAttackTarget(VisBaseEntity_cl* target) override { AttackComponent::SetAttackTarget(target); }

  ProjectileType GetProjectileType() const { return (ProjectileType)m_eProjectileType; }
  VisParticleEffectFile_cl* GetLaunchEffectFile() const { return m_spLaunchEffect.GetPtr(); }
  VSoundResource* GetShotSound() const { return m_spShotSound.GetPtr(); }
  // The damage of the last shell launched (or rolled when no shell could be made).
  int GetLastShotDamage() const { return m_iLastShotDamage; }

 protected:
  static void BuildVarList(VARTABLE& t);

 private:
  void UpdateGroundAttack();
  void Launch(SoldierEntity* owner, const VisVector_cl& target);

  VSmartPtr<VisParticleEffectFile_cl> m_spLaunchEffect;
  VSmartPtr<VSoundResource> m_spShotSound;
  int m_eProjectileType = PROJECTILE_BALL;
  float m_fSpeed = 0.0f;
  float m_fMaxHeight = 0.0f;
  int m_iLastShotDamage = 0;
};

class RifleAttackComponent : public AttackComponent {
  V_DECLARE_DYNCREATE(RifleAttackComponent)
 public:
  RifleAttackComponent() = default;
  ~RifleAttackComponent() override;

  void DeInit() override {}
  void Update() override;
  bool CheckInRange() override { return CheckShotInRange(false); }
  void SetAttackTarget(VisBaseEntity_cl* target) override { AttackComponent::SetAttackTarget(target); }

  VisParticleEffectFile_cl* GetMuzzleEffectFile() const { return m_spMuzzleEffect.GetPtr(); }

 private:
  void Shoot(SoldierEntity* owner);

  VSmartPtr<VisParticleEffectFile_cl> m_spMuzzleEffect;
  VSmartPtr<VSoundResource> m_spShotSound;
};
