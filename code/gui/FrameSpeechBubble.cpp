// The speech bubble over a speaking ship or character.
#include "gui/FrameSpeechBubble.h"

#include "gui/CeguiCompat.h"
#include "gui/GUIManager.h"
#include "Managers/SpeechManager.h"

#include "engine/Vision.h"
#include "engine/core/VisRenderContext.h"

#include <CEGUI/CEGUI.h>

#include <cmath>
#include <string>

using CeguiCompat::Try;

namespace {

// Bubbles made so far; each names its widgets with its own number.
int g_iBubbleCount = 0;

// Text longer than this many characters wraps into a wide bubble.
const size_t kLongText = 128;
const float kWideBubble = 300.0f;
const float kNarrowBubble = 200.0f;
const float kLineHeight = 14.0f;
const float kFrameHeight = 60.0f;

}  // namespace

FrameSpeechBubble::FrameSpeechBubble() : BaseWindow(WT_SPEECH_BUBBLE, "SpeechBubble.layout") {}

FrameSpeechBubble::~FrameSpeechBubble() {
  if (SpeechManager::HasInstance()) SpeechManager::GetInstance()->SetSpeechBubbleIsGone();
}

bool FrameSpeechBubble::Init() {
  if (!LoadNumberedCopy(g_iBubbleCount, &m_iNumber)) return false;
  return HookComponents();
}

bool FrameSpeechBubble::HookComponents() {
  // The copy's widgets carry its number in front: "<n>SpeechBubble/Text".
  const CEGUI::String root = m_pRootWindow->getName();
  m_pText = GetComponent(root + "/Text");
  return Bind(root + "/Close", CEGUI::PushButton::EventClicked,
              CEGUI::Event::Subscriber(&FrameSpeechBubble::OnClose, this));
}

bool FrameSpeechBubble::OnClose(const CEGUI::EventArgs&) {
  m_fDisplayTime = 0.0f;
  return true;
}

void FrameSpeechBubble::FitToText() {
  const CEGUI::String text = m_pText ? m_pText->getText() : CEGUI::String();
  const size_t count = text.length();
  float extent = 0.0f;
  if (count > 0 && m_pText) {
    Try("bubble text extent", [&] {
      if (const CEGUI::Font* font = m_pText->getFont()) extent = font->getTextExtent(text, 1.0f);
    });
  }
  if (count > kLongText) {
    if (extent > kWideBubble) {
      m_fWidth = kWideBubble;
      m_fHeight = std::ceil(extent / kWideBubble) * kLineHeight + kFrameHeight;
    }
  } else if (count > 0 && extent > kNarrowBubble) {
    m_fWidth = kNarrowBubble;
    m_fHeight = std::ceil(extent * 0.005f) * kLineHeight + kFrameHeight;
  } else if (count > 0) {
    m_fWidth = extent + 20.0f;
    m_fHeight = 40.0f;
  }
  Try("bubble size", [&] {
    m_pRootWindow->setSize(CEGUI::USize(CEGUI::UDim(0.0f, m_fWidth), CEGUI::UDim(0.0f, m_fHeight)));
  });
  m_bSized = true;
}

void FrameSpeechBubble::OnBeforeGUIUpdate() {
  if (!m_pRootWindow || !m_pEntity) return;
  if (!m_bSized) FitToText();
  float x = 0.0f, y = 0.0f;
  VisRenderContext_cl* context = VisRenderContext_cl::GetMainRenderContext();
  const bool projected = context && context->Project2D(m_pEntity->GetPosition(), x, y);
  Try("bubble position", [&] {
    if (projected) {
      const CEGUI::UVector2 position(CEGUI::UDim(0.0f, x - m_fWidth * 0.5f),
                                     CEGUI::UDim(0.0f, y - (m_fHeight + HEIGHT_ABOVE_ENTITY)));
      if (m_pRootWindow->getPosition() != position) m_pRootWindow->setPosition(position);
    }
    if (!m_pRootWindow->isVisible()) m_pRootWindow->show();
  });
}

void FrameSpeechBubble::OnAfterGUIUpdate() {
  m_fDisplayTime -= Vision::Timer.GetTimeDifference();
  if (m_fDisplayTime > 0.0f) return;
  if (SpeechManager::HasInstance()) SpeechManager::GetInstance()->SetSpeechBubbleIsGone();
  m_bFinished = true;
}
