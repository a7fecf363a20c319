// The soldiers' global state: orders, blasts and death.
#include "entities/FSM/GlobalStateSoldier.h"

#include "components/AttackComponent.h"
#include "components/BasePathComponent.h"
#include "components/InfantryMovementComponent.h"
#include "components/RagdollComponent.h"
#include "core/ComponentMessages.h"
#include "entities/BlastRecord.h"
#include "entities/FSM/AttackState.h"
#include "entities/FSM/DieState.h"
#include "entities/FSM/WalkState.h"
#include "entities/FSM/WalkToAttackState.h"
#include "entities/ProjectileEntity.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierStats.h"
#include "entities/UnitEntity.h"
#include "util/ComponentSetup.h"
#include "util/MathTools.h"

GlobalStateSoldier GlobalStateSoldier::s_instance;

GlobalStateSoldier::GlobalStateSoldier() = default;

void GlobalStateSoldier::Enter(SoldierEntity*) {}
void GlobalStateSoldier::Execute(SoldierEntity*, float) {}
void GlobalStateSoldier::Exit(SoldierEntity*) {}

namespace {

bool Allows(SoldierEntity* soldier, State<SoldierEntity>* next) {
  StateMachine<SoldierEntity>* machine = soldier->GetStateMachine();
  return machine && machine->GetCurrentState() && machine->GetCurrentState()->HasTransition(next);
}

void OnBlast(SoldierEntity* soldier, const BlastRecord* blast) {
  if (!soldier->GetStats() || !blast || !blast->projectile ||
      !blast->projectile->IsOfType(ProjectileEntity::GetClassTypeId()))
    return;
  VisBaseEntity_cl* shooter = static_cast<ProjectileEntity*>(blast->projectile)->GetShooter();
  if (shooter && shooter->IsOfType(SoldierEntity::GetClassTypeId())) {
    SoldierEntity* attacker = static_cast<SoldierEntity*>(shooter);
    int damage = MathTools::RandomInt(attacker->GetMinAttackDamage(true), attacker->GetMaxAttackDamage(true));
    soldier->ReduceHitPoints(damage, attacker);
  } else {
    soldier->ReduceHitPoints(10, nullptr);
  }
  if (soldier->GetStats()->m_Hitpoints.GetCurrent() != 0) return;
  RagdollComponent* ragdoll = ComponentSetup::TakeOrAdd<RagdollComponent>(soldier);
  if (!ragdoll) return;
  ragdoll->SetLifeTime(10.0f);
  ragdoll->AddForce(blast->impactPoint, blast->push, RagdollComponent::NX_VELOCITY_CHANGE);
}

}  // namespace

void GlobalStateSoldier::MessageFunction(SoldierEntity* soldier, int id, INT_PTR p1, INT_PTR p2) {
  StateMachine<SoldierEntity>* machine = soldier->GetStateMachine();
  switch (id) {
    case VIS_MSG_USER_BLAST:
      OnBlast(soldier, reinterpret_cast<const BlastRecord*>(p1));
      break;
    case VIS_MSG_USER_UNIT_MOVE: {
      if (!Allows(soldier, WalkState::GetInstance())) break;
      machine->ChangeState(WalkState::GetInstance());
      UnitEntity* unit = soldier->GetParentUnit();
      if (unit && unit->GetComponentOfType(BasePathComponent::GetClassTypeId(), false)) break;
      InfantryMovementComponent* movement = soldier->GetMovementComponent();
      if (!movement || !p1) break;
      const VisVector_cl& target = *reinterpret_cast<const VisVector_cl*>(p1);
      movement->SetTarget(target);
      soldier->TurnFaceTo(target);
      break;
    }
    case VIS_MSG_USER_UNIT_ATTACK_ORDER:
      if (Allows(soldier, WalkToAttackState::GetInstance())) NewAttackCommand(soldier, p1, p2);
      break;
    case VIS_MSG_USER_UNIT_ATTACKED:
      machine->ChangeState(AttackState::GetInstance());
      if (AttackComponent* attack = soldier->GetAttackComponent()) {
        if (p1) attack->SetAttackTarget(reinterpret_cast<VisBaseEntity_cl*>(p1));
      }
      break;
    case VIS_MSG_USER_UNIT_DIE:
      machine->ChangeState(DieState::GetInstance());
      break;
    case VIS_MSG_USER_UNIT_GROUND_ATTACK:
      if (p1 && Allows(soldier, WalkToAttackState::GetInstance()))
        GroundAttackCommand(soldier, *reinterpret_cast<const VisVector_cl*>(p1));
      break;
    default:
      break;
  }
}

void GlobalStateSoldier::NewAttackCommand(SoldierEntity* soldier, INT_PTR position, INT_PTR target) {
  InfantryMovementComponent* movement = soldier->GetMovementComponent();
  if (!movement || !position) return;
  StateMachine<SoldierEntity>* machine = soldier->GetStateMachine();
  const VisVector_cl& where = *reinterpret_cast<const VisVector_cl*>(position);
  VisBaseEntity_cl* entity = reinterpret_cast<VisBaseEntity_cl*>(target);
  movement->SetTarget(where);
  soldier->TurnFaceTo(where);
  AttackComponent* attack = soldier->GetAttackComponent();
  if (attack) {
    if (MathTools::DistanceBetweenVectorsIgnoreZ(soldier->GetPosition(), where) > attack->GetRange()) {
      machine->ChangeState(WalkToAttackState::GetInstance());
    } else if (!machine->IsInState(AttackState::GetInstance())) {
      machine->ChangeState(AttackState::GetInstance());
      if (entity) attack->SetAttackTarget(entity);
    }
  }
  if (!entity) return;
  if (entity->IsOfType(UnitEntity::GetClassTypeId())) {
    UnitEntity* unit = static_cast<UnitEntity*>(entity);
    if (unit->GetNation() != 0) {
      if (attack) attack->SetAttackTargetUnit(unit);
    } else {
      machine->ChangeState(WalkState::GetInstance());
    }
  } else if (entity->IsOfType("BuildingBaseEntity")) {
    if (attack) attack->SetAttackTarget(entity);
  }
}

void GlobalStateSoldier::GroundAttackCommand(SoldierEntity* soldier, VisVector_cl position) {
  if (InfantryMovementComponent* movement = soldier->GetMovementComponent()) {
    movement->SetTarget(position);
    soldier->TurnFaceTo(position);
    soldier->GetStateMachine()->ChangeState(WalkToAttackState::GetInstance());
  }
  if (AttackComponent* attack = soldier->GetAttackComponent()) attack->SetGroundAttackTarget(position);
}
