// The yes/no pop-up.
#include "gui/FrameYesNoPopUp.h"

#include "Managers/LocalizationTable.h"
#include "engine/base/VisTimer.h"
#include "gui/CeguiCompat.h"
#include "gui/GUIManager.h"

#include <CEGUI/CEGUI.h>

FrameYesNoPopUp::FrameYesNoPopUp() : BaseWindow(WT_YES_NO_POPUP, "YesNoPopUp.layout") {}

FrameYesNoPopUp::~FrameYesNoPopUp() {
  RequestPause(false);
  m_yesCallback.cleanup();
  m_noCallback.cleanup();
}

bool FrameYesNoPopUp::HookComponents() {
  RequestPause(true);
  m_pTitle = GetComponent("YesNoPopUp/Window/Header");
  m_pDialog = GetComponent("YesNoPopUp/Window");
  m_pMessage = GetComponent("YesNoPopUp/Window/Message");
  m_pYesButton = GetComponent("YesNoPopUp/Window/BtnYes");
  m_pNoButton = GetComponent("YesNoPopUp/Window/BtnNo");
  if (!Bind(m_pYesButton, CEGUI::Window::EventMouseClick,
            CEGUI::Event::Subscriber(&FrameYesNoPopUp::ButtonYesClicked, this)))
    return false;
  if (!Bind(m_pNoButton, CEGUI::Window::EventMouseClick,
            CEGUI::Event::Subscriber(&FrameYesNoPopUp::ButtonNoClicked, this)))
    return false;
  LocalizationTable* texts = LocalizationTable::GetInstance();
  InitPopUpWindow(texts->GetText("str_CONFIRMATION"), texts->GetText("str_ARE_YOU_SURE"), texts->GetText("str_YES"),
                  texts->GetText("str_NO"));
  return true;
}

void FrameYesNoPopUp::SetText(CEGUI::Window* window, const CEGUI::String& text) {
  if (window && window->getText() != text) CeguiCompat::Try("pop-up text", [&] { window->setText(text); });
}

void FrameYesNoPopUp::InitPopUpWindow(const CEGUI::String& title, const CEGUI::String& message,
                                      const CEGUI::String& yesText, const CEGUI::String& noText) {
  if (!m_pTitle || !m_pMessage || !m_pYesButton || !m_pNoButton) return;
  SetTitle(title);
  SetMessage(message);
  SetYesButtonText(yesText);
  SetNoButtonText(noText);
}

void FrameYesNoPopUp::SetTitle(const CEGUI::String& text) { SetText(m_pTitle, text); }
void FrameYesNoPopUp::SetMessage(const CEGUI::String& text) { SetText(m_pMessage, text); }
void FrameYesNoPopUp::SetYesButtonText(const CEGUI::String& text) { SetText(m_pYesButton, text); }
void FrameYesNoPopUp::SetNoButtonText(const CEGUI::String& text) { SetText(m_pNoButton, text); }

void FrameYesNoPopUp::SetYesButtonFunction(CEGUI::SubscriberSlot slot) {
  m_yesCallback.cleanup();
  m_yesCallback = slot;
  if (m_bAnswering) m_bAskedAgain = true;
}

void FrameYesNoPopUp::SetNoButtonFunction(CEGUI::SubscriberSlot slot) {
  m_noCallback.cleanup();
  m_noCallback = slot;
  if (m_bAnswering) m_bAskedAgain = true;
}

void FrameYesNoPopUp::OnFrameDeleted(BaseWindow* frame) {
  if (!frame || frame != m_pCallbackOwner) return;
  m_pCallbackOwner = nullptr;
  m_yesCallback.cleanup();
  m_noCallback.cleanup();
  GUIManager::GetInstance()->CloseWindow(WT_YES_NO_POPUP, false);
}

void FrameYesNoPopUp::SetCountDown(float seconds) {
  m_fCountDown = seconds;
  m_bCountDownActive = true;
}

void FrameYesNoPopUp::Answer(CEGUI::SubscriberSlot& callback, const CEGUI::EventArgs& args) {
  // The answer may put a new question through this pop-up (new callbacks, a new
  // count-down): the running callback is owned here so that replacing it frees
  // nothing in use, and a pop-up asked again stays open.
  CEGUI::SubscriberSlot running = callback;
  callback = CEGUI::SubscriberSlot();
  m_bCountDownActive = false;
  m_bAnswering = true;
  m_bAskedAgain = false;
  if (running.connected()) running(args);
  running.cleanup();
  m_bAnswering = false;
  if (!m_bAskedAgain) GUIManager::GetInstance()->CloseWindow(WT_YES_NO_POPUP, false);
}

bool FrameYesNoPopUp::ButtonYesClicked(const CEGUI::EventArgs& args) {
  Answer(m_yesCallback, args);
  return true;
}

bool FrameYesNoPopUp::ButtonNoClicked(const CEGUI::EventArgs& args) {
  Answer(m_noCallback, args);
  return true;
}

void FrameYesNoPopUp::OnBeforeGUIUpdate() {
  if (!m_pRootWindow || !m_pRootWindow->isVisible() || !m_bCountDownActive) return;
  if (m_fCountDown >= 0.0f) {
    m_fCountDown -= Vision::Timer.GetTimeDifference();
    // The last second reads 0, also just below it.
    SetMessage(LocalizationTable::GetInstance()->GetText("str_VIDEOMODE_KEEP_CHANGES", (int)m_fCountDown));
  } else {
    ButtonNoClicked(CEGUI::EventArgs());
  }
}
