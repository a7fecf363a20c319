// The built-in family's walk.
#include "entities/FSM/WalkState.h"

#include "components/InfantryMovementComponent.h"
#include "core/ComponentMessages.h"
#include "entities/FSM/AttackState.h"
#include "entities/FSM/DieState.h"
#include "entities/FSM/DizzyState.h"
#include "entities/FSM/IdleState.h"
#include "entities/FSM/StrafeState.h"
#include "entities/FSM/WalkToAttackState.h"
#include "entities/FSM/WalkToCollectState.h"
#include "entities/SoldierEntity.h"

WalkState WalkState::s_instance;

WalkState::WalkState() {
  AddTransition(IdleState::GetInstance());
  AddTransition(AttackState::GetInstance());
  AddTransition(DieState::GetInstance());
  AddTransition(WalkToAttackState::GetInstance());
  AddTransition(WalkToCollectState::GetInstance());
  AddTransition(WalkState::GetInstance());
  AddTransition(StrafeState::GetInstance());
  AddTransition(DizzyState::GetInstance());
}

void WalkState::AddGoalWalkTransitions() {
  AddTransition(IdleState::GetInstance());
  AddTransition(WalkState::GetInstance());
  AddTransition(AttackState::GetInstance());
  AddTransition(DieState::GetInstance());
  AddTransition(WalkToAttackState::GetInstance());
  AddTransition(WalkToCollectState::GetInstance());
  AddTransition(DizzyState::GetInstance());
}

void WalkState::Enter(SoldierEntity* soldier) {
  if (!soldier->HasMesh()) return;
  // A walk continued from itself keeps its animation.
  StateMachine<SoldierEntity>* machine = soldier->GetStateMachine();
  const bool continued = machine && machine->GetPreviousState() == machine->GetCurrentState();
  if (!continued && !soldier->StartAnimation("Run", true, 1.0f, false)) soldier->StartAnimation("Move", true, 1.0f, false);
  soldier->SetStateType(STATE_WALK);
}

void WalkState::Execute(SoldierEntity* soldier, float) {
  if (InfantryMovementComponent* movement = soldier->GetMovementComponent()) movement->Update();
}

void WalkState::Exit(SoldierEntity* soldier) { soldier->StopOwner(); }

void WalkState::MessageFunction(SoldierEntity* soldier, int id, INT_PTR, INT_PTR) {
  if (id == VIS_MSG_USER_UNIT_DESTINATION_REACHED) soldier->GetStateMachine()->ChangeState(IdleState::GetInstance());
}
