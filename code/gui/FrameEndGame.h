// The end of a battle: its outcome as text and one button (or Return) back to the
// main menu.
#pragma once

#include "gui/BaseWindow.h"

class FrameEndGame : public BaseWindow {
 public:
  FrameEndGame();
  ~FrameEndGame() override;

  // The return button, and the keys released over the frame.
  bool HookComponents() override;
  // Return goes back to the main menu; any other key is left to others.
  bool KeyUp(const CEGUI::EventArgs& args) override;

  // The outcome and both ship counts; always true.
  bool SetBattleEndText(unsigned int playerShips, unsigned int enemyShips);

 private:
  // Ends the battle, closes every frame and shows the main menu.
  bool OnReturn(const CEGUI::EventArgs& args);
};
