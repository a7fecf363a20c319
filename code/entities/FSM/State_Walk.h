// A soldier of the script-driven family walking along its path.
#pragma once

#include "core/State.h"

class SoldierEntity;

class State_Walk : public State<SoldierEntity> {
 public:
  static State_Walk* GetInstance() { return &s_instance; }

  void Enter(SoldierEntity* soldier) override;
  void Execute(SoldierEntity* soldier, float dt) override;
  void Exit(SoldierEntity* soldier) override;
  void MessageFunction(SoldierEntity* soldier, int id, INT_PTR p1, INT_PTR p2) override;

 protected:
  // Fills the list of allowed next states.
  State_Walk();

 private:
  static State_Walk s_instance;
};
