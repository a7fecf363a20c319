// The town's name tag.
#include "gui/FrameTownInfo.h"

#include "entities/TownEntity.h"
#include "gui/CeguiCompat.h"
#include "gui/GUIManager.h"
#include "Managers/LocalizationTable.h"

#include <CEGUI/CEGUI.h>

#include <string>

using CeguiCompat::Try;

namespace {

// Tags made so far; each names its widgets with its own number.
int g_iTownInfoCount = 0;

const char* const kWealthBall = "[image='set:ShipIcons_01 image:PowerBallYellow']";

void SetVisible(CEGUI::Window* window, bool visible) {
  if (window && window->isVisible() != visible) window->setVisible(visible);
}

}  // namespace

FrameTownInfo::FrameTownInfo() : BaseWindow(WT_TOWN_INFO, "TownInfo.layout") {}

FrameTownInfo::~FrameTownInfo() {
  // A GUI shut down before the town (at the engine's end) took the window with it;
  // one closed through the frame table is gone already.
  if (!m_pRootWindow || !GUIManager::HasInstance() || !GUIManager::GetInstance()->IsInitialized()) return;
  if (CEGUI::WindowManager::getSingleton().isAlive(m_pRootWindow)) CeguiCompat::DestroyWindow(m_pRootWindow);
}

bool FrameTownInfo::Init() {
  if (!LoadNumberedCopy(g_iTownInfoCount)) return false;
  return HookComponents();
}

bool FrameTownInfo::HookComponents() {
  // The copy's widgets carry its number in front: "<n>TownInfo/TownName".
  const CEGUI::String root = m_pRootWindow->getName();
  m_pTownName = GetComponent(root + "/TownName");
  m_pWealthPoints = GetComponent(root + "/WealthPoints");
  m_pWealthPointsBG = GetComponent(root + "/WealthPointsBG");
  m_pWealthLabel = GetComponent(root + "/WealthLabel");
  return true;
}

void FrameTownInfo::SetData(TownEntity* town) {
  if (!town) return;
  const std::string name =
      CeguiCompat::ToUtf8(LocalizationTable::GetInstance()->GetText(town->GetTownNameKey().AsChar()));
  int wealth = 0;
  town->GetScriptValue("iCurrentItemsInBuilding", wealth);
  Try("town tag", [&] {
    if (m_pTownName) m_pTownName->setText(CeguiCompat::ToGui("[font='Woodstamp-23']" + name));
    const bool shown = wealth >= 0;
    SetVisible(m_pWealthPoints, shown);
    SetVisible(m_pWealthPointsBG, shown);
    SetVisible(m_pWealthLabel, shown);
    if (!shown || !m_pWealthPoints) return;
    std::string balls;
    for (int i = 0; i < wealth; ++i) balls += kWealthBall;
    m_pWealthPoints->setText(CeguiCompat::ToGui(CeguiCompat::ConvertImageText(balls)));
  });
}

void FrameTownInfo::SetPosition(float x, float y) {
  if (!m_pRootWindow) return;
  const CEGUI::UVector2 position(CEGUI::UDim(0.0f, x - 92.0f), CEGUI::UDim(0.0f, y - 62.0f));
  if (m_pRootWindow->getPosition() != position) m_pRootWindow->setPosition(position);
}
