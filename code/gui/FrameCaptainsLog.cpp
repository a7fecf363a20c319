// The captain's log frame.
#include "gui/FrameCaptainsLog.h"

#include "Managers/LocalizationTable.h"
#include "Missions/BaseMissionProto.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameMap.h"
#include "gui/GUIManager.h"

#include <CEGUI/CEGUI.h>

#include <algorithm>
#include <cstdio>

using CeguiCompat::Try;

namespace {

// The tool bar's exclamation mark of the log button.
const int kLogExclamation = 3;

const char kClose[] = "CaptainsLog/Window/Close";
const char kUp[] = "CaptainsLog/SubMenu/ButtonUp";
const char kDown[] = "CaptainsLog/SubMenu/ButtonDown";
const char kMap[] = "CaptainsLog/Window/Map";
const char kSubHeader[] = "CaptainsLog/Window/SubHeader";
const char kTypeDesc[] = "CaptainsLog/Window/MissionTypeDesc";
const char kDescription[] = "CaptainsLog/Window/Description";
const char kIsCurrent[] = "CaptainsLog/Window/IsCurrent";

CEGUI::String RowName(int i, const char* child = "") {
  char name[64];
  std::snprintf(name, sizeof(name), "CaptainsLog/SubMenu/Button%d%s", i, child);
  return name;
}

CEGUI::String Text(const VString& key) {
  return key.IsEmpty() ? CEGUI::String() : LocalizationTable::GetInstance()->GetText(key.AsChar());
}

// The mission object of a listed mission while it is still ongoing: the list is a
// copy, and a mission that ended meanwhile has lost its object.
const BaseMissionProto* LiveObject(const MissionData& row) {
  if (!row.mission) return nullptr;
  for (const MissionData& ongoing : MissionManager::GlobalManager().GetOngoingMissions())
    if (ongoing.id == row.id) return ongoing.mission == row.mission ? row.mission : nullptr;
  return nullptr;
}

bool IsFaction(const BaseMissionProto* mission) {
  return mission && mission->IsOfType(FactionMissionProto::GetClassTypeId());
}

void SetSelected(CEGUI::Window* window, bool selected) {
  auto* radio = dynamic_cast<CEGUI::ToggleButton*>(window);
  if (radio && radio->isSelected() != selected) Try("log radio", [&] { radio->setSelected(selected); });
}

void SetVisible(CEGUI::Window* window, bool visible) {
  if (window && window->isVisible() != visible) Try("log window", [&] { window->setVisible(visible); });
}

void SetEnabled(CEGUI::Window* window, bool enabled) {
  if (window && window->isDisabled() == enabled) Try("log button", [&] { window->setEnabled(enabled); });
}

int EventWindowId(const CEGUI::EventArgs& args) {
  const CEGUI::Window* window = static_cast<const CEGUI::WindowEventArgs&>(args).window;
  return window ? (int)window->getID() : -1;
}

}  // namespace

FrameCaptainsLog::FrameCaptainsLog() : BaseWindow(WT_CAPTAINS_LOG, "CaptainsLog.layout") {}

FrameCaptainsLog::~FrameCaptainsLog() { RequestPause(false); }

bool FrameCaptainsLog::HookComponents() {
  RequestPause(true);
  SetSlideIn(0.4f);
  if (!Bind(kClose, CEGUI::PushButton::EventClicked, CEGUI::Event::Subscriber(&FrameCaptainsLog::OnClose, this)) ||
      !Bind(kUp, CEGUI::PushButton::EventClicked, CEGUI::Event::Subscriber(&FrameCaptainsLog::OnUp, this)) ||
      !Bind(kDown, CEGUI::PushButton::EventClicked, CEGUI::Event::Subscriber(&FrameCaptainsLog::OnDown, this)) ||
      !Bind(kMap, CEGUI::Window::EventMouseClick, CEGUI::Event::Subscriber(&FrameCaptainsLog::OnMap, this)))
    return false;
  for (int i = 0; i < kRows; ++i) {
    if (CEGUI::Window* row = GetComponent(RowName(i))) {
      Try("log row id", [&] { row->setID((CEGUI::uint)i); });
      Bind(row, CEGUI::Window::EventMouseClick, CEGUI::Event::Subscriber(&FrameCaptainsLog::OnRow, this));
    }
    if (CEGUI::Window* track = GetComponent(RowName(i, "/Track"))) {
      Try("log track id", [&] {
        track->setID((CEGUI::uint)i);
        if (auto* radio = dynamic_cast<CEGUI::RadioButton*>(track)) radio->setGroupID(0);
      });
      Bind(track, CEGUI::Window::EventMouseClick, CEGUI::Event::Subscriber(&FrameCaptainsLog::OnTrackRow, this));
    }
  }
  return BaseWindow::HookComponents();
}

bool FrameCaptainsLog::Init() {
  if (!BaseWindow::Init()) return false;
  GUIManager::GetInstance()->SetExclamationForButton(kLogExclamation, false);
  MissionManager& missions = MissionManager::GlobalManager();
  m_missions = missions.GetOngoingMissions();
  if (!m_missions.empty()) {
    m_iTracked = 0;
    for (int i = 0; i < (int)m_missions.size(); ++i) {
      if (m_missions[i].mission && missions.IsMissionTracked(m_missions[i].id)) {
        m_iTracked = i;
        break;
      }
    }
    m_iSelected = m_iTracked > 0 && m_iTracked < (int)m_missions.size() ? m_iTracked : 0;
  }
  RefreshRows();
  RefreshDetails();
  RefreshScrollButtons();
  return true;
}

