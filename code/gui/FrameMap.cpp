// The world map frame.
#include "gui/FrameMap.h"

#include "Managers/LocalizationTable.h"
#include "Managers/RadarManager.h"
#include "Managers/TownManager.h"
#include "Missions/MissionManager.h"
#include "core/BaseEntity.h"
#include "core/GameManager.h"
#include "entities/ShipEntity.h"
#include "entities/TownEntity.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameCaptainsLog.h"
#include "gui/GUIManager.h"

#include "engine/Vision.h"

#include <CEGUI/Window.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {
const char kMapWindow[] = "MAP/Window/Map";
const char kPlayerDot[] = "MAP/Window/Map/PlayerDot_Proto";
const char kMissionDotProto[] = "MAP/Window/Map/MissionDot_Proto";
const char kTownDotProto[] = "MAP/Window/Map/TownDot_Proto";
// The tool bar's exclamation mark on its map button.
const int kMapExclamation = 2;

// The picture spans -3000..3000 world units on 695 pixels and sits 144 pixels in
// and 108 pixels up in the frame.
const float kMapScale = 695.0f / 6000.0f;
const int kMapPixels = 695;
const int kMapOffsetX = 144;
const int kMapOffsetY = -108;
// The big town icons are 96 x 80 pixels, centred over the town.
const int kIconOffsetX = -38;
const int kIconOffsetY = -30;

const float kPulseRate = 4.0f;
const float kPulseWrap = 6.283f;

CEGUI::String Text(const char* key) { return LocalizationTable::GetInstance()->GetText(key); }

int MapPixel(float world) { return (int)(world * kMapScale + 347.5f - 0.5f); }

bool StartsWith(const VString& text, const char* prefix) { return text.StartsWith(prefix); }

// The key a town without a name gets.
const char kNoTownName[] = "str_TOWN_NONE";

// The named towns and strongholds have their own picture on the map; a town
// without a name is a plain dot, not a picture of nothing.
bool HasTownIcon(const VString& key) {
  if (key.IsEmpty() || key == kNoTownName || StartsWith(key, "str_TOWN_SL") || StartsWith(key, "str_STRONGHOLD_BLACK"))
    return false;
  return StartsWith(key, "str_TOWN") || StartsWith(key, "str_STRO");
}
}  // namespace

FrameMap::FrameMap() : BaseWindow(WT_MAP, "Map.layout") {}

FrameMap::~FrameMap() { RequestPause(false); }

void FrameMap::WorldToMap(const VisVector_cl& world, int& px, int& py) {
  px = kMapPixels - MapPixel(world.x) + kMapOffsetX;
  py = MapPixel(world.y) + kMapOffsetY;
}

bool FrameMap::HookComponents() {
  if (!Bind("MAP/Window/CloseButton", CEGUI::Window::EventMouseClick,
            CEGUI::Event::Subscriber(&FrameMap::OnClose, this)))
    return false;
  const CEGUI::String title = CeguiCompat::ToGui("[font='SketchHeavyRegular-19']") + Text("str_MAP_TITLE");
  const CEGUI::String legend = CeguiCompat::ToGui("[font='SketchHeavyRegular-12']");
  if (CEGUI::Window* label = GetComponent("MAP/Window/Label")) label->setText(title);
  const std::pair<const char*, const char*> legends[] = {{"MAP/Window/Legend/LabelDot", "str_MAP_PLAYERDOT"},
                                                         {"MAP/Window/Legend/LabelMission", "str_MAP_MISSIONDOT"}};
  for (const auto& [widget, key] : legends) {
    CEGUI::Window* label = GetComponent(widget);
    if (!label) continue;
    label->setText(legend + Text(key));
    CeguiCompat::SetProperty(label, "HorzTextFormatting", "LeftAligned");
  }
  UpdateTownDots();
  Update();
  return BaseWindow::HookComponents();
}

