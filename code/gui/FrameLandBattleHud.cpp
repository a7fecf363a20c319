// The land head-up frame.
#include "gui/FrameLandBattleHud.h"

#include "Managers/SeaScenePath.h"
#include "core/GameManager.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "gui/CeguiCompat.h"

#include "engine/Vision.h"
#include "engine/base/VisTimer.h"

#include <CEGUI/CEGUI.h>

#include <algorithm>
#include <cmath>

using CeguiCompat::Try;

namespace {

const float kGlowPeriod = 6.283f;
const float kGlowPulseSpeed = 3.0f;

}  // namespace

FrameLandBattleHud::FrameLandBattleHud() : BaseWindow(WT_LAND_BATTLE_HUD, "LandBattleHud.layout") {}

bool FrameLandBattleHud::HookComponents() {
  if (CEGUI::Window* root = GetComponent("LandBattleHud")) Try("activate land hud", [&] { root->activate(); });
  m_pExitButton = GetComponent("LandBattleHud/Exit/Button");
  if (m_pExitButton) {
    if (!Bind(m_pExitButton, CEGUI::PushButton::EventClicked,
              CEGUI::Event::Subscriber(&FrameLandBattleHud::OnExitClicked, this)) ||
        !Bind(m_pExitButton, CEGUI::Window::EventMouseEntersArea,
              CEGUI::Event::Subscriber(&FrameLandBattleHud::OnExitMouseEnters, this)) ||
        !Bind(m_pExitButton, CEGUI::Window::EventMouseLeavesArea,
              CEGUI::Event::Subscriber(&FrameLandBattleHud::OnExitMouseLeaves, this)))
      return false;
  }
  m_pExitGlow = GetComponent("LandBattleHud/Exit/Button/Glow");
  if (m_pExitGlow) Try("exit glow", [&] { m_pExitGlow->hide(); });
  return BaseWindow::HookComponents();
}

void FrameLandBattleHud::OnBeforeGUIUpdate() {
  if (!m_pRootWindow || !m_pRootWindow->isVisible() || isRequestingRemove()) return;
  if (m_bExitRequested && GameManager::HasInstance()) {
    m_bExitRequested = false;
    GameManager* game = GameManager::GetInstance();
    const VString target = game->GetCurrentTeleportTarget();
    game->SetTeleportTarget(target.IsEmpty() ? kWorldScenePath : target.AsChar());
  }
  UpdateExitGlow();
  BaseWindow::OnBeforeGUIUpdate();
}

void FrameLandBattleHud::UpdateExitGlow() {
  if (!m_pExitGlow) return;
  const bool canLeave = GameManager::HasInstance() && GameManager::GetInstance()->CanTeleport() &&
                        RtsManager::GlobalManager().IsPlayerIsInsideEscapeArea();
  if (!canLeave || m_bExitHovered) {
    Try("hide exit glow", [&] { m_pExitGlow->hide(); });
    return;
  }
  m_fExitGlowPhase += Vision::Timer.GetTimeDifference();
  if (m_fExitGlowPhase > kGlowPeriod) m_fExitGlowPhase = 0.0f;
  const float alpha = std::max(std::sin(kGlowPulseSpeed * m_fExitGlowPhase), 0.0f);
  Try("show exit glow", [&] {
    m_pExitGlow->show();
    m_pExitGlow->setAlpha(alpha);
  });
}

bool FrameLandBattleHud::OnExitClicked(const CEGUI::EventArgs&) {
  if (!GameManager::HasInstance() || !GameManager::GetInstance()->CanTeleport()) return false;
  RtsManager& rts = RtsManager::GlobalManager();
  if (rts.IsPlayerIsInsideEscapeArea()) {
    // Acted on at the next update, outside CEGUI's event handling.
    m_bExitRequested = true;
  } else if (VisBaseEntity_cl* escape = Vision::Game.SearchEntity("EscapeArea")) {
    // Every unit of the player, not only the selected ones: the button leads them all out.
    if (Player* player = rts.GetPlayer()) player->GiveTargetPosition(escape->GetPosition(), false);
  }
  return true;
}

bool FrameLandBattleHud::OnExitMouseEnters(const CEGUI::EventArgs&) {
  m_bExitHovered = true;
  return true;
}

bool FrameLandBattleHud::OnExitMouseLeaves(const CEGUI::EventArgs&) {
  m_bExitHovered = false;
  return true;
}
