// A line of dialogue in a conversation.
#include "gui/FrameSpeechWindow.h"

#include "gui/CeguiCompat.h"
#include "gui/GUIManager.h"
#include "Managers/PauseManager.h"

#include "engine/Vision.h"
#include "engine/sound/VSoundObject.h"

#include <CEGUI/CEGUI.h>

#include <cmath>

using CeguiCompat::Try;

namespace {

// Speech windows made so far; each names its widgets with its own number.
int g_iWindowCount = 0;

bool FullyPaused() { return PauseManager::HasInstance() && PauseManager::GetInstance()->IsFullPaused(); }

}  // namespace

FrameSpeechWindow::FrameSpeechWindow() : BaseWindow(WT_SPEECH_WINDOW, "SpeechWindow.layout") {
  m_upperY = CEGUI::UDim(0.5f, -(m_fHeight + 10.0f));
  m_y = m_upperY;
}

FrameSpeechWindow::~FrameSpeechWindow() { ReleaseVoice(); }

bool FrameSpeechWindow::Init() {
  if (!GUIManager::HasInstance() || !GUIManager::GetInstance()->IsInitialized()) return false;
  m_fTimer = m_fTransitionTime;
  if (!LoadNumberedCopy(g_iWindowCount, &m_iId)) return false;
  return HookComponents();
}

bool FrameSpeechWindow::HookComponents() {
  // The copy's widgets carry its number in front: "<n>SpeechWindow/Left/Speech".
  const CEGUI::String root = m_pRootWindow->getName();
  m_pLeft = GetComponent(root + "/Left");
  m_pRight = GetComponent(root + "/Right");
  m_pLeftSpeaker = GetComponent(root + "/Left/Speaker");
  m_pLeftImage = GetComponent(root + "/Left/Image");
  m_pLeftSpeech = GetComponent(root + "/Left/Speech");
  m_pRightSpeaker = GetComponent(root + "/Right/Speaker");
  m_pRightImage = GetComponent(root + "/Right/Image");
  m_pRightSpeech = GetComponent(root + "/Right/Speech");
  if (m_pRight) Try("speech window", [&] { m_pRight->hide(); });
  return true;
}

bool FrameSpeechWindow::IsShowing() const {
  return m_iState == STATE_FADE_IN || m_iState == STATE_HOLD_UPPER || m_iState == STATE_SLIDE_DOWN ||
         m_iState == STATE_FADE_LAST;
}

void FrameSpeechWindow::SetSpeechText(const CEGUI::String& text) {
  CEGUI::Window* speech = GetSpeechWidget();
  if (!speech) return;
  Try("speech text", [&] {
    if (const CEGUI::Font* font = speech->getFont()) {
      const float extent = font->getTextExtent(text, 1.0f);
      const float width = std::fabs(speech->getWidth().d_offset);
      const float lineHeight =
          m_bLeftSide ? std::ceil(font->getLineSpacing()) : font->getFontHeight();
      // A box without width holds no line: the small font is the best it gets.
      const float lines = width > 0.0f ? std::ceil(extent / width + 1.0f) : HUGE_VALF;
      if (lines * lineHeight > std::fabs(speech->getHeight().d_offset)) speech->setFont(SMALL_FONT);
    }
    speech->setText(text);
  });
}

void FrameSpeechWindow::SetSpeakerImage(const CEGUI::String& image) {
  CEGUI::Window* widget = GetImageWidget();
  if (!widget) return;
  Try("speaker image", [&] {
    if (widget->isPropertyPresent("Image")) widget->setProperty("Image", image);
  });
}

void FrameSpeechWindow::SetVoice(VSoundObject* voice) { m_spVoice = voice; }

void FrameSpeechWindow::ReleaseVoice() {
  if (m_spVoice) m_spVoice->Stop();
  m_spVoice = nullptr;
}

void FrameSpeechWindow::OnBeforeGUIUpdate() {
  if (!m_pRootWindow) return;
  const float dt = Vision::Timer.GetTimeDifference();
  const float T = m_fTransitionTime;
  float alpha = -1.0f;  // below 0: unchanged
  switch (m_iState) {
    case STATE_FADE_IN:
      m_fTimer -= dt;
      if (m_fTimer > 0.0f) {
        alpha = 1.0f - m_fTimer / T;
      } else {
        alpha = 1.0f;
        m_fTimer = T;
        m_iState = STATE_HOLD_UPPER;
      }
      m_y = m_upperY;
      break;
    case STATE_SLIDE_DOWN:
      m_fTimer -= dt;
      if (m_fTimer > 0.0f) {
        const float travel = std::fabs(m_upperY.d_offset) + std::fabs(m_lowerY.d_offset);
        m_y = CEGUI::UDim(m_upperY.d_scale, m_upperY.d_offset + travel * (1.0f - m_fTimer / T));
        if (m_spVoice && m_spVoice->IsPlaying()) m_spVoice->SetVolume(m_fTimer / T);
      } else {
        if (m_spVoice && m_spVoice->IsPlaying()) m_spVoice->SetVolume(0.0f);
        m_fTimer = T;
        m_y = m_lowerY;
        m_iState = STATE_HOLD_LOWER;
      }
      break;
    case STATE_FADE_OUT:
    case STATE_FADE_LAST:
      m_fTimer -= dt;
      if (m_fTimer > 0.0f) {
        alpha = m_fTimer / T;
      } else {
        alpha = 0.0f;
        m_fTimer = 0.0f;
        ReleaseVoice();
      }
      break;
    default:
      break;
  }
  Try("speech window", [&] {
    if (alpha >= 0.0f) m_pRootWindow->setAlpha(alpha);
    m_pRootWindow->setPosition(CEGUI::UVector2(m_x, m_y));
    if (!m_pRootWindow->isVisible()) m_pRootWindow->show();
  });
}

void FrameSpeechWindow::OnAfterGUIUpdate() {
  const float dt = Vision::Timer.GetTimeDifference();
  switch (m_iState) {
    case STATE_HOLD_UPPER:
      if (FullyPaused()) break;
      m_fDisplayTime -= dt;
      if (m_fDisplayTime <= 0.0f) m_iState = m_bLastLine ? STATE_FADE_LAST : STATE_SLIDE_DOWN;
      break;
    case STATE_HOLD_LOWER:
      if (FullyPaused()) break;
      m_fBelowHoldTime -= dt;
      if (m_fBelowHoldTime <= 0.0f) m_iState = STATE_FADE_OUT;
      break;
    case STATE_FADE_OUT:
    case STATE_FADE_LAST:
      if (m_fTimer <= 0.0f) {
        m_bFinished = true;
        ReleaseVoice();
      }
      break;
    default:
      break;
  }
}
