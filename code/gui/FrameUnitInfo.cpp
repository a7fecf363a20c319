// The land unit's name tag.
#include "gui/FrameUnitInfo.h"

#include "core/RtsManager.h"
#include "entities/UnitEntity.h"
#include "gui/CeguiCompat.h"
#include "gui/GUIManager.h"
#include "Managers/LocalizationTable.h"

#include <CEGUI/Window.h>

#include <cstdio>
#include <string>

namespace {
// Copies made so far; each names its widgets with its own number.
int g_iUnitInfoCount = 0;
}  // namespace

FrameUnitInfo::FrameUnitInfo() : BaseWindow(WT_UNIT_INFO, "UnitInfo.layout") {}

FrameUnitInfo::~FrameUnitInfo() { DestroyWindow(); }

bool FrameUnitInfo::Init() {
  if (!LoadNumberedCopy(g_iUnitInfoCount)) return false;
  return HookComponents();
}

bool FrameUnitInfo::HookComponents() {
  // The copy's widgets carry its number in front: "<n>UnitInfo/UnitName".
  const CEGUI::String root = m_pRootWindow->getName();
  m_pUnitName = GetComponent(root + "/UnitName");
  m_pUnitType = GetComponent(root + "/UnitType");
  return true;
}

void FrameUnitInfo::SetData(UnitEntity* unit) {
  if (!unit) return;
  const bool own = unit->GetNation() == RtsManager::GlobalManager().GetPlayerNation();
  const std::string name = CeguiCompat::ToUtf8(LocalizationTable::GetInstance()->GetText(unit->GetUnitTypeName().AsChar()));
  char text[512];
  std::snprintf(text, sizeof(text), own ? "[colour='FFf2e2a7']%s" : "[colour='FF5f5b54']%s", name.c_str());
  CeguiCompat::Try("unit tag", [&] {
    if (m_pUnitName) m_pUnitName->setText(CeguiCompat::ToGui(text));
    if (m_pUnitType) m_pUnitType->setText("");
  });
}

void FrameUnitInfo::SetPosition(float x, float y) {
  if (!m_pRootWindow || !m_pRootWindow->isVisible()) return;
  const CEGUI::UVector2 position(CEGUI::UDim(0.0f, x - 100.0f), CEGUI::UDim(0.0f, y - 100.0f));
  if (m_pRootWindow->getPosition() != position) m_pRootWindow->setPosition(position);
}

void FrameUnitInfo::SetVisible(bool visible) {
  if (m_pRootWindow) m_pRootWindow->setVisible(visible);
}

bool FrameUnitInfo::IsVisible() const { return m_pRootWindow && m_pRootWindow->isVisible(); }

void FrameUnitInfo::SetAlpha(float alpha) {
  if (m_pRootWindow) m_pRootWindow->setAlpha(alpha);
}

float FrameUnitInfo::GetAlpha() const { return m_pRootWindow ? m_pRootWindow->getAlpha() : 0.0f; }

void FrameUnitInfo::DestroyWindow() {
  if (!m_pRootWindow) return;
  // A GUI shut down before the unit (at the engine's end) took the window with it.
  if (GUIManager::HasInstance() && GUIManager::GetInstance()->IsInitialized())
    CeguiCompat::DestroyWindow(m_pRootWindow);
  m_pRootWindow = m_pUnitName = m_pUnitType = nullptr;
}
