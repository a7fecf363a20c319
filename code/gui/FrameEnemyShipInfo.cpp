// The panel of a ship that is not the player's own.
#include "gui/FrameEnemyShipInfo.h"

#include "core/GameManager.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "gui/CeguiCompat.h"
#include "gui/GUIManager.h"
#include "Managers/LocalizationTable.h"

#include <CEGUI/CEGUI.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

using CeguiCompat::Try;

namespace {

// Panels made so far; each names its widgets with its own number.
int g_iEnemyShipInfoCount = 0;

const int kBallsPerRow = 5;
const char* const kBlueBall = "[image='set:GUI_Window_01 image:PowerBallBlue']";
const char* const kHalfBall = "[image='set:GUI_Window_01 image:PowerBallHalf']";
const char* const kEmptyBall = "[image='set:GUI_Window_01 image:PowerBallNone']";

void SetText(CEGUI::Window* window, const std::string& utf8) {
  if (window) Try("ship panel text", [&] { window->setText(CeguiCompat::ToGui(utf8)); });
}

}  // namespace

FrameEnemyShipInfo::FrameEnemyShipInfo() : BaseWindow(WT_ENEMY_SHIP_INFO, "EnemyShipInfo.layout") {}

FrameEnemyShipInfo::~FrameEnemyShipInfo() {
  // A GUI shut down before the ship (at the engine's end) took the window with it;
  // one closed through the frame table is gone already.
  if (!m_pRootWindow || !GUIManager::HasInstance() || !GUIManager::GetInstance()->IsInitialized()) return;
  if (CEGUI::WindowManager::getSingleton().isAlive(m_pRootWindow)) CeguiCompat::DestroyWindow(m_pRootWindow);
}

bool FrameEnemyShipInfo::Init() {
  if (!LoadNumberedCopy(g_iEnemyShipInfoCount)) return false;
  return HookComponents();
}

bool FrameEnemyShipInfo::HookComponents() {
  // The copy's widgets carry its number in front: "<n>ShipInfoEnemy/ShipName".
  const CEGUI::String root = m_pRootWindow->getName();
  m_pShipName = GetComponent(root + "/ShipName");
  m_pShipLevel = GetComponent(root + "/ShipLevel");
  m_pToughnessPoints = GetComponent(root + "/ShipIcon/ToughnessPoints");
  m_pDamagePoints = GetComponent(root + "/ShipIcon/DamagePoints");
  m_pSpeedPoints = GetComponent(root + "/ShipIcon/SpeedPoints");
  m_pDexterityPoints = GetComponent(root + "/ShipIcon/DexterityPoints");
  m_pHitpointsBar = GetComponent(root + "/Hitpoints/Bar");
  return true;
}

std::string FrameEnemyShipInfo::PowerBallText(float rating) {
  const int whole = (int)std::floor(rating);
  std::string row;
  int balls = 0;
  for (; balls < whole && balls < kBallsPerRow; ++balls) row += kBlueBall;
  if (balls < kBallsPerRow && rating - (float)whole >= 0.5f) {
    row += kHalfBall;
    ++balls;
  }
  for (; balls < kBallsPerRow; ++balls) row += kEmptyBall;
  return row;
}

std::string FrameEnemyShipInfo::ShipNameKey(const ShipEntity* ship) {
  const ShipStats* stats = ship ? ship->GetStats() : nullptr;
  std::string name = stats ? stats->GetShipName().AsChar() : "";
  for (char& c : name) c = (char)std::toupper((unsigned char)c);
  return "str_" + name;
}

void FrameEnemyShipInfo::SetData(ShipEntity* ship) {
  ShipStats* stats = ship ? ship->GetStats() : nullptr;
  if (!stats) return;
  LocalizationTable* texts = LocalizationTable::GetInstance();
  SetText(m_pShipName, CeguiCompat::ToUtf8(texts->GetText(ShipNameKey(ship).c_str())));

  const std::string nation =
      GameManager::HasInstance() ? GameManager::GetInstance()->GetNationString(ship->GetNation()).AsChar() : "";
  const std::string level = CeguiCompat::ToUtf8(texts->GetText("str_SHIP_LEVEL", stats->GetLevel()));
  SetText(m_pShipLevel, nation + " - " + level);

  SetText(m_pDamagePoints, CeguiCompat::ConvertImageText(PowerBallText(stats->GetDamageRating())));
  SetText(m_pSpeedPoints, CeguiCompat::ConvertImageText(PowerBallText(stats->GetSpeedRating())));
  SetText(m_pDexterityPoints, CeguiCompat::ConvertImageText(PowerBallText(stats->GetManeuveringRating())));
  SetText(m_pToughnessPoints, CeguiCompat::ConvertImageText(PowerBallText(stats->GetToughnessRating())));

  const Hitpoints& hull = stats->GetHull();
  if (m_pHitpointsBar && hull.GetMaximum() > 0) {
    const CEGUI::UDim width(std::max((float)hull.GetCurrent(), 0.0f) / (float)hull.GetMaximum(), 0.0f);
    Try("ship panel hull", [&] {
      if (m_pHitpointsBar->getWidth() != width) m_pHitpointsBar->setWidth(width);
    });
  }
}

void FrameEnemyShipInfo::SetPosition(float x, float y) {
  if (!m_pRootWindow || !m_pRootWindow->isVisible()) return;
  const CEGUI::UVector2 position(CEGUI::UDim(0.0f, x - 32.0f), CEGUI::UDim(0.0f, y - 32.0f));
  if (m_pRootWindow->getPosition() != position) m_pRootWindow->setPosition(position);
}
