// The building's name tag.
#include "gui/FrameBuildingInfo.h"

#include "gui/CeguiCompat.h"
#include "gui/GUIManager.h"
#include "Managers/LocalizationTable.h"

#include <CEGUI/Window.h>

#include <string>

namespace {
// Copies made so far; each names its widgets with its own number.
int g_iBuildingInfoCount = 0;
}  // namespace

FrameBuildingInfo::FrameBuildingInfo() : BaseWindow(WT_BUILDING_INFO, "BuildingInfo.layout") {}

FrameBuildingInfo::~FrameBuildingInfo() { DestroyWindow(); }

bool FrameBuildingInfo::Init() {
  if (!LoadNumberedCopy(g_iBuildingInfoCount)) return false;
  return HookComponents();
}

bool FrameBuildingInfo::HookComponents() {
  // The copy's widgets carry its number in front: "<n>BuildingInfo/BuildingName".
  m_pBuildingName = GetComponent(m_pRootWindow->getName() + "/BuildingName");
  return true;
}

void FrameBuildingInfo::SetData(const char* key) {
  if (!m_pBuildingName) return;
  const std::string name = CeguiCompat::ToUtf8(LocalizationTable::GetInstance()->GetText(key ? key : ""));
  const CEGUI::String text = CeguiCompat::ToGui(("[font='Woodstamp-23']" + name).c_str());
  if (m_pBuildingName->getText() != text) CeguiCompat::Try("building tag", [&] { m_pBuildingName->setText(text); });
}

void FrameBuildingInfo::SetPosition(float x, float y) {
  if (!m_pRootWindow) return;
  const CEGUI::UVector2 position(CEGUI::UDim(0.0f, x - 92.0f), CEGUI::UDim(0.0f, y - 62.0f));
  if (m_pRootWindow->getPosition() != position) m_pRootWindow->setPosition(position);
}

void FrameBuildingInfo::SetVisible(bool visible) {
  if (m_pRootWindow && m_pRootWindow->isVisible() != visible) m_pRootWindow->setVisible(visible);
}

bool FrameBuildingInfo::IsVisible() const { return m_pRootWindow && m_pRootWindow->isVisible(); }

void FrameBuildingInfo::DestroyWindow() {
  if (!m_pRootWindow) return;
  // A GUI shut down before the building (at the engine's end) took the window with it.
  if (GUIManager::HasInstance() && GUIManager::GetInstance()->IsInitialized())
    CeguiCompat::DestroyWindow(m_pRootWindow);
  m_pRootWindow = m_pBuildingName = nullptr;
}
