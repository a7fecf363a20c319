// The script-driven family's idle state.
#include "entities/FSM/State_Idle.h"

#include "core/ComponentMessages.h"
#include "entities/FSM/DieState.h"
#include "entities/FSM/DizzyState.h"
#include "entities/FSM/State_Attack.h"
#include "entities/FSM/State_Walk.h"
#include "entities/SoldierEntity.h"

#include "engine/core/VisSkeletalAnimControl.h"

State_Idle State_Idle::s_instance;

State_Idle::State_Idle() {
  AddTransition(State_Walk::GetInstance());
  AddTransition(State_Attack::GetInstance());
  AddTransition(DieState::GetInstance());
  AddTransition(DizzyState::GetInstance());
}

void State_Idle::Enter(SoldierEntity* soldier) {
  soldier->SetStateType(STATE_IDLE);
  if (VisSkeletalAnimControl_cl* control = soldier->StartAnimation("Idle", true, 1.0f, true))
    control->AddEventListener(soldier);
  soldier->SendMsg(VIS_MSG_USER_UNIT_REFRESH_ANIMCONFIG);
  soldier->StopOwner();
}

void State_Idle::Execute(SoldierEntity*, float) {}
void State_Idle::Exit(SoldierEntity*) {}
void State_Idle::MessageFunction(SoldierEntity*, int, INT_PTR, INT_PTR) {}
