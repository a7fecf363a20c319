// A soldier walking to a collectable it is to carry.
#pragma once

#include "entities/FSM/WalkState.h"

class SoldierEntity;

class WalkToCollectState : public WalkState {
 public:
  static WalkToCollectState* GetInstance() { return &s_instance; }

  void Enter(SoldierEntity* soldier) override;
  void Execute(SoldierEntity* soldier, float dt) override;
  void Exit(SoldierEntity* soldier) override;
  void MessageFunction(SoldierEntity* soldier, int id, INT_PTR p1, INT_PTR p2) override;

 protected:
  // Fills the list of allowed next states.
  WalkToCollectState();

 private:
  static WalkToCollectState s_instance;
};