void FrameMap::ToggleMap() {
  m_bOpen = !m_bOpen;
  GUIManager* gui = GUIManager::GetInstance();
  if (m_bOpen) {
    gui->SetExclamationForButton(kMapExclamation, false);
    // Closed earlier in this frame: it stays rather than go after the GUI update.
    if (m_bRemoveRequested) CancelRemoveRequest();
    CEGUI::Window* sheet = gui->GetBaseFrame();
    if (gui->IsInitialized() && m_pRootWindow && sheet) {
      CeguiCompat::Try("open map", [&] {
        if (CEGUI::Window* parent = m_pRootWindow->getParent()) parent->removeChild(m_pRootWindow);
        sheet->addChild(m_pRootWindow);
        sheet->moveToBack();
        m_pRootWindow->setAlwaysOnTop(true);
        m_pRootWindow->show();
      });
    }
    RequestPause(true);
    Update();
    return;
  }
  if (gui->IsWindowVisible(WT_CAPTAINS_LOG))
    if (auto* log = dynamic_cast<FrameCaptainsLog*>(gui->FindWindowA(WT_CAPTAINS_LOG))) log->ResumeTrackedMission();
  if (m_pRootWindow) {
    CeguiCompat::Try("close map", [&] {
      m_pRootWindow->hide();
      m_pRootWindow->moveToBack();
    });
  }
  RequestPause(false);
  gui->CloseWindow(WT_MAP, false);
}

bool FrameMap::OnClose(const CEGUI::EventArgs&) {
  ToggleMap();
  for (const CEGUI::String& name : m_createdDots) {
    if (CEGUI::Window* dot = GetComponent(name)) {
      CeguiCompat::Try("hide map dot", [&] { dot->hide(); });
      CeguiCompat::DestroyWindow(dot);
    }
  }
  m_createdDots.clear();
  m_pulsingDots.clear();
  return true;
}

CEGUI::Window* FrameMap::GetDot(const CEGUI::String& name, const CEGUI::String& prototype) {
  if (CEGUI::Window* dot = GetComponent(name)) return dot;
  CEGUI::Window* proto = GetComponent(prototype);
  CEGUI::Window* map = GetComponent(kMapWindow);
  if (!proto || !map) return nullptr;
  const std::string full = CeguiCompat::ToUtf8(name);
  const std::string leaf = full.substr(full.find_last_of('/') + 1);
  CEGUI::Window* dot = CeguiCompat::CloneWindow(proto, leaf);
  if (!dot) return nullptr;
  if (!CeguiCompat::Try("add map dot", [&] { map->addChild(dot); })) {
    CeguiCompat::DestroyWindow(dot);
    return nullptr;
  }
  m_createdDots.push_back(name);
  return dot;
}

void FrameMap::PlaceDot(CEGUI::Window* dot, int px, int py) {
  CeguiCompat::Try("place map dot", [&] {
    dot->setPosition(CEGUI::UVector2(CEGUI::UDim(0.0f, (float)px), CEGUI::UDim(0.0f, (float)py)));
    dot->show();
  });
}

void FrameMap::Update() {
  if (!m_bOpen || !m_pRootWindow) return;
  for (const CEGUI::String& name : m_createdDots) {
    if (CEGUI::Window* dot = GetComponent(name)) {
      const bool town = CeguiCompat::ToUtf8(name).find("TownDot") != std::string::npos;
      CeguiCompat::Try("map dot", [&] { dot->setVisible(town); });
    }
  }
  m_pulsingDots.clear();
  PlaceMissionDots();
  PlacePlayerDot();
}

