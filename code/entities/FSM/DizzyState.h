// A stunned soldier: limp for a while, then back to its follow-up state.
#pragma once

#include "core/State.h"

class SoldierEntity;

class DizzyState : public State<SoldierEntity> {
 public:
  static DizzyState* GetInstance() { return &s_instance; }

  void Enter(SoldierEntity* soldier) override;
  void Execute(SoldierEntity* soldier, float dt) override;
  void Exit(SoldierEntity* soldier) override;
  void MessageFunction(SoldierEntity* soldier, int id, INT_PTR p1, INT_PTR p2) override;

 protected:
  // Fills the list of allowed next states.
  DizzyState();

 private:
  static DizzyState s_instance;
};
