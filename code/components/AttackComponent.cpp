// Targets and range of the soldiers' attacks.
#include "components/AttackComponent.h"

#include "components/DestructableBuildingComponent.h"

#include "Managers/SaveGameManager.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "entities/HeroStats.h"
#include "entities/Skill.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "util/MathTools.h"

#include "engine/Vision.h"
#include "engine/base/VArchive.h"
#include "engine/base/VarTable.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisCollisionToolkit.h"

namespace {
constexpr int kAttackVersion = 2;
}

V_IMPLEMENT_DYNCREATE_VARS(AttackComponent, BaseComponent, &AttackComponent::BuildVarList)

void AttackComponent::BuildVarList(VARTABLE& t) {
  VAR_FLOAT(t, AttackComponent, m_fRange, "Range when to change to attack state", "1.0");
}

AttackComponent::AttackComponent() {
  GameManager::Callbacks.OnUnitRemoved.RegisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.RegisterCallback(this);
}

AttackComponent::~AttackComponent() {
  GameManager::Callbacks.OnUnitRemoved.DeregisterCallback(this);
  GameManager::Callbacks.OnEntityDestroyed.DeregisterCallback(this);
}

int AttackComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  if (!object->IsOfType(SoldierEntity::GetClassTypeId())) {
    reason = "Component can only be added to instances of SoldierEntity or derived classes.";
    return 0;
  }
  return 1;
}

void AttackComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  VisBaseEntity_cl* entity = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
  if (data->m_pSender == &GameManager::Callbacks.OnEntityDestroyed) {
    if (entity == m_pTarget) m_pTarget = nullptr;
    if (entity == (VisBaseEntity_cl*)m_pTargetUnit) m_pTargetUnit = nullptr;
    return;
  }
  if (data->m_pSender != &GameManager::Callbacks.OnUnitRemoved || !entity || entity != (VisBaseEntity_cl*)m_pTargetUnit)
    return;
  m_pTargetUnit = nullptr;
  m_pTarget = nullptr;
  if (VisTypedEngineObject_cl* owner = GetOwner()) owner->SendMsg(VIS_MSG_USER_UNIT_STOP);
}

void AttackComponent::SetAttackTarget(VisBaseEntity_cl* target) {
  if (!m_bReadyForTarget || !target) return;
  m_pTarget = target;
  m_bReadyForTarget = false;
  m_bGroundAttack = false;
}

void AttackComponent::SetAttackTargetUnit(UnitEntity* unit) {
  m_pTargetUnit = unit;
  m_bGroundAttack = false;
}

void AttackComponent::SetGroundAttackTarget(const VisVector_cl& point) {
  m_bGroundAttack = true;
  m_vGroundTarget = point;
}

void AttackComponent::StopAttacking() {
  m_pTarget = nullptr;
  m_pTargetUnit = nullptr;
  m_bReadyForTarget = true;
}

void AttackComponent::UpdateTarget() {
  VisTypedEngineObject_cl* ownerObject = GetOwner();
  if (!ownerObject || !m_pTargetUnit) return;
  VisBaseEntity_cl* owner = static_cast<VisBaseEntity_cl*>(ownerObject);
  m_fNewTargetTimer -= Vision::Timer.GetTimeDifference();
  if (m_fNewTargetTimer >= 0.0f) return;
  if (!m_pTarget) {
    m_pTarget = m_pTargetUnit->GetNearestSoldierTo(owner->GetPosition());
    if (!m_pTarget) {
      m_fNewTargetTimer = 1.0f;
      return;
    }
  }
  if (MathTools::DistanceBetweenVectorsIgnoreZSquared(owner->GetPosition(), m_pTarget->GetPosition()) >
      m_fRange * m_fRange)
    owner->SendMsg(VIS_MSG_USER_UNIT_MOVE_CLOSER, (INT_PTR)&m_pTarget->GetPosition());
  else
    owner->SendMsg(VIS_MSG_USER_UNIT_NEW_TARGET, (INT_PTR)m_pTarget);
  m_fNewTargetTimer = 1.0f;
}

void AttackComponent::Serialize(VArchive& ar) {
  BaseComponent::Serialize(ar);
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kAttackVersion);
    ar.WriteObject(m_pTarget);
    ar.WriteObject((VisBaseEntity_cl*)m_pTargetUnit);
    ar << m_fRange << m_bReadyForTarget << m_fNewTargetTimer << m_fAttackTimer;
    SaveGameManagerProto::EndBlock(ar);
    return;
  }
  SavedBlockReader block(ar, "AttackComponent", kAttackVersion);
  if (!block.IsOpen()) return;
  VisBaseEntity_cl* target = m_pTarget;
  UnitEntity* unit = m_pTargetUnit;
  float range = m_fRange, newTargetTimer = m_fNewTargetTimer, attackTimer = m_fAttackTimer;
  bool ready = m_bReadyForTarget;
  if (block.Has(2)) ar >> target >> unit >> range >> ready >> newTargetTimer >> attackTimer;
  if (!block.End()) return;
  m_pTarget = target;
  m_pTargetUnit = unit;
  m_fRange = range;
  m_bReadyForTarget = ready;
  m_fNewTargetTimer = newTargetTimer;
  m_fAttackTimer = attackTimer;
}

