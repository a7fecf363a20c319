// The joke-in-a-bottle frame: the joke on a paper scroll that unrolls (both ends
// move apart while the middle widens, then a sound), the count of jokes read, and
// a check box that stops further bottle jokes for this run.
#pragma once

#include "gui/BaseWindow.h"

class FrameJokeInBottle : public BaseWindow {
 public:
  FrameJokeInBottle();
  ~FrameJokeInBottle() override;

  // Binds the close button, finds the widgets, ticks the check box and sets the
  // title and the check box's label. False when a binding fails.
  bool HookComponents() override;
  // Counter "read/all", the joke text, and the unrolling starts again.
  void InitWindow(const CEGUI::String& text, bool unused);
  // Unrolls while the frame is visible; a hidden frame keeps its time.
  void OnBeforeGUIUpdate() override;

  const CEGUI::String& GetJokeText() const { return m_sText; }
  const CEGUI::String& GetCounterText() const { return m_sCounter; }
  bool IsAnimating() const { return m_bAnimating; }
  float GetAnimationTimer() const { return m_fAnimationTimer; }

 private:
  // Positions for t from 0 (rolled up) to 1 (open).
  void PlaceScroll(float t);
  bool OnClose(const CEGUI::EventArgs& args);

  CEGUI::Window* m_pJokeFrame = nullptr;
  CEGUI::Window* m_pLeftScroll = nullptr;
  CEGUI::Window* m_pRightScroll = nullptr;
  CEGUI::Window* m_pCenterScroll = nullptr;
  CEGUI::Window* m_pTitleFrame = nullptr;
  CEGUI::Window* m_pButtonFrame = nullptr;
  CEGUI::Window* m_pCheckShowJokes = nullptr;
  CEGUI::Window* m_pTitle = nullptr;
  CEGUI::Window* m_pJokeCounter = nullptr;
  CEGUI::Window* m_pLabelShowJokes = nullptr;
  CEGUI::Window* m_pJokeText = nullptr;
  bool m_bAnimating = true;
  float m_fAnimationTimer = 0.0f;
  float m_fAnimationDuration = 0.7f;
  CEGUI::String m_sText;
  CEGUI::String m_sCounter;
};
