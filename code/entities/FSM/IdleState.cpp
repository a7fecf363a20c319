// The built-in family's idle state.
#include "entities/FSM/IdleState.h"

#include "components/AttackComponent.h"
#include "core/ComponentMessages.h"
#include "entities/FSM/AttackState.h"
#include "entities/FSM/DieState.h"
#include "entities/FSM/DizzyState.h"
#include "entities/FSM/StrafeState.h"
#include "entities/FSM/WalkState.h"
#include "entities/FSM/WalkToAttackState.h"
#include "entities/FSM/WalkToCollectState.h"
#include "entities/SoldierEntity.h"
#include "util/MathTools.h"

IdleState IdleState::s_instance;

IdleState::IdleState() {
  AddTransition(WalkState::GetInstance());
  AddTransition(WalkToAttackState::GetInstance());
  AddTransition(WalkToCollectState::GetInstance());
  AddTransition(AttackState::GetInstance());
  AddTransition(DieState::GetInstance());
  AddTransition(StrafeState::GetInstance());
  AddTransition(DizzyState::GetInstance());
}

void IdleState::Enter(SoldierEntity* soldier) {
  if (!soldier->HasMesh()) return;
  soldier->StartAnimation("Idle", true, 1.0f, true);
  soldier->SetStateType(STATE_IDLE);
  soldier->StopOwner();
}

void IdleState::Execute(SoldierEntity*, float) {}
void IdleState::Exit(SoldierEntity*) {}

void IdleState::MessageFunction(SoldierEntity* soldier, int id, INT_PTR p1, INT_PTR) {
  if (id != VIS_MSG_USER_UNIT_NEW_TARGET) return;
  AttackComponent* attack = soldier->GetAttackComponent();
  VisBaseEntity_cl* target = reinterpret_cast<VisBaseEntity_cl*>(p1);
  if (!attack || !target) return;
  if (MathTools::DistanceBetweenVectorsIgnoreZ(soldier->GetPosition(), target->GetPosition()) > attack->GetRange())
    soldier->GetStateMachine()->ChangeState(WalkToAttackState::GetInstance());
  attack->SetAttackTarget(target);
}
