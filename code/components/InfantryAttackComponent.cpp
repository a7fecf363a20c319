// Melee blows of a soldier.
#include "components/InfantryAttackComponent.h"

#include "components/CarryComponent.h"
#include "components/DestructableBuildingComponent.h"
#include "core/ComponentMessages.h"
#include "core/StateMachine.h"
#include "entities/FSM/DieState.h"
#include "entities/HeroStats.h"
#include "entities/Skill.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierStats.h"
#include "entities/UnitEntity.h"
#include "util/MathTools.h"

#include "engine/Vision.h"
#include "engine/base/VisTimer.h"

#include <cmath>

V_IMPLEMENT_DYNCREATE(InfantryAttackComponent, AttackComponent)

namespace {
const char* const kActiveSkill = "active_skill";
}

void InfantryAttackComponent::Update() {
  SoldierEntity* owner = OwnerSoldier();
  if (!owner) return;
  if (!m_pTarget) {
    owner->SendMsg(VIS_MSG_USER_UNIT_STOP);
    return;
  }
  if (!ShouldFindNewTarget()) {
    Fight();
    return;
  }
  m_pTarget = nullptr;
  SetReadyForTarget(true);
  if (m_pTargetUnit) FindNewTarget(owner, m_pTargetUnit);
}

bool InfantryAttackComponent::ShouldFindNewTarget() const {
  if (!m_pTarget) return true;
  if (IsBuilding(m_pTarget)) return !IsStandingBuilding(m_pTarget);
  if (m_pTarget->IsOfType(SoldierEntity::GetClassTypeId())) {
    StateMachine<SoldierEntity>* machine = static_cast<SoldierEntity*>(m_pTarget)->GetStateMachine();
    return machine && dynamic_cast<DieState*>(machine->GetCurrentState()) != nullptr;
  }
  return false;
}

void InfantryAttackComponent::FindNewTarget(SoldierEntity* soldier, UnitEntity* /*unit*/) {
  if (!soldier) return;
  if (m_pTargetUnit)
    soldier->SendMsg(VIS_MSG_USER_UNIT_NEW_TARGET, (INT_PTR)(VisBaseEntity_cl*)m_pTargetUnit);
  else
    soldier->SendMsg(VIS_MSG_USER_UNIT_STOP);
}

bool InfantryAttackComponent::CheckInRange() {
  SoldierEntity* owner = OwnerSoldier();
  if (!owner) return false;
  const VisVector_cl& from = owner->GetPosition();
  float distance;
  if (!m_pTarget) {
    if (!m_pTargetUnit) return false;
    SoldierEntity* nearest = m_pTargetUnit->GetNearestSoldierTo(from);
    if (!nearest) return false;
    m_pTarget = nearest;
    distance = MathTools::DistanceBetweenVectors(from, nearest->GetPosition());
  } else if (IsBuilding(m_pTarget)) {
    distance = MathTools::DistanceToEntityBoundingBox(from, m_pTarget);
  } else {
    distance = MathTools::DistanceBetweenVectors(from, m_pTarget->GetPosition());
  }
  if (!(distance < m_fRange)) return false;
  m_pTarget->SendMsg(VIS_MSG_USER_UNIT_ATTACKED, (INT_PTR)owner);
  owner->SendMsg(VIS_MSG_USER_UNIT_TARGET_IN_RANGE);
  return true;
}

void InfantryAttackComponent::Fight() {
  SoldierEntity* owner = OwnerSoldier();
  if (!owner || owner->GetStateType() != STATE_ATTACK) return;
  m_fAttackTimer -= Vision::Timer.GetTimeDifference();
  if (m_fAttackTimer >= 0.0f) return;

  if (const SoldierStats* stats = owner->GetStats()) {
    const CombatSkills& c = stats->m_CombatSkills;
    m_fAttackTimer = MathTools::RandomFloat() * (c.m_fAttackIntervalMax - c.m_fAttackIntervalMin) + c.m_fAttackIntervalMin;
  } else {
    m_fAttackTimer = 10.0f;
  }
  UnitEntity* unit = owner->GetParentUnit();
  if (unit && unit->IsHero() && unit->GetHeroStats() && unit->GetHeroStats()->HasSkill(kActiveSkill)) {
    // A value of 0 or less would stop the blows for good (or turn the timer negative).
    const float speedUp = unit->GetHeroStats()->GetSkillByName(kActiveSkill).GetValue(Skill::ACTIVE_SKILL_VALUE);
    if (speedUp > 0.0f) m_fAttackTimer /= speedUp;
  }

  if (m_pTarget->IsOfType(SoldierEntity::GetClassTypeId())) {
    auto* defender = static_cast<SoldierEntity*>(m_pTarget);
    if (MathTools::DistanceBetweenVectorsIgnoreZ(owner->GetPosition(), defender->GetPosition()) >= m_fRange) {
      owner->SendMsg(VIS_MSG_USER_UNIT_MOVE_CLOSER, (INT_PTR)&defender->GetPosition());
      return;
    }
    defender->SendMsg(VIS_MSG_USER_UNIT_ATTACKED, (INT_PTR)owner);
    CalculateAttackResult(owner, defender);
    return;
  }
  if (!IsBuilding(m_pTarget)) return;
  auto* hits = static_cast<DestructableBuildingComponent*>(
      m_pTarget->GetComponentOfType(DestructableBuildingComponent::GetClassTypeId()));
  if (!hits) return;
  // The building's own handling of 201 takes its armour off once more.
  int damage = MathTools::RandomInt(owner->GetMinAttackDamage(true), owner->GetMaxAttackDamage(true) + 1) +
               SkillSumTruncated(owner, Skill::MELEE_DAMAGE_BONUS) - hits->GetArmorValue();
  if (damage < 1) damage = 1;
  m_pTarget->SendMsg(201, damage);
  if (hits->GetHitPoints() < 1) owner->SendMsg(VIS_MSG_USER_UNIT_STOP);
}

void InfantryAttackComponent::CalculateAttackResult(SoldierEntity* attacker, SoldierEntity* defender) {
  if (!attacker || !defender) return;
  const float hitFactor = 1.0f + SkillSum(attacker, Skill::HIT_CHANCE_BONUS);
  const int roll = MathTools::RandomInt(100);
  // A soldier without statistics has no hit chance of his own.
  const int hitChance = attacker->GetStats() ? attacker->GetStats()->m_CombatSkills.m_iMeleeHitChance : 0;
  if (roll >= (int)(hitChance * hitFactor + 0.5f)) return;

  int lo = attacker->GetMinAttackDamage(true), hi = attacker->GetMaxAttackDamage(true);
  const int bonus = SkillSumTruncated(attacker, Skill::MELEE_DAMAGE_BONUS);
  lo += bonus;
  hi += bonus;
  // The summed damage factor scales both bounds once; none, or 0 or less, leaves them.
  float factor = SkillSum(attacker, Skill::DAMAGE_FACTOR);
  if (factor <= 0.0f) factor = 1.0f;
  lo = (int)std::lround(lo * factor);
  hi = (int)std::lround(hi * factor);
  int damage = MathTools::RandomInt(lo, hi + 1);
  if (const CarryComponent* carry = attacker->Components<CarryComponent>(); carry && carry->IsCarrying()) damage /= 2;
  const int armour = defender->GetStats() ? defender->GetStats()->m_Hitpoints.GetArmor() : 0;
  damage -= armour + (int)SkillSum(attacker, Skill::DEFENCE_VALUE);
  defender->ReduceHitPoints(damage < 1 ? 1 : damage, attacker);
}