SoldierEntity* AttackComponent::OwnerSoldier() const {
  VisTypedEngineObject_cl* owner = GetOwner();
  return owner && owner->IsOfType(SoldierEntity::GetClassTypeId()) ? static_cast<SoldierEntity*>(owner) : nullptr;
}

float AttackComponent::SkillSum(const SoldierEntity* soldier, int value) {
  UnitEntity* unit = soldier ? soldier->GetParentUnit() : nullptr;
  HeroStats* hero = unit ? unit->GetHeroStats() : nullptr;
  float sum = 0.0f;
  if (!hero) return sum;
  for (const Skill& skill : hero->GetSkills())
    if (skill.AppliesToUnit(unit)) sum += skill.GetValue(value);
  return sum;
}

int AttackComponent::SkillSumTruncated(const SoldierEntity* soldier, int value) {
  UnitEntity* unit = soldier ? soldier->GetParentUnit() : nullptr;
  HeroStats* hero = unit ? unit->GetHeroStats() : nullptr;
  int sum = 0;
  if (!hero) return sum;
  for (const Skill& skill : hero->GetSkills())
    if (skill.AppliesToUnit(unit)) sum += (int)skill.GetValue(value);
  return sum;
}

VisVector_cl AttackComponent::MuzzlePoint(const SoldierEntity* soldier) {
  const VisVector_cl offset(-0.37f, -0.95f, 1.22f);
  const VisMatrix3x3_cl& r = soldier->GetRotationMatrix();
  VisVector_cl p = soldier->GetPosition();
  for (int row = 0; row < 3; ++row) p[row] += r(row, 0) * offset.x + r(row, 1) * offset.y + r(row, 2) * offset.z;
  return p;
}

bool AttackComponent::IsBuilding(const VisBaseEntity_cl* entity) {
  return entity && entity->IsOfType("BuildingBaseEntity");
}

bool AttackComponent::IsStandingBuilding(const VisBaseEntity_cl* entity) {
  if (!IsBuilding(entity)) return false;
  const auto* hits = static_cast<const DestructableBuildingComponent*>(
      const_cast<VisBaseEntity_cl*>(entity)->GetComponentOfType(DestructableBuildingComponent::GetClassTypeId()));
  return hits && hits->GetHitPoints() > 0;
}

bool AttackComponent::FreeLine(const VisVector_cl& from, const VisVector_cl& to, const VisBaseEntity_cl* ignoreA,
                               const VisBaseEntity_cl* ignoreB) {
  const VisVector_cl up(0.0f, 0.0f, 2.0f);
  return !Vision::CollisionToolkit.TraceLine(from + up, to + up, 0xffffffff, VIS_TRACE_ALL, ignoreA, ignoreB,
                                             nullptr);
}

bool AttackComponent::CheckShotInRange(bool withGround) {
  SoldierEntity* owner = OwnerSoldier();
  if (!owner) return false;
  const float range = m_fRange * (1.0f + SkillSum(owner, Skill::RANGE_BONUS));
  const VisVector_cl& from = owner->GetPosition();
  bool inRange = false;
  if (withGround && m_bGroundAttack) {
    inRange = MathTools::DistanceBetweenVectors(from, m_vGroundTarget) < range &&
              FreeLine(from, m_vGroundTarget, owner, nullptr);
  } else {
    if (m_pTargetUnit) {
      SoldierEntity* nearest = m_pTargetUnit->GetNearestSoldierTo(from);
      if (nearest && MathTools::DistanceBetweenVectors(from, nearest->GetPosition()) < range) {
        m_pTarget = nearest;
        inRange = true;
      }
    }
    if (!inRange && IsBuilding(m_pTarget)) inRange = MathTools::DistanceToEntityBoundingBox(from, m_pTarget) < range;
    if (inRange) inRange = FreeLine(from, m_pTarget->GetPosition(), owner, m_pTarget);
  }
  if (inRange) owner->SendMsg(VIS_MSG_USER_UNIT_TARGET_IN_RANGE);
  return inRange;
}

bool AttackComponent::ShotIsDue(SoldierEntity* owner) {
  if (m_pTarget->IsOfType(SoldierEntity::GetClassTypeId()) && !m_pTargetUnit) {
    owner->SendMsg(VIS_MSG_USER_UNIT_STOP);
    m_pTarget = nullptr;
    SetReadyForTarget(true);
    return false;
  }
  if (owner->GetStateType() != STATE_ATTACK || m_fAttackTimer > 0.0f) {
    m_fAttackTimer -= Vision::Timer.GetTimeDifference();
    return false;
  }
  return true;
}
