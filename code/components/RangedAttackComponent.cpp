// Shells and rifle shots of a soldier.
#include "components/RangedAttackComponent.h"

#include "entities/AreaEffectProjectileEntity.h"

#include "core/ComponentMessages.h"
#include "entities/Skill.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierStats.h"
#include "entities/UnitEntity.h"
#include "util/MathTools.h"

#include "engine/Vision.h"
#include "engine/base/VarTable.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisParticleEffectFile.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/sound/VSoundManager.h"

V_IMPLEMENT_DYNCREATE_VARS(RangedAttackComponent, AttackComponent, &RangedAttackComponent::BuildVarList)
V_IMPLEMENT_DYNCREATE(RifleAttackComponent, AttackComponent)

namespace {

// Every projectile type in its numeric order, so an editor's choice is the number stored.
const char* const kProjectileTypes =
    "PROJECTILE_NONE,PROJECTILE_BALL,PROJECTILE_CHAIN,PROJECTILE_HARPOON,PROJECTILE_MINE,PROJECTILE_MORTAR,"
    "PROJECTILE_MIRV,PROJECTILE_ROCKET,PROJECTILE_HUMANCANNONBALL,PROJECTILE_SLOWINGBARREL,PROJECTILE_BUBBLEMINE,"
    "PROJECTILE_MONKEYCANNONBALL,PROJECTILE_NOTE,PROJECTILE_STINKBOMB";

// Alive after a shot: a standing building, or a target unit with soldiers left.
bool TargetAlive(bool standingBuilding, bool building, const UnitEntity* unit) {
  if (building) return standingBuilding;
  return unit && !unit->GetSoldiers().empty();
}

}  // namespace

// ---- RangedAttackComponent ---------------------------------------------------------------

void RangedAttackComponent::BuildVarList(VARTABLE& t) {
  VAR_ENUM(t, RangedAttackComponent, m_eProjectileType, "Projectile type", "PROJECTILE_BALL", kProjectileTypes);
  VAR_FLOAT(t, RangedAttackComponent, m_fSpeed, "Projectile flying speed", "0.0");
  VAR_FLOAT(t, RangedAttackComponent, m_fMaxHeight, "Projectile max height", "0.0");
}

RangedAttackComponent::RangedAttackComponent() {
  m_spLaunchEffect = VisParticleGroupManager_cl::GlobalManager().LoadFromFile("Particles\\mortar_fire.xml");
  m_spShotSound = VSoundManager::GlobalManager().LoadSoundResource("Sounds\\FX\\wpn_rifle_shot_CR_02.wav", 256);
}

RangedAttackComponent::~RangedAttackComponent() {
  m_spLaunchEffect = nullptr;
  m_spShotSound = nullptr;
}

void RangedAttackComponent::Update() {
  if (m_bGroundAttack) {
    UpdateGroundAttack();
    return;
  }
  SoldierEntity* owner = OwnerSoldier();
  if (!owner || !m_pTarget) return;
  if (!ShotIsDue(owner)) return;
  if (const SoldierStats* stats = owner->GetStats()) {
    const CombatSkills& c = stats->m_CombatSkills;
    m_fAttackTimer = MathTools::RandomFloat(c.m_fAttackIntervalMin, c.m_fAttackIntervalMax) *
                     (1.0f + SkillSum(owner, Skill::ATTACK_INTERVAL_BONUS));
  } else {
    m_fAttackTimer = 10.0f;
  }
  owner->TurnFaceTo(m_pTarget->GetPosition());
  Launch(owner, m_pTarget->GetPosition());
  SetReadyForTarget(true);
  if (TargetAlive(IsStandingBuilding(m_pTarget), IsBuilding(m_pTarget), m_pTargetUnit))
    owner->SendMsg(VIS_MSG_USER_UNIT_NEW_TARGET,
                   m_pTargetUnit ? (INT_PTR)(VisBaseEntity_cl*)m_pTargetUnit : (INT_PTR)m_pTarget);
  else
    owner->SendMsg(VIS_MSG_USER_UNIT_STOP);
}

