// The in-game messages.
#include "gui/FrameInGameMessages.h"

#include "Managers/LocalizationTable.h"
#include "engine/base/VisTimer.h"
#include "gui/CeguiCompat.h"

#include <CEGUI/Window.h>

using CeguiCompat::Try;

const char* const FrameInGameMessages::kPrefix = "[colour='FFfac311'][font='SketchHeavyRegular-19']";

FrameInGameMessages::FrameInGameMessages() : BaseWindow(WT_INGAME_MESSAGES, "InGameMessages.layout") {}

bool FrameInGameMessages::HookComponents() {
  m_pUpperLine = GetComponent("InGameMessages/Window/Message1");
  m_pCenterLine = GetComponent("InGameMessages/Window/Message2");
  Try("messages pass-through", [&] {
    if (m_pUpperLine) m_pUpperLine->setMousePassThroughEnabled(true);
    if (m_pCenterLine) m_pCenterLine->setMousePassThroughEnabled(true);
    if (!m_pRootWindow) return;
    m_pRootWindow->setMousePassThroughEnabled(true);
    for (size_t i = 0; i < m_pRootWindow->getChildCount(); ++i)
      m_pRootWindow->getChildAtIdx(i)->setMousePassThroughEnabled(true);
  });
  ClearMessageData();
  return true;
}

void FrameInGameMessages::ClearMessageData() {
  Try("clear messages", [&] {
    if (m_pUpperLine) m_pUpperLine->setText("");
    if (m_pCenterLine) m_pCenterLine->setText("");
  });
  m_upperQueue.clear();
  m_centerQueue.clear();
}

void FrameInGameMessages::Queue(std::deque<InGameMessage>& queue, int& state, const CEGUI::String& text,
                                float displayTime, float fadeSpeed) {
  InGameMessage message;
  message.text = CeguiCompat::ToGui(kPrefix) + text;
  message.displayTime = displayTime;
  message.fadeSpeed = fadeSpeed;
  if (!queue.empty() && queue.front().text == message.text) {
    // The notice on display holds again; one that was fading out fades back in.
    queue.front().displayTime = displayTime;
    queue.front().fadeSpeed = fadeSpeed;
    if (state != LINE_HOLD) state = LINE_FADE_IN;
  } else if (!queue.empty() && queue.back().text == message.text) {
    queue.back().displayTime = displayTime;
    queue.back().fadeSpeed = fadeSpeed;
  } else {
    queue.push_back(message);
  }
}

void FrameInGameMessages::AddUpperMessage(const CEGUI::String& text, float displayTime, float fadeSpeed) {
  Queue(m_upperQueue, m_iUpperState, text, displayTime, fadeSpeed);
}

void FrameInGameMessages::AddCenterMessage(const CEGUI::String& text, float displayTime, float fadeSpeed) {
  Queue(m_centerQueue, m_iCenterState, text, displayTime, fadeSpeed);
}

void FrameInGameMessages::AddUpperMessage(const VString& key, float displayTime, float fadeSpeed) {
  AddUpperMessage(LocalizationTable::GetInstance()->GetText(key.AsChar()), displayTime, fadeSpeed);
}

void FrameInGameMessages::AddCenterMessage(const VString& key, float displayTime, float fadeSpeed) {
  AddCenterMessage(LocalizationTable::GetInstance()->GetText(key.AsChar()), displayTime, fadeSpeed);
}

void FrameInGameMessages::Advance(CEGUI::Window* line, std::deque<InGameMessage>& queue, int& state, float dt) {
  if (queue.empty() || !line) return;
  InGameMessage& message = queue.front();
  Try("message line", [&] {
    if (!message.shown) {
      line->setText(message.text);
      line->setAlpha(0.0f);
      line->setInheritsAlpha(false);
      message.shown = true;
      state = LINE_FADE_IN;
    }
    switch (state) {
      case LINE_FADE_IN: {
        float alpha = line->getAlpha() + message.fadeSpeed * dt * 3.0f;
        if (alpha >= 1.0f) {
          alpha = 1.0f;
          state = LINE_HOLD;
        }
        line->setAlpha(alpha);
        break;
      }
      case LINE_HOLD:
        message.displayTime -= dt;
        if (message.displayTime <= 0.0f) state = LINE_FADE_OUT;
        break;
      case LINE_FADE_OUT: {
        float alpha = line->getAlpha() - message.fadeSpeed * dt;
        if (alpha < 0.0f) {
          alpha = 0.0f;
          state = LINE_IDLE;
          queue.pop_front();
          line->setText("");
        }
        line->setAlpha(alpha);
        break;
      }
      default:
        break;
    }
  });
}

void FrameInGameMessages::OnBeforeGUIUpdate() {
  if (!m_pRootWindow || !m_pRootWindow->isVisible()) return;
  const float dt = Vision::Timer.GetTimeDifference();
  Advance(m_pUpperLine, m_upperQueue, m_iUpperState, dt);
  Advance(m_pCenterLine, m_centerQueue, m_iCenterState, dt);
}
