// A soldier of the built-in family walking to its target; arriving makes it idle.
#pragma once

#include "core/State.h"

class SoldierEntity;

class WalkState : public State<SoldierEntity> {
 public:
  static WalkState* GetInstance() { return &s_instance; }

  void Enter(SoldierEntity* soldier) override;
  void Execute(SoldierEntity* soldier, float dt) override;
  void Exit(SoldierEntity* soldier) override;
  void MessageFunction(SoldierEntity* soldier, int id, INT_PTR p1, INT_PTR p2) override;

 protected:
  // Fills the list of allowed next states.
  WalkState();
  // What a walk to a goal allows after the walk's own list.
  void AddGoalWalkTransitions();

 private:
  static WalkState s_instance;
};
