// Walking to a collectable to carry.
#include "entities/FSM/WalkToCollectState.h"

#include "components/CarryComponent.h"
#include "entities/FSM/IdleState.h"
#include "entities/SoldierEntity.h"

WalkToCollectState WalkToCollectState::s_instance;

// The walk's list first (the base constructor), then its own.
WalkToCollectState::WalkToCollectState() { AddGoalWalkTransitions(); }

void WalkToCollectState::Execute(SoldierEntity* soldier, float dt) {
  WalkState::Execute(soldier, dt);
  auto* carry = soldier->Components<CarryComponent>();
  if (!carry || !carry->GetCarryTarget()) return;
  carry->CheckAndCollectCarryTarget();
  if (!carry->GetCarryTarget() && soldier->GetStateMachine())
    soldier->GetStateMachine()->ChangeState(IdleState::GetInstance());
}
