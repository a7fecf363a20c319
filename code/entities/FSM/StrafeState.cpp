// The built-in family's sidestep.
#include "entities/FSM/StrafeState.h"

#include "components/InfantryMovementComponent.h"
#include "core/ComponentMessages.h"
#include "entities/FSM/AttackState.h"
#include "entities/FSM/DieState.h"
#include "entities/FSM/DizzyState.h"
#include "entities/FSM/IdleState.h"
#include "entities/FSM/WalkState.h"
#include "entities/FSM/WalkToAttackState.h"
#include "entities/FSM/WalkToCollectState.h"
#include "entities/SoldierEntity.h"

StrafeState StrafeState::s_instance;

StrafeState::StrafeState() {
  AddTransition(IdleState::GetInstance());
  AddTransition(AttackState::GetInstance());
  AddTransition(DieState::GetInstance());
  AddTransition(WalkToAttackState::GetInstance());
  AddTransition(WalkToCollectState::GetInstance());
  AddTransition(WalkState::GetInstance());
  AddTransition(DizzyState::GetInstance());
}

void StrafeState::Enter(SoldierEntity* soldier) {
  if (!soldier->HasMesh()) return;
  soldier->StartAnimation("Run", true, 1.0f, false);
  soldier->SetStateType(STATE_STRAFE);
}

void StrafeState::Execute(SoldierEntity* soldier, float) {
  if (InfantryMovementComponent* movement = soldier->GetMovementComponent()) movement->Update();
}

void StrafeState::Exit(SoldierEntity*) {}

void StrafeState::MessageFunction(SoldierEntity* soldier, int id, INT_PTR, INT_PTR) {
  if (id == VIS_MSG_USER_UNIT_DESTINATION_REACHED) soldier->GetStateMachine()->ChangeState(IdleState::GetInstance());
}
