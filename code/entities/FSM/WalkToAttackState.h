// A soldier walking towards its attack target until the target is in range.
#pragma once

#include "entities/FSM/WalkState.h"

class SoldierEntity;

class WalkToAttackState : public WalkState {
 public:
  static WalkToAttackState* GetInstance() { return &s_instance; }

  void Enter(SoldierEntity* soldier) override;
  void Execute(SoldierEntity* soldier, float dt) override;
  void MessageFunction(SoldierEntity* soldier, int id, INT_PTR p1, INT_PTR p2) override;

 protected:
  // Fills the list of allowed next states.
  WalkToAttackState();

 private:
  static WalkToAttackState s_instance;
};
