// The health bar's frame.
#include "gui/FrameHealthBar.h"

#include "gui/CeguiCompat.h"
#include "gui/GUIManager.h"

#include <CEGUI/CEGUI.h>

#include <cmath>
#include <string>

using CeguiCompat::Try;

namespace {

// Bars made so far; each names its widgets with its own number.
int g_iHealthBarCount = 0;

// The pulse phase wraps here, far from where float steps would coarsen it.
const float kPhaseWrap = 60.0f;

void SetImage(CEGUI::Window* window, const char* image) {
  if (window) CeguiCompat::SetProperty(window, "Image", image);
}

}  // namespace

FrameHealthBar::FrameHealthBar() : BaseWindow(WT_HEALTH_BAR, "HealthBar.layout") {}

FrameHealthBar::~FrameHealthBar() {
  // A GUI shut down before the owner (at the engine's end) took the window with it.
  if (!m_pRootWindow || !GUIManager::HasInstance() || !GUIManager::GetInstance()->IsInitialized()) return;
  if (CEGUI::WindowManager::getSingleton().isAlive(m_pRootWindow)) CeguiCompat::DestroyWindow(m_pRootWindow);
}

bool FrameHealthBar::Init() {
  if (!LoadNumberedCopy(g_iHealthBarCount)) return false;
  return HookComponents();
}

bool FrameHealthBar::HookComponents() {
  // "<n>HealthBar/Background", its "/Bar" and "/Glow".
  const CEGUI::String background = m_pRootWindow->getName() + "/Background";
  m_pBackground = GetComponent(background);
  m_pBar = GetComponent(background + "/Bar");
  m_pGlow = GetComponent(background + "/Glow");
  Try("health bar", [&] {
    if (m_pBackground) {
      m_pBackground->setVisible(true);
      m_pBackground->setInheritsAlpha(false);
    }
    if (m_pBar) {
      m_pBar->setVisible(true);
      m_pBar->setInheritsAlpha(true);
    }
    if (m_pGlow) {
      m_pGlow->setInheritsAlpha(true);
      m_pGlow->setVisible(false);
    }
  });
  return true;
}

void FrameHealthBar::SetPosition(float x, float y) {
  if (!m_pRootWindow) return;
  const CEGUI::UVector2 position(CEGUI::UDim(0.0f, x - 32.0f), CEGUI::UDim(0.0f, y - 32.0f));
  if (m_pRootWindow->getPosition() != position) m_pRootWindow->setPosition(position);
}

void FrameHealthBar::SetHealth(float fraction) {
  if (m_pBar) Try("health bar fill", [&] { m_pBar->setWidth(CEGUI::UDim(fraction, 0.0f)); });
}

float FrameHealthBar::GetHealth() const { return m_pBar ? m_pBar->getWidth().d_scale : 0.0f; }

void FrameHealthBar::SetAlpha(float alpha) {
  if (m_pBackground) m_pBackground->setAlpha(alpha);
}

float FrameHealthBar::GetAlpha() const { return m_pBackground ? m_pBackground->getAlpha() : 0.0f; }

void FrameHealthBar::SetEnemyBar() {
  SetImage(m_pBackground, "set:GUI_Window_01 image:HealthBarEnemyBG");
  SetImage(m_pBar, "set:GUI_Window_01 image:HealthBarEnemy");
}

void FrameHealthBar::SetLowHpBar(bool low) {
  if (low == m_bLowHp) return;
  m_bLowHp = low;
  if (low) {
    SetImage(m_pBackground, "set:GUI_Window_01 image:HealthBarPlayerLowHpBG");
    SetImage(m_pBar, "set:GUI_Window_01 image:HealthBarPlayerLowHp");
  } else {
    SetImage(m_pBackground, "set:GUI_Window_01 image:HealthBarPlayerBG");
    SetImage(m_pBar, "set:GUI_Window_01 image:HealthBarPlayer");
  }
  Try("health bar look", [&] {
    if (m_pGlow) m_pGlow->setVisible(low);
    // The background comes back with the next pulse.
    if (low && m_pBackground) m_pBackground->setVisible(false);
  });
}

void FrameHealthBar::UpdateLowHpBlink(float frameTime) {
  if (!m_pGlow || !m_bLowHp) return;
  m_fPulsePhase = std::fmod(m_fPulseSpeed * frameTime + m_fPulsePhase, kPhaseWrap);
  Try("health bar pulse", [&] {
    m_pGlow->setAlpha((std::sin(m_fPulsePhase) + 1.0f) * 0.5f);
    if (!m_pGlow->isEffectiveVisible() && m_pBackground) m_pBackground->setVisible(true);
  });
}
