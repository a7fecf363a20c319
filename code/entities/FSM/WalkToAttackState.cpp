// Walking towards an attack target.
#include "entities/FSM/WalkToAttackState.h"

#include "components/AttackComponent.h"
#include "components/InfantryMovementComponent.h"
#include "components/InfantryPathComponent.h"
#include "core/ComponentMessages.h"
#include "entities/FSM/AttackState.h"
#include "entities/FSM/IdleState.h"
#include "entities/SoldierEntity.h"
#include "util/MathTools.h"

#include "engine/core/VisPath.h"
#include "engine/core/VisPathNode.h"

WalkToAttackState WalkToAttackState::s_instance;

// The walk's list first (the base constructor), then its own.
WalkToAttackState::WalkToAttackState() { AddGoalWalkTransitions(); }

void WalkToAttackState::Enter(SoldierEntity* soldier) {
  AttackComponent* attack = soldier->GetAttackComponent();
  if (attack && attack->CheckInRange()) return;
  WalkState::Enter(soldier);
}

void WalkToAttackState::Execute(SoldierEntity* soldier, float dt) {
  WalkState::Execute(soldier, dt);
  AttackComponent* attack = soldier->GetAttackComponent();
  if (!attack) return;
  if (!attack->GetAttackTarget() && !attack->GetAttackTargetUnit())
    soldier->GetStateMachine()->ChangeState(WalkState::GetInstance());
  attack->UpdateTarget();
  attack->CheckInRange();
}

void WalkToAttackState::MessageFunction(SoldierEntity* soldier, int id, INT_PTR p1, INT_PTR) {
  StateMachine<SoldierEntity>* machine = soldier->GetStateMachine();
  AttackComponent* attack = soldier->GetAttackComponent();
  switch (id) {
    case VIS_MSG_USER_UNIT_MOVE_CLOSER: {
      if (!p1) return;
      const VisVector_cl& target = *reinterpret_cast<const VisVector_cl*>(p1);
      if (InfantryPathComponent* path = soldier->GetPathComponent()) {
        const float reach = attack ? attack->GetRange() : 2.0f;
        VisPath_cl* nodes = path->GetPath();
        if (!nodes || nodes->GetPathNodeCount() == 0) {
          // No walk left: a fight moved on to the next target, or the path ran out short
          // of the range (its end counts as reached before the target, and dodging drags
          // it aside). A new one is made to the target.
          path->MakePathTo(target, false);
        } else if (MathTools::DistanceBetweenVectorsIgnoreZ(target, path->GetEndPosition()) > reach) {
          nodes->GetPathNode(nodes->GetPathNodeCount() - 1)->SetPosition(target);
        }
      } else if (InfantryMovementComponent* movement = soldier->GetMovementComponent()) {
        movement->SetTarget(target);
      }
      return;
    }
    case VIS_MSG_USER_UNIT_TARGET_IN_RANGE:
      // Buildings that cannot be damaged are not fought: the soldier waits for another target.
      if (attack && attack->GetAttackTarget() && attack->GetAttackTarget()->IsOfType("BuildingBaseEntity") &&
          !attack->GetAttackTarget()->GetComponentOfType("DestructableBuildingComponent")) {
        attack->SetReadyForTarget(true);
        machine->ChangeState(IdleState::GetInstance());
      } else {
        machine->ChangeState(AttackState::GetInstance());
      }
      return;
    case VIS_MSG_USER_UNIT_STOP:
      machine->ChangeState(IdleState::GetInstance());
      return;
    default:
      return;
  }
}
