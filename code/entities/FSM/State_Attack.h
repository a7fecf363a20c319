// A soldier of the script-driven family attacking: plays an attack animation and
// hands its events to the soldier's script.
#pragma once

#include "core/State.h"

class SoldierEntity;

class State_Attack : public State<SoldierEntity> {
 public:
  static State_Attack* GetInstance() { return &s_instance; }

  void Enter(SoldierEntity* soldier) override;
  void Execute(SoldierEntity* soldier, float dt) override;
  void Exit(SoldierEntity* soldier) override;
  void MessageFunction(SoldierEntity* soldier, int id, INT_PTR p1, INT_PTR p2) override;

 protected:
  // Fills the list of allowed next states.
  State_Attack();

 private:
  static State_Attack s_instance;
};
