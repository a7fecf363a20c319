// The panel of the player's own ship.
#include "gui/FramePlayerShipInfo.h"

#include "Managers/GameSessionManager.h"
#include "entities/HeroStats.h"
#include "entities/HeroUnitRecord.h"
#include "entities/PlayerStats.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/UnitEntityTemplate.h"
#include "entities/UpgradeEntityTemplate.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameEnemyShipInfo.h"
#include "gui/GUIManager.h"
#include "Managers/LocalizationTable.h"

#include <CEGUI/CEGUI.h>

#include <cstdio>

using CeguiCompat::Try;

namespace {

const int kIconsPerRow = 6;
const float kRowHeight = 36.0f;
const float kCollapsedHeight = 133.0f;
const char* const kIconSize = "[image-size='w:36 h:36']";
const char* const kEmptyFace = "[image-size='w:36 h:36'][image='set:UnitFaces_01 image:EmptySmallMini']";

std::string Icon(const std::string& image) { return std::string(kIconSize) + "[image='" + image + "']"; }

void SetHeight(CEGUI::Window* window, float pixels) {
  if (window) Try("player ship panel height", [&] { window->setHeight(CEGUI::UDim(0.0f, pixels)); });
}

void SetVisible(CEGUI::Window* window, bool visible) {
  if (window && window->isVisible() != visible) window->setVisible(visible);
}

// The face of a hero, then of every soldier of its units.
void AddCrew(const HeroStats* hero, std::vector<std::string>& faces) {
  if (!hero) return;
  if (const UnitEntityTemplate* character = hero->GetCharacterTemplate())
    faces.push_back(character->m_sUnitImage.AsChar());
  for (int i = 0; i < hero->GetUnitRecordCount(); ++i) {
    const HeroUnitRecord* record = hero->GetUnitRecord(i);
    if (!record || !record->m_pTemplate) continue;
    for (size_t n = 0; n < record->m_soldiers.size(); ++n) faces.push_back(record->m_pTemplate->m_sUnitImage.AsChar());
  }
}

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
  m_pUpgradesHeader = GetComponent("ShipInfoPlayer/Content/UpgradesHeader");
  BaseWindow::HookComponents();
  if (!m_pMoreButton) return false;
  Try("player ship panel", [&] {
    m_pMoreButton->show();
    m_pMoreButton->moveToFront();
  });
  SetHeight(m_pRootWindow, kCollapsedHeight);
  if (!Bind(m_pMoreButton, CEGUI::PushButton::EventClicked,
            CEGUI::Event::Subscriber(&FramePlayerShipInfo::MoreClicked, this)))
    return false;
  return Try("player ship panel", [&] {
    m_pRootWindow->subscribeEvent(CEGUI::Window::EventHidden,
                                  CEGUI::Event::Subscriber(&FramePlayerShipInfo::RootHidden, this));
  });
}

bool FramePlayerShipInfo::MoreClicked(const CEGUI::EventArgs&) {
  Expand();
  return true;
}

bool FramePlayerShipInfo::RootHidden(const CEGUI::EventArgs&) {
  Collapse();
  return true;
}

void FramePlayerShipInfo::Collapse() {
  if (m_bCollapsed) return;
  Try("player ship panel", [&] {
    if (m_pMoreButton) m_pMoreButton->show();
    SetVisible(m_pUpgradesHeader, false);
    SetVisible(m_pUpgrades, false);
    SetVisible(m_pDivider, false);
    SetVisible(m_pUnits, false);
  });
  SetHeight(m_pRootWindow, kCollapsedHeight);
  m_bCollapsed = true;
}

void FramePlayerShipInfo::Expand() {
  const ShipStats* ship = nullptr;
  std::vector<std::string> faces;
  if (GameSessionManager::HasInstance()) {
    const GameSessionManager* session = GameSessionManager::GetInstance();
    ship = session->GetPlayerControlledShip();
    const PlayerStats* player = session->GetPlayer();
    AddCrew(player, faces);
    for (int i = 0; i < session->GetHeroCount(); ++i)
      if (session->GetHero(i) != player) AddCrew(session->GetHero(i), faces);
  }
  ExpandWith(ship, faces);
}

std::string FramePlayerShipInfo::IconRow(const std::vector<std::string>& images) {
  std::string row;
  for (const std::string& image : images) row += Icon(image);
  for (size_t n = images.size(); n < (size_t)kIconsPerRow; ++n) row += kEmptyFace;
  return row;
}

std::string FramePlayerShipInfo::FaceRows(const std::vector<std::string>& faces, int& rows) {
  std::string text;
  for (size_t i = 0; i < faces.size(); ++i) {
    if (i > 0 && i % kIconsPerRow == 0) text += "\n";
    text += Icon("set:UnitFaces_01 image:" + faces[i] + "Mini");
  }
  const size_t whole = (faces.size() + kIconsPerRow - 1) / kIconsPerRow;
  for (size_t n = faces.size(); n < whole * kIconsPerRow; ++n) text += kEmptyFace;
  rows += (int)whole;
  return text;
}

void FramePlayerShipInfo::ExpandWith(const ShipStats* ship, const std::vector<std::string>& faces) {
  int rows = 0;
  std::string upgrades;
  if (ship && ship->GetPlayerUpgradeCount() > 0) {
    ++rows;
    std::vector<std::string> images;
    for (int i = 0; i < ship->GetPlayerUpgradeCount(); ++i)
      if (const UpgradeEntityTemplate* upgrade = ship->GetUpgrade((unsigned)i)) images.push_back(upgrade->m_sImage.AsChar());
    upgrades += IconRow(images) + "\n";
  }
  if (ship && !ship->GetSpecialWeapons().empty()) {
    ++rows;
    std::vector<std::string> images;
    char image[64];
    for (int weapon : ship->GetSpecialWeapons()) {
      std::snprintf(image, sizeof(image), "set:ShipIcons_01 image:Weapon%iIcon", weapon);
      images.push_back(image);
    }
    upgrades += IconRow(images);
  }
  Try("player ship panel", [&] {
    SetVisible(m_pUpgradesHeader, rows > 0);
    SetVisible(m_pUpgrades, rows > 0);
    if (m_pDivider) {
      m_pDivider->setPosition(CEGUI::UVector2(CEGUI::UDim(0.0f, 10.0f), CEGUI::UDim(0.0f, rows * kRowHeight + 118.0f)));
      SetVisible(m_pDivider, true);
    }
    if (m_pUnits) {
      m_pUnits->setPosition(CEGUI::UVector2(CEGUI::UDim(0.0f, 20.0f), CEGUI::UDim(0.0f, rows * kRowHeight + 128.0f)));
      SetVisible(m_pUnits, true);
    }
  });
  SetText(m_pUpgrades, CeguiCompat::ConvertImageText(upgrades));
  const std::string units = FaceRows(faces, rows);
  SetText(m_pUnits, CeguiCompat::ConvertImageText(units));
  Try("player ship panel", [&] {
    if (m_pMoreButton) m_pMoreButton->hide();
  });
  SetHeight(m_pRootWindow, rows * kRowHeight + 170.0f);
  m_bCollapsed = false;
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
