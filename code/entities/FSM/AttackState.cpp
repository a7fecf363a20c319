// The built-in family's fight.
#include "entities/FSM/AttackState.h"

#include "components/AttackComponent.h"
#include "components/InfantryMovementComponent.h"
#include "components/InfantryPathComponent.h"
#include "core/ComponentMessages.h"
#include "entities/FSM/DieState.h"
#include "entities/FSM/DizzyState.h"
#include "entities/FSM/IdleState.h"
#include "entities/FSM/WalkState.h"
#include "entities/FSM/WalkToAttackState.h"
#include "entities/FSM/WalkToCollectState.h"
#include "entities/SoldierEntity.h"
#include "entities/UnitEntity.h"
#include "util/MathTools.h"

AttackState AttackState::s_instance;

namespace {

// Leaving the fight stops the attack component, which forgets the target and the
// enemy unit; the walk needs both, the unit to pick the next soldier once this one falls.
void WalkCloser(SoldierEntity* soldier, AttackComponent* attack, VisBaseEntity_cl* target) {
  UnitEntity* unit = attack->GetAttackTargetUnit();
  soldier->GetStateMachine()->ChangeState(WalkToAttackState::GetInstance());
  attack->SetAttackTarget(target);
  if (unit) attack->SetAttackTargetUnit(unit);
}

}  // namespace

AttackState::AttackState() {
  AddTransition(WalkState::GetInstance());
  AddTransition(WalkToAttackState::GetInstance());
  AddTransition(WalkToCollectState::GetInstance());
  AddTransition(IdleState::GetInstance());
  AddTransition(DieState::GetInstance());
  AddTransition(DizzyState::GetInstance());
}

void AttackState::Enter(SoldierEntity* soldier) {
  if (!soldier->HasMesh()) return;
  soldier->StartAnimation("Attack", true, 1.0f, false);
  AttackComponent* attack = soldier->GetAttackComponent();
  if (attack && attack->GetAttackTarget()) soldier->TurnFaceTo(attack->GetAttackTarget()->GetPosition());
  soldier->SetStateType(STATE_ATTACK);
  if (InfantryPathComponent* path = soldier->GetPathComponent()) path->ClearPath();
}

void AttackState::Execute(SoldierEntity* soldier, float) {
  if (AttackComponent* attack = soldier->GetAttackComponent()) attack->Update();
}

void AttackState::Exit(SoldierEntity* soldier) {
  if (AttackComponent* attack = soldier->GetAttackComponent()) attack->StopAttacking();
}

void AttackState::MessageFunction(SoldierEntity* soldier, int id, INT_PTR p1, INT_PTR) {
  StateMachine<SoldierEntity>* machine = soldier->GetStateMachine();
  AttackComponent* attack = soldier->GetAttackComponent();
  switch (id) {
    case VIS_MSG_USER_UNIT_MOVE_CLOSER: {
      InfantryMovementComponent* movement = soldier->GetMovementComponent();
      if (!movement || !p1) return;
      const VisVector_cl& where = *reinterpret_cast<const VisVector_cl*>(p1);
      movement->SetTarget(where);
      if (attack && MathTools::DistanceBetweenVectorsIgnoreZ(soldier->GetPosition(), where) > attack->GetRange())
        WalkCloser(soldier, attack, attack->GetAttackTarget());
      return;
    }
    case VIS_MSG_USER_UNIT_NEW_TARGET: {
      if (!attack) return;
      VisBaseEntity_cl* target = reinterpret_cast<VisBaseEntity_cl*>(p1);
      if (target && target->IsOfType(UnitEntity::GetClassTypeId()))
        target = static_cast<UnitEntity*>(target)->GetNearestSoldierTo(soldier->GetPosition());
      if (!target) {
        machine->ChangeState(IdleState::GetInstance());
        return;
      }
      attack->SetAttackTarget(target);
      if (MathTools::DistanceBetweenVectorsIgnoreZ(soldier->GetPosition(), target->GetPosition()) > attack->GetRange())
        WalkCloser(soldier, attack, attack->GetAttackTarget());
      return;
    }
    case VIS_MSG_USER_UNIT_STOP:
      machine->ChangeState(IdleState::GetInstance());
      return;
    case VIS_MSG_USER_UNIT_MOVE:
      machine->ChangeState(WalkState::GetInstance());
      if (InfantryMovementComponent* movement = soldier->GetMovementComponent()) {
        if (p1) movement->SetTarget(*reinterpret_cast<const VisVector_cl*>(p1));
      }
      return;
    default:
      return;
  }
}
