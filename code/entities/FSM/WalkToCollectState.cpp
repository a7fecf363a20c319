// Walking to a collectable to carry.
#include "entities/FSM/WalkToCollectState.h"

#include "entities/SoldierEntity.h"

WalkToCollectState WalkToCollectState::s_instance;

// The walk's list first (the base constructor), then its own.
WalkToCollectState::WalkToCollectState() { AddGoalWalkTransitions(); }

void WalkToCollectState::Enter(SoldierEntity* soldier) { WalkState::Enter(soldier); }

// (Picking the carried item up comes with carrying loot.)
void WalkToCollectState::Execute(SoldierEntity* soldier, float dt) { WalkState::Execute(soldier, dt); }

void WalkToCollectState::Exit(SoldierEntity* soldier) { WalkState::Exit(soldier); }

void WalkToCollectState::MessageFunction(SoldierEntity* soldier, int id, INT_PTR p1, INT_PTR p2) {
  WalkState::MessageFunction(soldier, id, p1, p2);
}
