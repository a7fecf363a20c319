// The pause frame: a pulsing label over the game while it is fully paused. The
// pause manager opens and closes it.
#pragma once

#include "gui/BaseWindow.h"

class FramePause : public BaseWindow {
 public:
  FramePause();
  // Withdraws the frame's game-pause request.
  ~FramePause() override;

  // Requests the game pause and finds the label.
  bool HookComponents() override;
  // The label's alpha follows the pulse.
  void OnBeforeGUIUpdate() override;

  float GetPhase() const { return m_fPhase; }

 private:
  CEGUI::Window* m_pLabel = nullptr;
  float m_fPhase = 0.0f;
};
