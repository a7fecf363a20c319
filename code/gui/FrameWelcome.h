// The welcome screen: one Continue button that closes it. Scripts open it by its
// frame kind.
#pragma once

#include "gui/BaseWindow.h"

class FrameWelcome : public BaseWindow {
 public:
  FrameWelcome();

  // Continue (the button or its text) closes the frame.
  bool HookComponents() override;
  bool ContinueClicked(const CEGUI::EventArgs& args);
};
