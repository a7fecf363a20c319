// The black fade of the head-up display: a fade-out before the game-over screen
// and a fade-in at the start of a game, after which the frame removes itself.
#pragma once

#include "gui/BaseWindow.h"

class FrameFadeOut : public BaseWindow {
 public:
  FrameFadeOut();
  // Withdraws the frame's game-pause request.
  ~FrameFadeOut() override;

  // The frame has no widgets of its own to hook.
  bool HookComponents() override { return true; }
  // Runs the fade-in down; the frame asks to be removed when it has ended.
  void OnBeforeSceneUpdate() override;

  // Starts "DieFadeOut" on "FadeOutWindow"; its length in seconds (3 without the widget).
  float StartFadeOut();
  // Starts "StartGameFadeIn" on "FadeOutWindow"; without the widget the frame goes at once.
  void StartFadeIn();

  bool IsFadingIn() const { return m_bFadingIn; }
  float GetFadeInTimer() const { return m_fFadeInTimer; }

 private:
  float m_fFadeInTimer = 0.0f;
  bool m_bFadingIn = false;
};
