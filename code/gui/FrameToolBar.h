// The action tool bar of the head-up display: an options button that folds out
// the buttons of the game's screens, with marks for what is new behind them. The
// GUI manager owns it and shows or hides it with the HUD.
#pragma once

#include "gui/BaseWindow.h"

class FrameToolBar : public BaseWindow {
 public:
  FrameToolBar();
};
