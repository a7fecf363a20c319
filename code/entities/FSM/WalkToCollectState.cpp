// Walking to a collectable to carry.
#include "entities/FSM/WalkToCollectState.h"

WalkToCollectState WalkToCollectState::s_instance;

// The walk's list first (the base constructor), then its own.
WalkToCollectState::WalkToCollectState() { AddGoalWalkTransitions(); }
