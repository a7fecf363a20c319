// Runs before the current state for every message a soldier hears: turns unit
// orders (move, attack, ground attack), blasts and death into state changes.
#pragma once

#include "core/State.h"

#include "engine/base/VisMath.h"

class SoldierEntity;

class GlobalStateSoldier : public State<SoldierEntity> {
 public:
  static GlobalStateSoldier* GetInstance() { return &s_instance; }

  void Enter(SoldierEntity* soldier) override;
  void Execute(SoldierEntity* soldier, float dt) override;
  void Exit(SoldierEntity* soldier) override;
  void MessageFunction(SoldierEntity* soldier, int id, INT_PTR p1, INT_PTR p2) override;

  // An attack order with the message's parameters as they came: position points to
  // the target position, target is the target entity or 0.
  void NewAttackCommand(SoldierEntity* soldier, INT_PTR position, INT_PTR target);
  void GroundAttackCommand(SoldierEntity* soldier, VisVector_cl position);

 protected:
  // Fills the list of allowed next states.
  GlobalStateSoldier();

 private:
  static GlobalStateSoldier s_instance;
};
