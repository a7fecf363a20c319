// The joke-in-a-bottle frame: the joke on an unrolling paper scroll with the count
// of jokes read. So far it holds what the joke manager fills in; the scroll's
// animation, the close button and the show-jokes check box come with the screen.
#pragma once

#include "gui/BaseWindow.h"

class FrameJokeInBottle : public BaseWindow {
 public:
  FrameJokeInBottle();
  ~FrameJokeInBottle() override;

  // Finds the counter and the joke text widgets.
  bool HookComponents() override;
  // Counter "read/all", the joke text, and the unrolling starts again.
  void InitWindow(const CEGUI::String& text, bool unused);

  const CEGUI::String& GetJokeText() const { return m_sText; }
  const CEGUI::String& GetCounterText() const { return m_sCounter; }
  bool IsAnimating() const { return m_bAnimating; }
  float GetAnimationTimer() const { return m_fAnimationTimer; }

 private:
  CEGUI::Window* m_pJokeCounter = nullptr;
  CEGUI::Window* m_pJokeText = nullptr;
  bool m_bAnimating = true;
  float m_fAnimationTimer = 0.0f;
  float m_fAnimationDuration = 0.7f;
  CEGUI::String m_sText;
  CEGUI::String m_sCounter;
};
