// A dying soldier: leaves its unit, drops what it carries and falls as a ragdoll (or
// plays "Die"); there is no way out.
#pragma once

#include "core/State.h"

class SoldierEntity;

class DieState : public State<SoldierEntity> {
 public:
  static DieState* GetInstance() { return &s_instance; }

  void Enter(SoldierEntity* soldier) override;
  void Execute(SoldierEntity* soldier, float dt) override;
  void Exit(SoldierEntity* soldier) override;
  void MessageFunction(SoldierEntity* soldier, int id, INT_PTR p1, INT_PTR p2) override;

 protected:
  // Fills the list of allowed next states.
  DieState();

 private:
  static DieState s_instance;
};
