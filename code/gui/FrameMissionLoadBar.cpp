// The mission load bar.
#include "gui/FrameMissionLoadBar.h"

#include "gui/CeguiCompat.h"

#include <CEGUI/CEGUI.h>

FrameMissionLoadBar::FrameMissionLoadBar() : BaseWindow(WT_MISSION_LOAD_BAR, "MissionLoadBar.layout") {}

FrameMissionLoadBar::~FrameMissionLoadBar() = default;

bool FrameMissionLoadBar::HookComponents() {
  if (!BaseWindow::HookComponents()) return false;
  m_pBackground = GetComponent("MissionLoadBar/Window/BG");
  m_pBar = GetComponent("MissionLoadBar/Window/Bar");
  m_pLabel = GetComponent("MissionLoadBar/Window/Label");
  return true;
}

void FrameMissionLoadBar::SetBar(float fraction, const CEGUI::String& text) {
  m_fFraction = fraction;
  m_sText = text;
}

void FrameMissionLoadBar::OnBeforeGUIUpdate() {
  CeguiCompat::Try("mission load bar", [&] {
    const CEGUI::UDim width(0.0f, m_fFraction * kFullWidth);
    if (m_pBar && m_pBar->getWidth() != width) m_pBar->setWidth(width);
    if (m_pLabel && m_pLabel->getText() != m_sText) m_pLabel->setText(m_sText);
  });
  BaseWindow::OnBeforeGUIUpdate();
}
