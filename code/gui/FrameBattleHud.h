// The head-up frame while the player sails: on the world map and at sea. It opens
// and closes with its layout; its gauges and buttons come with the head-up display.
#pragma once

#include "gui/BaseWindow.h"

class FrameBattleHud : public BaseWindow {
 public:
  FrameBattleHud();
};