void FrameMap::PlaceMissionDots() {
  if (!RadarManager::HasInstance()) return;
  const RadarManager* radar = RadarManager::GetInstance();
  // The tracked mission names the targets.
  const MissionData* tracked = MissionManager::GlobalManager().GetTrackedMissionData();
  const CEGUI::String tooltip =
      !tracked ? CEGUI::String()
               : LocalizationTable::GetInstance()->GetText(
                     "str_TOOLTIP_MAP_MISSION",
                     LocalizationTable::GetInstance()->GetWideText(tracked->name.AsChar()).c_str());
  for (int i = 0, n = radar->GetNumMarkers(); i < n; ++i) {
    const BaseEntity* entity = radar->GetMarker(i)->entity;
    if (!entity || entity->IsMarkedRemoved()) continue;
    if (!entity->IsOfType(TownEntity::GetClassTypeId()) && !entity->IsOfType(ShipEntity::GetClassTypeId())) continue;
    char name[64];
    std::snprintf(name, sizeof(name), "MAP/Window/Map/MissionDot%d", i);
    CEGUI::Window* dot = GetDot(name, kMissionDotProto);
    if (!dot) continue;
    int px = 0, py = 0;
    WorldToMap(entity->GetPosition(), px, py);
    PlaceDot(dot, px, py);
    CeguiCompat::Try("mission tooltip", [&] { dot->setTooltipText(tooltip); });
  }
}

void FrameMap::PlacePlayerDot() {
  GameManager* game = GameManager::GetInstance();
  VisBaseEntity_cl* player = game->GetPlayerEntity();
  CEGUI::Window* dot = GetComponent(kPlayerDot);
  if (!player || !dot) return;
  VisVector_cl at = player->GetPosition();
  // On land the map shows the town the player is in.
  if (!game->IsPlayerAtSea()) {
    const TownEntity* town = TownManager::GetInstance()->GetCurrentTownInfo().town;
    if (town) at = town->GetPosition();
  }
  int px = 0, py = 0;
  WorldToMap(at, px, py);
  PlaceDot(dot, px, py);
  CeguiCompat::Try("player dot", [&] { dot->moveToFront(); });
  m_pulsingDots.push_back(dot);
}

void FrameMap::UpdateTownDots() {
  DynArray_cl<TownEntity*> towns(0, nullptr);
  TownManager::GetInstance()->CollectTowns(&towns, -1);
  for (unsigned i = 0, used = towns.GetValidSize(); i < used; ++i) {
    TownEntity* town = towns.Get(i);
    if (!town || !town->IsFound()) continue;
    char name[64];
    std::snprintf(name, sizeof(name), "MAP/Window/Map/TownDot%u", i);
    CEGUI::Window* dot = GetDot(name, kTownDotProto);
    if (!dot) continue;
    const VString& key = town->GetTownNameKey();
    int px = 0, py = 0;
    WorldToMap(town->GetPosition(), px, py);
    if (HasTownIcon(key)) {
      CeguiCompat::SetProperty(dot, "Image", std::string("set:WorldMap image:") + key.AsChar());
      CeguiCompat::Try("town icon", [&] {
        dot->setSize(CEGUI::USize(CEGUI::UDim(0.0f, 96.0f), CEGUI::UDim(0.0f, 80.0f)));
      });
      CeguiCompat::SetProperty(dot, "HorzFormatting", "CentreAligned");
      px += kIconOffsetX;
      py += kIconOffsetY;
    }
    PlaceDot(dot, px, py);
  }
}

void FrameMap::OnBeforeGUIUpdate() {
  BaseWindow::OnBeforeGUIUpdate();
  if (!m_bOpen || !m_pRootWindow) return;
  const float alpha = std::min(1.0f, std::sin(m_fPulseTime * kPulseRate) + 1.2f);
  for (CEGUI::Window* dot : m_pulsingDots) {
    if (!dot->isVisible()) continue;
    m_fPulseTime += Vision::Timer.GetTimeDifference();
    if (dot->getAlpha() != alpha) CeguiCompat::Try("pulse", [&] { dot->setAlpha(alpha); });
    if (m_fPulseTime > kPulseWrap) m_fPulseTime = 0.0f;
  }
}
