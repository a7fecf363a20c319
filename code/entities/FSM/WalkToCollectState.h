// A soldier walking to a collectable it is to carry: a walk with the goal walk's
// transitions that picks the item up once in reach and then idles.
#pragma once

#include "entities/FSM/WalkState.h"

class WalkToCollectState : public WalkState {
 public:
  static WalkToCollectState* GetInstance() { return &s_instance; }
  // The walk's movement; then the carry component tries its target, and with the
  // target gone (taken or forgotten) the soldier idles.
  void Execute(SoldierEntity* soldier, float dt) override;

 protected:
  // Fills the list of allowed next states.
  WalkToCollectState();

 private:
  static WalkToCollectState s_instance;
};