void RangedAttackComponent::UpdateGroundAttack() {
  SoldierEntity* owner = OwnerSoldier();
  if (!owner) return;
  if (owner->GetStateType() != STATE_ATTACK || m_fAttackTimer > 0.0f) {
    m_fAttackTimer -= Vision::Timer.GetTimeDifference();
    return;
  }
  const SoldierStats* stats = owner->GetStats();
  m_fAttackTimer = stats ? MathTools::RandomFloat(stats->m_CombatSkills.m_fAttackIntervalMin,
                                                  stats->m_CombatSkills.m_fAttackIntervalMax)
                         : 10.0f;
  owner->TurnFaceTo(m_vGroundTarget);
  Launch(owner, m_vGroundTarget);
}

void RangedAttackComponent::Launch(SoldierEntity* owner, const VisVector_cl& target) {
  if (m_spLaunchEffect) m_spLaunchEffect->CreateParticleEffectInstance(MuzzlePoint(owner), owner->GetOrientation());
  const int lo = owner->GetMinAttackDamage(false), hi = owner->GetMaxAttackDamage(false);
  m_iLastShotDamage = MathTools::RandomInt(lo, hi + 1) + SkillSumTruncated(owner, Skill::RANGED_DAMAGE_BONUS);
  VisVector_cl from = owner->GetPosition();
  from.z += 1.0f;
  VisBaseEntity_cl* made =
      Vision::Game.CreateEntity("AreaEffectProjectileEntity", from, "models\\props\\cannon_ball\\cannon_ball.MODEL");
  if (!made || !made->IsOfType(AreaEffectProjectileEntity::GetClassTypeId())) return;
  auto* shell = static_cast<AreaEffectProjectileEntity*>(made);
  shell->SetDamage(m_iLastShotDamage);
  shell->SetProjectileType((ProjectileType)m_eProjectileType);
  shell->SetSpeed(m_fSpeed);
  shell->SetMaxHeight(m_fMaxHeight);
  shell->SetCastShadows(true);
  shell->SetTrail("\\particles\\rocket_fire_01.xml");
  shell->SetShooter(owner);
  shell->SetTarget(target);
}

// ---- RifleAttackComponent ----------------------------------------------------------------

RifleAttackComponent::~RifleAttackComponent() {
  m_spMuzzleEffect = nullptr;
  m_spShotSound = nullptr;
}

void RifleAttackComponent::Update() {
  SoldierEntity* owner = OwnerSoldier();
  if (!owner || !m_pTarget) return;
  if (!ShotIsDue(owner)) return;
  if (const SoldierStats* stats = owner->GetStats()) {
    const CombatSkills& c = stats->m_CombatSkills;
    // The rifle reads the interval bonus as a percentage.
    m_fAttackTimer = MathTools::RandomFloat(c.m_fAttackIntervalMin, c.m_fAttackIntervalMax) *
                     (100.0f + SkillSum(owner, Skill::ATTACK_INTERVAL_BONUS)) * 0.01f;
  } else {
    m_fAttackTimer = 10.0f;
  }
  owner->TurnFaceTo(m_pTarget->GetPosition());
  Shoot(owner);
  SetReadyForTarget(true);
  if (TargetAlive(IsStandingBuilding(m_pTarget), IsBuilding(m_pTarget), m_pTargetUnit))
    owner->SendMsg(VIS_MSG_USER_UNIT_NEW_TARGET,
                   m_pTargetUnit ? (INT_PTR)(VisBaseEntity_cl*)m_pTargetUnit : (INT_PTR)m_pTarget);
  else
    owner->SendMsg(VIS_MSG_USER_UNIT_STOP);
}

void RifleAttackComponent::Shoot(SoldierEntity* owner) {
  if (m_spMuzzleEffect)
    m_spMuzzleEffect->CreateParticleEffectInstance(MuzzlePoint(owner), owner->GetOrientation(), 0.2f);
  const int damage = MathTools::RandomInt(owner->GetMinAttackDamage(false), owner->GetMaxAttackDamage(false)) +
                     SkillSumTruncated(owner, Skill::RANGED_DAMAGE_BONUS);
  const int rangedHitChance = owner->GetStats() ? owner->GetStats()->m_CombatSkills.m_iRangedHitChance : 50;
  const int hitChance = (int)(rangedHitChance * (1.0f + SkillSum(owner, Skill::HIT_CHANCE_BONUS)) + 0.5f);
  if (MathTools::RandomInt(100) >= hitChance) return;
  if (m_pTarget->IsOfType(SoldierEntity::GetClassTypeId()))
    static_cast<SoldierEntity*>(m_pTarget)->ReduceHitPoints(damage, owner);
  else if (IsBuilding(m_pTarget))
    m_pTarget->SendMsg(201, damage);
}
