// The choice of the ship's first special weapon in a new game, shown inside the
// main menu: three offers that the game script's "GetSW" describes.
#pragma once

#include "gui/BaseWindow.h"

class FrameSpecialWeapon : public BaseWindow {
 public:
  FrameSpecialWeapon();
  ~FrameSpecialWeapon() override;

  int GetSelectedSlot() const { return m_iSelectedSlot; }
  void SetSelectedSlot(int slot) { m_iSelectedSlot = slot; }
  // Each returns the length of the last animation it started, in seconds.
  float StartFadeInAnimation();
  float StartFadeOutAnimation();

 private:
  int m_iSelectedSlot = 0;
};
