// The general confirmation dialog: title, message, Yes and No with the caller's
// callbacks, and an optional count-down after which No is taken by itself. The
// game is paused while it is open.
#pragma once

#include "gui/BaseWindow.h"

class FrameYesNoPopUp : public BaseWindow {
 public:
  FrameYesNoPopUp();
  // Withdraws the pause request and releases both callbacks.
  ~FrameYesNoPopUp() override;

  // Requests the pause, finds the widgets, binds the buttons and sets the default texts.
  bool HookComponents() override;
  // Runs the count-down; its end counts as No.
  void OnBeforeGUIUpdate() override;

  // All four texts, only when all four widgets exist.
  void InitPopUpWindow(const CEGUI::String& title, const CEGUI::String& message, const CEGUI::String& yesText,
                       const CEGUI::String& noText);
  void SetTitle(const CEGUI::String& text);
  void SetMessage(const CEGUI::String& text);
  void SetYesButtonText(const CEGUI::String& text);
  void SetNoButtonText(const CEGUI::String& text);
  // Each replaces the previous callback. Called from within an answer, they put a
  // new question: the pop-up then stays open.
  void SetYesButtonFunction(CEGUI::SubscriberSlot slot);
  void SetNoButtonFunction(CEGUI::SubscriberSlot slot);
  // The frame whose members the callbacks are. When that frame is deleted while
  // the pop-up is open, the callbacks are dropped and the pop-up closes, so no
  // answer ever calls into a deleted frame.
  void SetCallbackOwner(BaseWindow* owner) { m_pCallbackOwner = owner; }
  BaseWindow* GetCallbackOwner() const { return m_pCallbackOwner; }
  void OnFrameDeleted(BaseWindow* frame);
  void SetCountDown(float seconds);
  bool IsCountDownActive() const { return m_bCountDownActive; }
  float GetCountDown() const { return m_fCountDown; }

  bool ButtonYesClicked(const CEGUI::EventArgs& args);
  bool ButtonNoClicked(const CEGUI::EventArgs& args);

 private:
  void Answer(CEGUI::SubscriberSlot& callback, const CEGUI::EventArgs& args);
  static void SetText(CEGUI::Window* window, const CEGUI::String& text);

  CEGUI::Window* m_pTitle = nullptr;
  CEGUI::Window* m_pDialog = nullptr;
  CEGUI::Window* m_pMessage = nullptr;
  CEGUI::Window* m_pYesButton = nullptr;
  CEGUI::Window* m_pNoButton = nullptr;
  CEGUI::SubscriberSlot m_yesCallback;
  CEGUI::SubscriberSlot m_noCallback;
  BaseWindow* m_pCallbackOwner = nullptr;
  bool m_bCountDownActive = false;
  float m_fCountDown = 0.0f;
  bool m_bAnswering = false;
  bool m_bAskedAgain = false;
};
