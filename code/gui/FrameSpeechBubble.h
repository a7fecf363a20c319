// A bubble of text floating over a 3-D object until its display time runs out;
// any number can be open at once, each a numbered copy of its layout.
#pragma once

#include "gui/BaseWindow.h"

class VisBaseEntity_cl;

class FrameSpeechBubble : public BaseWindow {
 public:
  // Seconds a bubble shows unless told otherwise.
  static constexpr float DEFAULT_DISPLAY_TIME = 3.0f;
  // The bubble's bottom edge stays this far above its entity.
  static constexpr float HEIGHT_ABOVE_ENTITY = 100.0f;

  FrameSpeechBubble();
  // The speech manager hears that its bubble is gone.
  ~FrameSpeechBubble() override;

  // A copy of the layout numbered with the next bubble number.
  bool Init() override;
  // The text window and the close button (which ends the display time).
  bool HookComponents() override;
  // Sized to its text once, then kept over its entity and shown.
  void OnBeforeGUIUpdate() override;
  // The display time runs down; at 0 the bubble is finished.
  void OnAfterGUIUpdate() override;

  int GetNumber() const { return m_iNumber; }
  CEGUI::Window* GetTextWindow() const { return m_pText; }
  void SetEntity(VisBaseEntity_cl* entity) { m_pEntity = entity; }
  VisBaseEntity_cl* GetEntity() const { return m_pEntity; }
  void SetDisplayTime(float seconds) { m_fDisplayTime = seconds; }
  float GetDisplayTime() const { return m_fDisplayTime; }
  bool IsFinished() const { return m_bFinished; }
  // The size in pixels (fitted to the text on the first update).
  float GetWidth() const { return m_fWidth; }
  float GetHeight() const { return m_fHeight; }

 private:
  bool OnClose(const CEGUI::EventArgs& args);
  void FitToText();

  float m_fHeight = 80.0f;
  float m_fWidth = 260.0f;
  bool m_bFinished = false;
  VisBaseEntity_cl* m_pEntity = nullptr;
  float m_fDisplayTime = DEFAULT_DISPLAY_TIME;
  bool m_bSized = false;
  CEGUI::Window* m_pText = nullptr;
  int m_iNumber = 0;
};
