// Walking to a collectable to carry.
#include "entities/FSM/WalkToCollectState.h"

#include "components/InfantryMovementComponent.h"
#include "entities/FSM/AttackState.h"
#include "entities/FSM/DieState.h"
#include "entities/FSM/DizzyState.h"
#include "entities/FSM/IdleState.h"
#include "entities/FSM/WalkToAttackState.h"
#include "entities/SoldierEntity.h"

WalkToCollectState WalkToCollectState::s_instance;

// The walk's list first (the base constructor), then its own.
WalkToCollectState::WalkToCollectState() {
  AddTransition(IdleState::GetInstance());
  AddTransition(WalkState::GetInstance());
  AddTransition(AttackState::GetInstance());
  AddTransition(DieState::GetInstance());
  AddTransition(WalkToAttackState::GetInstance());
  AddTransition(WalkToCollectState::GetInstance());
  AddTransition(DizzyState::GetInstance());
}

void WalkToCollectState::Enter(SoldierEntity* soldier) { WalkState::Enter(soldier); }

// (Picking the carried item up comes with carrying loot.)
void WalkToCollectState::Execute(SoldierEntity* soldier, float) {
  if (InfantryMovementComponent* movement = soldier->GetMovementComponent()) movement->Update();
}

void WalkToCollectState::Exit(SoldierEntity* soldier) { WalkState::Exit(soldier); }

void WalkToCollectState::MessageFunction(SoldierEntity* soldier, int id, INT_PTR p1, INT_PTR p2) {
  WalkState::MessageFunction(soldier, id, p1, p2);
}
