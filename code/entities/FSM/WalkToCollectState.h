// A soldier walking to a collectable it is to carry: a walk with the goal walk's
// transitions (picking the item up comes with carrying loot).
#pragma once

#include "entities/FSM/WalkState.h"

class WalkToCollectState : public WalkState {
 public:
  static WalkToCollectState* GetInstance() { return &s_instance; }

 protected:
  // Fills the list of allowed next states.
  WalkToCollectState();

 private:
  static WalkToCollectState s_instance;
};
