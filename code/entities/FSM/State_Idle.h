// A soldier of the script-driven family standing still; its animation events reach
// the soldier's script.
#pragma once

#include "core/State.h"

class SoldierEntity;

class State_Idle : public State<SoldierEntity> {
 public:
  static State_Idle* GetInstance() { return &s_instance; }

  void Enter(SoldierEntity* soldier) override;
  void Execute(SoldierEntity* soldier, float dt) override;
  void Exit(SoldierEntity* soldier) override;
  void MessageFunction(SoldierEntity* soldier, int id, INT_PTR p1, INT_PTR p2) override;

 protected:
  // Fills the list of allowed next states.
  State_Idle();

 private:
  static State_Idle s_instance;
};
