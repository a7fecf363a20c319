// The menu opened during play by Escape or the tool bar: resume, options, save,
// load, tutorials and the two exits. The game is fully paused while it is open.
#pragma once

#include "gui/BaseWindow.h"

class FrameIngameMenu : public BaseWindow {
 public:
  FrameIngameMenu();
  ~FrameIngameMenu() override;
};
