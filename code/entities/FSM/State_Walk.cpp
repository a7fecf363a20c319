// The script-driven family's walk.
#include "entities/FSM/State_Walk.h"

#include "components/InfantryMovementComponent.h"
#include "components/InfantryPathComponent.h"
#include "core/ComponentMessages.h"
#include "entities/FSM/DieState.h"
#include "entities/FSM/DizzyState.h"
#include "entities/FSM/State_Attack.h"
#include "entities/FSM/State_Idle.h"
#include "entities/SoldierEntity.h"

#include "engine/core/VisSkeletalAnimControl.h"

State_Walk State_Walk::s_instance;

State_Walk::State_Walk() {
  AddTransition(State_Idle::GetInstance());
  AddTransition(State_Attack::GetInstance());
  AddTransition(DieState::GetInstance());
  AddTransition(DizzyState::GetInstance());
}

void State_Walk::Enter(SoldierEntity* soldier) {
  soldier->SetStateType(STATE_WALK);
  StateMachine<SoldierEntity>* machine = soldier->GetStateMachine();
  if (machine && machine->GetPreviousState() != this) {
    VisSkeletalAnimControl_cl* control = soldier->StartAnimation("Run", true, 1.0f, true);
    if (!control) control = soldier->StartAnimation("Move", true, 1.0f, true);
    if (control) control->AddEventListener(soldier);
    soldier->SendMsg(VIS_MSG_USER_UNIT_REFRESH_ANIMCONFIG);
  }
  if (InfantryPathComponent* path = soldier->GetPathComponent()) path->UpdateOwner();
}

void State_Walk::Execute(SoldierEntity* soldier, float) {
  if (InfantryMovementComponent* movement = soldier->GetMovementComponent()) movement->Update();
}

void State_Walk::Exit(SoldierEntity* soldier) { soldier->StopOwner(); }

// The arrival ends the walk without a time limit (-9999 lies below any limit).
void State_Walk::MessageFunction(SoldierEntity* soldier, int id, INT_PTR, INT_PTR) {
  if (id == VIS_MSG_USER_UNIT_DESTINATION_REACHED) soldier->GetStateMachine()->ChangeState(State_Idle::GetInstance(), -9999.0f);
}
