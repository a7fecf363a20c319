// Targets and range of the soldiers' attacks.
#include "components/AttackComponent.h"

#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "util/MathTools.h"

#include "engine/base/VarTable.h"
#include "engine/base/VisTimer.h"

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
