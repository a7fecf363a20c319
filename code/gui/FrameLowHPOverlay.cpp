// The low-health overlay.
#include "gui/FrameLowHPOverlay.h"

#include "core/GameManager.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierStats.h"
#include "entities/UnitEntity.h"
#include "engine/base/VisTimer.h"
#include "engine/core/VisRenderContext.h"
#include "gui/CeguiCompat.h"

#include <CEGUI/Window.h>

#include <algorithm>
#include <cmath>

namespace {

// Moves value toward target by at most step; values within 0.001 stay.
void EaseToward(float& value, float target, float step) {
  const float gap = target - value;
  if (std::fabs(gap) <= 0.001f) return;
  value += std::clamp(gap, -step, step);
}

}  // namespace

bool FrameLowHPOverlay::GetPlayerHitPoints(VisBaseEntity_cl* player, float& current, float& maximum) {
  // At sea the ship's hull; on land the hero, the first soldier of the player's unit.
  const Hitpoints* hitPoints = nullptr;
  if (auto* ship = dynamic_cast<ShipEntity*>(player)) {
    if (ship->GetStats()) hitPoints = &ship->GetStats()->GetHull();
  } else if (auto* unit = dynamic_cast<UnitEntity*>(player)) {
    const SoldierEntity* hero = unit->GetSoldierAtIndex(0);
    if (hero && hero->GetStats()) hitPoints = &hero->GetStats()->m_Hitpoints;
  }
  if (!hitPoints || !hitPoints->IsTracked()) return false;
  current = (float)hitPoints->GetCurrent();
  maximum = (float)hitPoints->GetMaximum();
  return true;
}

FrameLowHPOverlay::FrameLowHPOverlay() : BaseWindow(WT_LOW_HP_OVERLAY, "LowHpOverlay.layout") {}

FrameLowHPOverlay::~FrameLowHPOverlay() { ResetToneMapper(); }

bool FrameLowHPOverlay::HookComponents() {
  if (CEGUI::Window* overlay = GetComponent("LowHPOverlay")) {
    CeguiCompat::Try("low-health overlay", [&] {
      overlay->activate();
      overlay->moveToFront();
      overlay->setAlpha(0.0f);
      overlay->setMousePassThroughEnabled(true);
    });
  }
  m_pImage = GetComponent("LowHPOverlay/Image");
  if (m_pImage) {
    CeguiCompat::Try("low-health image", [&] {
      m_pImage->setAlpha(0.0f);
      m_pImage->setInheritsAlpha(false);
      m_pImage->setMousePassThroughEnabled(true);
    });
  }
  return true;
}

void FrameLowHPOverlay::SetToneMapper() {
  VPostProcessToneMapping* toneMapper =
      VPostProcessToneMapping::GetFromContext(VisRenderContext_cl::GetMainRenderContext());
  if (toneMapper == m_pToneMapper) return;
  m_pToneMapper = toneMapper;
  if (!m_pToneMapper) return;
  m_savedColorMatrix = m_pToneMapper->GetColorMatrix();
  m_eSavedType = m_pToneMapper->GetToneMapType();
  m_fSavedFirst = m_pToneMapper->GetSaturation();
  m_fSavedSecond = m_pToneMapper->GetContrast();
  m_fSavedThird = m_pToneMapper->GetBrightness();
}

void FrameLowHPOverlay::ResetToneMapper() {
  if (!m_pToneMapper) return;
  m_pToneMapper->SetToneMapping(m_eSavedType, m_savedColorMatrix, 0.0f);
  // The eased values go back too, or the picture would stay drained.
  m_pToneMapper->SetValues(m_fSavedFirst, m_fSavedSecond, m_fSavedThird, m_pToneMapper->GetGamma());
  m_pToneMapper = nullptr;
}

void FrameLowHPOverlay::Show() {
  if (!m_bActive) SetToneMapper();
  m_bActive = true;
}

void FrameLowHPOverlay::Hide() {
  if (!m_bActive) return;
  ResetToneMapper();
  m_bActive = false;
}

void FrameLowHPOverlay::OnBeforeGUIUpdate() {
  if (isRequestingRemove() || !m_pToneMapper || !GameManager::HasInstance()) return;
  VisBaseEntity_cl* player = GameManager::GetInstance()->GetPlayerEntity();
  if (!player) return;

  float current = 0.0f, maximum = 0.0f;
  // A maximum of 0 leaves nothing to compare with.
  if (GetPlayerHitPoints(player, current, maximum) && maximum > 0.0f) {
    // No effect above half of the maximum.
    const float ratio = std::min(std::max(current - 1.0f, 0.0f) / (maximum * 0.5f), 1.0f);
    const float step = Vision::Timer.GetTimeDifference() * m_fEaseSpeed;
    EaseToward(m_fEasedScale, ratio, step);
    EaseToward(m_fEasedContrast, 1.0f + (1.0f - ratio) * 0.1f, step);

    const float first = m_fSavedFirst * m_fEasedScale;
    const float second = m_fSavedSecond * 1.2f - m_fSavedSecond * 0.2f * m_fEasedContrast;
    const float third = m_pToneMapper->GetBrightness();
    if (first != m_pToneMapper->GetSaturation() || second != m_pToneMapper->GetContrast() || std::isnan(third))
      m_pToneMapper->SetValues(first, second, third, m_pToneMapper->GetGamma());
  }
  BaseWindow::OnBeforeGUIUpdate();
}