void FrameCaptainsLog::RefreshRows() {
  for (int i = 0; i < kRows; ++i) SetVisible(GetComponent(RowName(i)), false);
  const int shown = std::min((int)m_missions.size() - m_iFirst, kRows);
  if (shown > 0)
    for (int i = 0; i < kRows; ++i) SetSelected(GetComponent(RowName(i, "/Track")), m_iFirst + i == m_iTracked);
  for (int r = 0; r < shown; ++r) {
    const MissionData& m = m_missions[m_iFirst + r];
    CEGUI::Window* row = GetComponent(RowName(r));
    if (!row) continue;
    SetVisible(row, true);
    const CEGUI::String name = Text(m.name);
    Try("log row text", [&] { row->setText(name); });
    SetSelected(row, m_iFirst + r == m_iSelected);
    if (const BaseMissionProto* mission = LiveObject(m)) {
      if (CEGUI::Window* icon = GetComponent(RowName(r, "/Icon")))
        CeguiCompat::SetProperty(icon, "Image", IsFaction(mission) ? "set:ShipIcons_01 image:MissionFaction"
                                                                   : "set:ShipIcons_01 image:MissionStory");
    }
  }
}

void FrameCaptainsLog::RefreshDetails() {
  CEGUI::Window* isCurrent = GetComponent(kIsCurrent);
  const BaseMissionProto* mission = IsValid(m_iSelected) ? LiveObject(m_missions[m_iSelected]) : nullptr;
  if (!mission) {
    SetVisible(isCurrent, false);
    return;
  }
  const MissionData& m = m_missions[m_iSelected];
  LocalizationTable* texts = LocalizationTable::GetInstance();
  const CEGUI::String name = Text(m.name);
  const CEGUI::String kind = texts->GetText(IsFaction(mission) ? "str_LOG_FACTION_MISSION" : "str_LOG_STORY_MISSION");
  const CEGUI::String description = Text(m.description);
  if (CEGUI::Window* w = GetComponent(kSubHeader)) Try("log name", [&] { w->setText(name); });
  if (CEGUI::Window* w = GetComponent(kTypeDesc)) Try("log kind", [&] { w->setText(kind); });
  if (CEGUI::Window* w = GetComponent(kDescription)) Try("log description", [&] { w->setText(description); });
  SetVisible(isCurrent, MissionManager::GlobalManager().IsMissionTracked(m.id) != 0);
}

void FrameCaptainsLog::RefreshScrollButtons() {
  const int count = (int)m_missions.size();
  SetEnabled(GetComponent(kUp), m_iFirst >= 1);
  SetEnabled(GetComponent(kDown), count - kRows > 0 && m_iFirst + 1 <= count - kRows);
}

void FrameCaptainsLog::Track(int index) {
  MissionManager& missions = MissionManager::GlobalManager();
  if (IsValid(index)) missions.TrackMission(m_missions[index].id);
  missions.UpdateMissionTracking();
}

bool FrameCaptainsLog::ResumeTrackedMission() {
  if (!IsValid(m_iTracked)) return false;
  Track(m_iTracked);
  return true;
}

bool FrameCaptainsLog::OnRow(const CEGUI::EventArgs& args) {
  const int i = EventWindowId(args);
  if (i < 0 || i >= kRows) return false;
  m_iSelected = m_iFirst + i;
  RefreshDetails();
  return true;
}

bool FrameCaptainsLog::OnTrackRow(const CEGUI::EventArgs& args) {
  const int i = EventWindowId(args);
  if (i < 0 || i >= kRows) return false;
  m_iSelected = m_iTracked = m_iFirst + i;
  for (int r = 0; r < kRows; ++r) {
    SetSelected(GetComponent(RowName(r, "/Track")), r == i);
    SetSelected(GetComponent(RowName(r)), r == i);
  }
  Track(m_iTracked);
  RefreshDetails();
  return true;
}

bool FrameCaptainsLog::OnUp(const CEGUI::EventArgs&) {
  m_iFirst = std::max(m_iFirst - 1, 0);
  RefreshRows();
  RefreshScrollButtons();
  return true;
}

bool FrameCaptainsLog::OnDown(const CEGUI::EventArgs&) {
  if (m_iFirst + 1 <= (int)m_missions.size() - kRows) ++m_iFirst;
  RefreshRows();
  RefreshScrollButtons();
  return true;
}

bool FrameCaptainsLog::OnMap(const CEGUI::EventArgs&) {
  if (!IsValid(m_iSelected)) return false;
  Track(m_iSelected);
  if (auto* map = dynamic_cast<FrameMap*>(GUIManager::GetInstance()->GetWindow(WT_MAP))) map->ToggleMap();
  return true;
}

bool FrameCaptainsLog::OnClose(const CEGUI::EventArgs&) {
  GUIManager* gui = GUIManager::GetInstance();
  if (gui->GetCurrentFrame() == this) gui->SetCurrentFrame(nullptr);
  RequestRemove();
  return true;
}
