// One hero panel of the land head-up frame.
#include "gui/UnitFrame.h"

UnitFrame::UnitFrame(const UnitFrame& other)
    : BaseWindow(other),
      m_pHeroButton(other.m_pHeroButton),
      m_pSkillButton(other.m_pSkillButton),
      m_pSkillCoolDown(other.m_pSkillCoolDown),
      m_pSkillGlow(other.m_pSkillGlow),
      m_pUnitsPanel(other.m_pUnitsPanel),
      m_pHitpointBar0(other.m_pHitpointBar0),
      m_pHitpointBar1(other.m_pHitpointBar1),
      m_pPanelRoot(other.m_pPanelRoot),
      m_pBackground(other.m_pBackground),
      m_fSlideTimer(other.m_fSlideTimer),
      m_bSkillTooltipDone(other.m_bSkillTooltipDone),
      m_fSkillCoolDownLength(other.m_fSkillCoolDownLength),
      m_fSkillActiveDuration(other.m_fSkillActiveDuration),
      m_bGlowFadingIn(other.m_bGlowFadingIn) {
  // Destroying them twice would crash: they stay the original's.
  m_animations.clear();
  for (int i = 0; i < kUnitButtons; ++i) {
    m_pUnitButtons[i] = other.m_pUnitButtons[i];
    m_pUnitCounts[i] = other.m_pUnitCounts[i];
  }
  for (int i = 0; i < kButtons; ++i) m_buttons[i] = other.m_buttons[i];
}

UnitFrame::~UnitFrame() = default;
