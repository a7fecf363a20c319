// The cinematic banners of a conversation: two bars that grow from the top and the
// bottom edge of the screen. A click on them skips the current line.
#pragma once

#include "gui/BaseWindow.h"

class FrameSpeechFrame : public BaseWindow {
 public:
  enum State { STATE_SLIDE_IN = 0, STATE_SHOWN = 1, STATE_SLIDE_OUT = 2, STATE_GONE = 3 };

  explicit FrameSpeechFrame(WINDOW_TYPES type = WT_SPEECH_FRAME);
  ~FrameSpeechFrame() override;

  // The background and both banners skip the line when clicked.
  bool HookComponents() override;
  // The banners slide.
  void OnBeforeGUIUpdate() override;
  // Slid out: hidden, removed, and its pause request withdrawn.
  void OnAfterGUIUpdate() override;

  int GetState() const { return m_iState; }
  // Starts the slide out (which ends in the frame's removal).
  void SlideOut();
  CEGUI::Window* GetTopBanner() const { return m_pTop; }
  CEGUI::Window* GetBottomBanner() const { return m_pBottom; }

 private:
  bool OnClick(const CEGUI::EventArgs& args);
  void SetBannerOffsets(float offset);

  int m_iState = STATE_SLIDE_IN;
  CEGUI::Window* m_pTop = nullptr;
  CEGUI::Window* m_pBottom = nullptr;
  float m_fTimer = 0.0f;
  float m_fSlideTime = 0.2f;
  float m_fBannerHeight = 100.0f;
};
