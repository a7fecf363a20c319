// The panel of the player's own ship.
#include "gui/FramePlayerShipInfo.h"

#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameEnemyShipInfo.h"
#include "gui/GUIManager.h"
#include "Managers/LocalizationTable.h"

#include <CEGUI/CEGUI.h>

using CeguiCompat::Try;

namespace {

void SetText(CEGUI::Window* window, const std::string& utf8) {
  if (window) Try("player ship panel text", [&] { window->setText(CeguiCompat::ToGui(utf8)); });
}

}  // namespace

FramePlayerShipInfo::FramePlayerShipInfo() : BaseWindow(WT_PLAYER_SHIP_INFO, "ShipInfoPlayer.layout") {}

FramePlayerShipInfo::~FramePlayerShipInfo() {
  // A GUI shut down before the ship (at the engine's end) took the window with it;
  // one closed through the frame table is gone already.
  if (!m_pRootWindow || !GUIManager::HasInstance() || !GUIManager::GetInstance()->IsInitialized()) return;
  if (CEGUI::WindowManager::getSingleton().isAlive(m_pRootWindow)) CeguiCompat::DestroyWindow(m_pRootWindow);
}

bool FramePlayerShipInfo::HookComponents() {
  m_pName = GetComponent("ShipInfoPlayer/BGTop/NameBG/Name");
  m_pDamagePoints = GetComponent("ShipInfoPlayer/Content/DamagePoints");
  m_pSpeedPoints = GetComponent("ShipInfoPlayer/Content/SpeedPoints");
  m_pDexterityPoints = GetComponent("ShipInfoPlayer/Content/DexterityPoints");
  m_pToughnessPoints = GetComponent("ShipInfoPlayer/Content/ToughnessPoints");
  m_pMoreButton = GetComponent("ShipInfoPlayer/Content/BtnMoar");
  m_pUpgrades = GetComponent("ShipInfoPlayer/Content/Upgrades");
  m_pUnits = GetComponent("ShipInfoPlayer/Content/Units");
  m_pDivider = GetComponent("ShipInfoPlayer/Content/Divider");
  return BaseWindow::HookComponents();
}

void FramePlayerShipInfo::SetData(ShipEntity* ship) {
  ShipStats* stats = ship ? ship->GetStats() : nullptr;
  if (!stats) return;
  SetText(m_pName,
          CeguiCompat::ToUtf8(LocalizationTable::GetInstance()->GetText(FrameEnemyShipInfo::ShipNameKey(ship).c_str())));
  SetText(m_pDamagePoints, CeguiCompat::ConvertImageText(FrameEnemyShipInfo::PowerBallText(stats->GetDamageRating())));
  SetText(m_pSpeedPoints, CeguiCompat::ConvertImageText(FrameEnemyShipInfo::PowerBallText(stats->GetSpeedRating())));
  SetText(m_pDexterityPoints,
          CeguiCompat::ConvertImageText(FrameEnemyShipInfo::PowerBallText(stats->GetManeuveringRating())));
  SetText(m_pToughnessPoints,
          CeguiCompat::ConvertImageText(FrameEnemyShipInfo::PowerBallText(stats->GetToughnessRating())));
}

void FramePlayerShipInfo::SetPosition(float, float) {
  if (!m_pRootWindow || !m_pRootWindow->isVisible()) return;
  const CEGUI::UVector2 position(CEGUI::UDim(0.5f, 40.0f), CEGUI::UDim(0.5f, -100.0f));
  if (m_pRootWindow->getPosition() != position) m_pRootWindow->setPosition(position);
}
