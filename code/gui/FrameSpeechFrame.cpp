// The banners over the screen while characters talk.
#include "gui/FrameSpeechFrame.h"

#include "core/GameManager.h"
#include "gui/CeguiCompat.h"
#include "gui/GUIManager.h"
#include "Managers/SpeechManager.h"
#include "Missions/MissionManager.h"

#include "engine/Vision.h"

#include <CEGUI/CEGUI.h>

using CeguiCompat::Try;

namespace {

// The first story mission's opening on the world map must be heard out.
bool SkippingRefused() {
  return MissionManager::GlobalManager().IsMissionOngoing(1) && GameManager::HasInstance() &&
         GameManager::GetInstance()->GetLocation() == 0;
}

}  // namespace

FrameSpeechFrame::FrameSpeechFrame(WINDOW_TYPES type) : BaseWindow(type, "SpeechFrame.layout") {}

FrameSpeechFrame::~FrameSpeechFrame() = default;

bool FrameSpeechFrame::HookComponents() {
  // A slot owns its functor: each subscription gets its own.
  auto skip = [this] { return CEGUI::Event::Subscriber(&FrameSpeechFrame::OnClick, this); };
  if (!Bind("SpeechFrame/BG", CEGUI::Window::EventMouseClick, skip())) return false;
  m_pTop = GetComponent("SpeechFrame/BG/BannerUp");
  if (m_pTop && !Bind(m_pTop, CEGUI::Window::EventMouseClick, skip())) return false;
  m_pBottom = GetComponent("SpeechFrame/BG/BannerDown");
  if (!m_pBottom) return true;
  return Bind(m_pBottom, CEGUI::Window::EventMouseClick, skip());
}

bool FrameSpeechFrame::OnClick(const CEGUI::EventArgs&) {
  if (SkippingRefused()) return false;
  SpeechManager::GetInstance()->SkipSpeak();
  return true;
}

void FrameSpeechFrame::SlideOut() {
  if (m_iState != STATE_SHOWN && m_iState != STATE_SLIDE_IN) return;
  m_iState = STATE_SLIDE_OUT;
  m_fTimer = 0.0f;
}

void FrameSpeechFrame::SetBannerOffsets(float offset) {
  Try("speech banners", [&] {
    CEGUI::URect top = m_pTop->getArea();
    top.d_max.d_y.d_offset = offset;
    m_pTop->setArea(top);
    CEGUI::URect bottom = m_pBottom->getArea();
    bottom.d_min.d_y.d_offset = -offset;
    m_pBottom->setArea(bottom);
  });
}

void FrameSpeechFrame::OnBeforeGUIUpdate() {
  if (!m_pTop || !m_pBottom) return;
  const float dt = Vision::Timer.GetTimeDifference();
  const float S = m_fSlideTime;
  const float H = m_fBannerHeight;
  if (m_iState == STATE_SLIDE_IN) {
    m_fTimer += dt;
    if (m_fTimer <= S) {
      SetBannerOffsets(H * (m_fTimer / S));
    } else {
      m_fTimer = 0.0f;
      m_iState = STATE_SHOWN;
      SetBannerOffsets(H);
    }
  } else if (m_iState == STATE_SLIDE_OUT) {
    m_fTimer += dt;
    if (m_fTimer <= S) {
      SetBannerOffsets(H * (1.0f - m_fTimer / S));
    } else {
      m_fTimer = 0.0f;
      m_iState = STATE_GONE;
      SetBannerOffsets(0.0f);
    }
  }
}

void FrameSpeechFrame::OnAfterGUIUpdate() {
  // Hidden, moved to the back and its pause request withdrawn with the removal.
  if (m_iState == STATE_GONE && !isRequestingRemove()) RequestRemove();
}
