// A soldier of the built-in family fighting its attack target.
#pragma once

#include "core/State.h"

class SoldierEntity;

class AttackState : public State<SoldierEntity> {
 public:
  static AttackState* GetInstance() { return &s_instance; }

  void Enter(SoldierEntity* soldier) override;
  void Execute(SoldierEntity* soldier, float dt) override;
  void Exit(SoldierEntity* soldier) override;
  void MessageFunction(SoldierEntity* soldier, int id, INT_PTR p1, INT_PTR p2) override;

 protected:
  // Fills the list of allowed next states.
  AttackState();

 private:
  static void WalkOnToTarget(SoldierEntity* soldier, VisBaseEntity_cl* target);
  static AttackState s_instance;
};
