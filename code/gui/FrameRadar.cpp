// A radar indicator frame.
#include "gui/FrameRadar.h"

#include "gui/CeguiCompat.h"
#include "gui/GUIManager.h"
#include "Managers/RadarManager.h"

#include <CEGUI/CEGUI.h>
#include <CEGUI/Quaternion.h>

#include <string>

using CeguiCompat::Try;

namespace {
// Indicators made so far; each names its widgets with its own number.
int g_iIndicatorCount = 0;
}  // namespace

FrameRadar::FrameRadar() : BaseWindow(WT_RADAR, "Radar.layout") {}

bool FrameRadar::Init() {
  if (!LoadNumberedCopy(g_iIndicatorCount, &m_iNumber)) return false;
  return HookComponents();
}

bool FrameRadar::HookComponents() {
  // The copy's widgets carry its number in front: "<n>Radar/Cross".
  const CEGUI::String root = m_pRootWindow->getName();
  m_pCross = GetComponent(root + "/Cross");
  m_pCloseMarker = GetComponent(root + "/CloseMarker");
  m_pFactions[0] = GetComponent(root + "/Faction1");
  m_pFactions[1] = GetComponent(root + "/Faction2");
  m_pFactions[2] = GetComponent(root + "/Faction3");
  m_pCompassCross = GetComponent(root + "/CompassCross");
  m_pUnit = GetComponent(root + "/Unit");
  m_pUnitGlow = GetComponent(root + "/Unit/Glow");
  m_pUnitImage = GetComponent(root + "/Unit/Image");
  m_pUnitArrow = GetComponent(root + "/Unit/Arrow");
  for (CEGUI::Window* w : {m_pCross, m_pCloseMarker, m_pFactions[0], m_pFactions[1], m_pFactions[2], m_pCompassCross,
                           m_pUnit, m_pUnitGlow})
    Show(w, false);
  Bind(m_pUnitImage, CEGUI::PushButton::EventClicked, CEGUI::Event::Subscriber(&FrameRadar::OnUnitClicked, this));
  // Only the unit's face takes clicks: everything else lets them reach the world.
  Try("radar pass-through", [&] {
    m_pRootWindow->setMousePassThroughEnabled(true);
    for (size_t i = 0; i < m_pRootWindow->getChildCount(); ++i)
      m_pRootWindow->getChildAtIdx(i)->setMousePassThroughEnabled(true);
    for (CEGUI::Window* w : {m_pCross, m_pCloseMarker, m_pFactions[0], m_pFactions[1], m_pFactions[2], m_pCompassCross})
      if (w) w->setMousePassThroughEnabled(true);
    m_pRootWindow->setSize(CEGUI::USize(CEGUI::UDim(0.0f, SIZE), CEGUI::UDim(0.0f, SIZE)));
  });
  return BaseWindow::HookComponents();
}

bool FrameRadar::OnUnitClicked(const CEGUI::EventArgs&) {
  if (RadarManager::HasInstance()) RadarManager::GetInstance()->UnitClickedToBeFollowed(this);
  return true;
}

void FrameRadar::Show(CEGUI::Window* window, bool visible) {
  if (window && window->isVisible() != visible) Try("radar show", [&] { window->setVisible(visible); });
}

void FrameRadar::ApplyAlpha(CEGUI::Window* window) {
  if (window && window->getAlpha() != m_fAlpha) Try("radar alpha", [&] { window->setAlpha(m_fAlpha); });
}

void FrameRadar::SetType(int kind) {
  m_iType = kind;
  for (CEGUI::Window* faction : m_pFactions) Show(faction, false);
  switch (kind) {
    case TRACK_TARGET:
      Show(m_pCross, true);
      Show(m_pCloseMarker, false);
      ApplyAlpha(m_pCross);
      break;
    case TRACK_TARGET_ON_SCREEN:
      Show(m_pCloseMarker, true);
      Show(m_pCross, false);
      ApplyAlpha(m_pCloseMarker);
      break;
    case TRACK_BLUEPRINT:
      Show(m_pCompassCross, true);
      ApplyAlpha(m_pCompassCross);
      break;
    case TRACK_SELECTED_UNIT:
      Show(m_pUnit, true);
      break;
    case TRACK_UNIT_UNDER_ATTACK:
      Show(m_pUnit, true);
      Show(m_pUnitGlow, true);
      ApplyAlpha(m_pUnitGlow);
      break;
    case TRACK_NONE:
      for (CEGUI::Window* w : {m_pCross, m_pCloseMarker, m_pCompassCross, m_pUnit}) Show(w, false);
      break;
    default:
      Show(m_pCross, true);
      Show(m_pCloseMarker, false);
      break;
  }
  Show(m_pRootWindow, true);
}

void FrameRadar::ShowCompassCrossOnly() {
  for (CEGUI::Window* faction : m_pFactions) Show(faction, false);
  Show(m_pCompassCross, true);
  ApplyAlpha(m_pCompassCross);
  Show(m_pRootWindow, true);
}

void FrameRadar::HideAllMarkers() {
  for (CEGUI::Window* w : {m_pFactions[0], m_pFactions[1], m_pFactions[2], m_pCompassCross, m_pCloseMarker, m_pCross,
                           m_pUnit})
    Show(w, false);
  Show(m_pRootWindow, true);
}

void FrameRadar::SetVisible(bool visible) { Show(m_pRootWindow, visible); }

void FrameRadar::SetPosition(float x, float y, float rotation, const char* imageName, const char* imageSet) {
  if (!m_pRootWindow) return;
  Try("radar place", [&] {
    m_pRootWindow->setPosition(
        CEGUI::UVector2(CEGUI::UDim(0.0f, x - SIZE * 0.5f), CEGUI::UDim(0.0f, y - SIZE * 0.5f)));
    if (rotation != 0.0f) {
      const CEGUI::Quaternion turn = CEGUI::Quaternion::eulerAnglesDegrees(0.0f, 0.0f, rotation);
      if (m_pUnitArrow) m_pUnitArrow->setRotation(turn);
      if (m_pUnitGlow && m_pUnitGlow->isVisible()) m_pUnitGlow->setRotation(turn);
    }
  });
  if (!imageName || !*imageName || !m_pUnitImage) return;
  const std::string image = std::string("set:") + (imageSet && *imageSet ? imageSet : "UnitFaces_01") +
                            " image:" + imageName + "Mini";
  if (image == m_sShownImage) return;
  m_sShownImage = image;
  for (const char* property : {"NormalImage", "PushedImage", "HoverImage", "DisabledImage"})
    CeguiCompat::SetProperty(m_pUnitImage, property, image);
}
