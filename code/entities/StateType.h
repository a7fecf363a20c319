// What a soldier is doing, as its states set it: read by the attack components
// (which act in the attack state only) and by the damage path (which skips the dead).
#pragma once

enum StateType {
  STATE_NONE = 0,
  STATE_IDLE = 1,
  STATE_WALK = 2,
  STATE_STRAFE = 3,
  STATE_ATTACK = 4,
  STATE_DEAD = 5,
  STATE_DIZZY = 6,
};
