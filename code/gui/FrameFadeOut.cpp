// The fade frame.
#include "gui/FrameFadeOut.h"

#include "engine/base/VisTimer.h"

#include <CEGUI/Window.h>

namespace {
// What a caller waits for when the fade cannot run.
const float kFadeOutWithoutWidget = 3.0f;
}  // namespace

FrameFadeOut::FrameFadeOut() : BaseWindow(WT_FADE_OUT, "FadeOut.layout") {}

FrameFadeOut::~FrameFadeOut() { RequestPause(false); }

float FrameFadeOut::StartFadeOut() {
  CEGUI::Window* window = GetComponent("FadeOutWindow");
  if (!window) return kFadeOutWithoutWidget;
  return StartAnimation("DieFadeOut", window);
}

void FrameFadeOut::StartFadeIn() {
  if (CEGUI::Window* window = GetComponent("FadeOutWindow")) m_fFadeInTimer = StartAnimation("StartGameFadeIn", window);
  m_bFadingIn = true;
}

void FrameFadeOut::OnBeforeSceneUpdate() {
  if (!m_pRootWindow || !m_pRootWindow->isVisible() || !m_bFadingIn) return;
  m_fFadeInTimer -= Vision::Timer.GetTimeDifference();
  if (m_fFadeInTimer <= 0.0f) {
    m_bFadingIn = false;
    RequestRemove();
  }
}
