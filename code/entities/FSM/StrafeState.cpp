// The built-in family's sidestep.
#include "entities/FSM/StrafeState.h"

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

// It moves and arrives as a walk does, but keeps its own list and Exit.
void StrafeState::Execute(SoldierEntity* soldier, float dt) { WalkState::GetInstance()->Execute(soldier, dt); }

void StrafeState::Exit(SoldierEntity*) {}

void StrafeState::MessageFunction(SoldierEntity* soldier, int id, INT_PTR p1, INT_PTR p2) {
  WalkState::GetInstance()->MessageFunction(soldier, id, p1, p2);
}
