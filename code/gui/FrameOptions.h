// The settings screen, opened from the main menu and the in-game menu: resolution,
// window mode and volumes on the basic page, vertical sync, SSAO, shadows and
// anisotropic filtering on the advanced one. Volumes act at once, the rest on Apply;
// a new video mode must be confirmed within 30 seconds or it is undone.
#pragma once

#include "gui/BaseWindow.h"

class FrameOptions : public BaseWindow {
 public:
  FrameOptions();
  ~FrameOptions() override;
};
