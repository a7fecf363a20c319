// The pause frame.
#include "gui/FramePause.h"

#include "engine/base/VisTimer.h"
#include "gui/CeguiCompat.h"

#include <CEGUI/Window.h>

#include <cmath>

namespace {
// The pulse restarts after one full turn of the phase.
const float kPhaseWrap = 6.283f;
}  // namespace

FramePause::FramePause() : BaseWindow(WT_PAUSE, "Pause.layout") {}

FramePause::~FramePause() { RequestPause(false); }

bool FramePause::HookComponents() {
  RequestPause(true);
  m_pLabel = GetComponent("PauseFrame/PauseLabel");
  return true;
}

void FramePause::OnBeforeGUIUpdate() {
  m_fPhase += Vision::Timer.GetTimeDifference();
  if (m_fPhase > kPhaseWrap) m_fPhase = 0.0f;
  // Opaque most of the time, dipping to 0.15 twice per turn.
  const float alpha = std::min(std::sin(2.0f * m_fPhase) + 1.15f, 1.0f);
  if (m_pLabel && m_pLabel->getAlpha() != alpha)
    CeguiCompat::Try("pause label alpha", [&] { m_pLabel->setAlpha(alpha); });
}
