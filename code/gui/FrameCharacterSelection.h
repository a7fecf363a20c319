// The hero choice of a new game, shown inside the main menu: three heroes with
// their picture, story, power-ball rows and perk. A choice is stored in GUIManager
// at once; Back and Forward drive the main menu's transitions.
#pragma once

#include "gui/BaseWindow.h"

class FrameCharacterSelection : public BaseWindow {
 public:
  FrameCharacterSelection();
  ~FrameCharacterSelection() override;

  // Each returns the length of the last animation it started, in seconds.
  float StartFadeInAnimation();
  float StartFadeOutAnimation();
};
