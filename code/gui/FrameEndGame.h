// The end of a battle: its outcome as text and one button (or Return) back to the
// main menu.
#pragma once

#include "gui/BaseWindow.h"

class FrameEndGame : public BaseWindow {
 public:
  FrameEndGame();
  ~FrameEndGame() override;

  // The outcome and both ship counts; always true.
  bool SetBattleEndText(unsigned int playerShips, unsigned int enemyShips);
};
