// The player information frame.
#include "gui/FramePlayerInfo.h"

#include "Managers/GameSessionManager.h"
#include "Managers/LocalizationTable.h"
#include "Missions/MissionManager.h"
#include "entities/CollectableEntityTemplate.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameCloser.h"

#include <CEGUI/CEGUI.h>

#include <map>
#include <string>

using CeguiCompat::Try;

namespace {

const char kWindow[] = "PlayerInformation/Window";
const char kTabs[] = "PlayerInformation/Window/Tabs";
const char kSelectionBrush[] = "CorallineLook/ListboxSelectionBrush";

CEGUI::String Text(const VString& key) { return LocalizationTable::GetInstance()->GetText(key.AsChar()); }

void SetText(CEGUI::Window* window, const CEGUI::String& text) {
  if (window && window->getText() != text) Try("player info text", [&] { window->setText(text); });
}

}  // namespace

FramePlayerInfo::FramePlayerInfo() : BaseWindow(WT_PLAYER_INFO, "PlayerInformation.layout") {}

FramePlayerInfo::~FramePlayerInfo() = default;

bool FramePlayerInfo::HookComponents() {
  if (!Bind(kWindow, CEGUI::FrameWindow::EventCloseClicked, FrameCloser::Subscriber(this))) return false;

  m_pStats = GetComponent("PlayerInformation/Window/Tabs/Player/Stats");
  m_pStoryTitle = GetComponent("PlayerInformation/Window/Tabs/Missions/StoryTitle");
  m_pStoryDesc = GetComponent("PlayerInformation/Window/Tabs/Missions/StoryDesc");
  m_pFactionMissions =
      dynamic_cast<CEGUI::Listbox*>(GetComponent("PlayerInformation/Window/Tabs/Missions/FactionMissions"));
  m_pFactionDesc = GetComponent("PlayerInformation/Window/Tabs/Missions/FactionDesc");
  m_pSideQuests = dynamic_cast<CEGUI::Listbox*>(GetComponent("PlayerInformation/Window/Tabs/Missions/SideQuests"));
  m_pSideQuestDesc = GetComponent("PlayerInformation/Window/Tabs/Missions/SideQuestDesc");
  m_pLogText = GetComponent("PlayerInformation/Window/Tabs/Log/LogText");
  if (!Bind(m_pFactionMissions, CEGUI::Listbox::EventSelectionChanged,
            CEGUI::Event::Subscriber(&FramePlayerInfo::OnFactionSelection, this)))
    return false;
  if (!Bind(m_pSideQuests, CEGUI::Listbox::EventSelectionChanged,
            CEGUI::Event::Subscriber(&FramePlayerInfo::OnSideQuestSelection, this)))
    return false;

  if (auto* tabs = dynamic_cast<CEGUI::TabControl*>(GetComponent(kTabs)))
    Try("first tab", [&] { tabs->setSelectedTabAtIndex(0); });

  MissionManager& missions = MissionManager::GlobalManager();
  FillStoryMission();
  FillMissionList(m_pFactionMissions, missions.GetOngoingFactionMissions());
  FillMissionList(m_pSideQuests, missions.GetOngoingSideQuests());
  // Nothing is selected yet: the first faction mission is chosen and tracked.
  SelectionChanged(m_pFactionMissions, m_pFactionDesc, false);
  return BaseWindow::HookComponents();
}

void FramePlayerInfo::FillStoryMission() {
  if (!m_pStoryTitle || !m_pStoryDesc) return;
  const MissionData story = MissionManager::GlobalManager().GetOngoingStoryMission();
  SetText(m_pStoryTitle, story.id > 0 ? Text(story.name) : CEGUI::String());
  SetText(m_pStoryDesc, story.id > 0 ? Text(story.description) : CEGUI::String());
}

void FramePlayerInfo::FillMissionList(CEGUI::Listbox* list, const std::vector<MissionData>& missions) {
  for (const MissionData& mission : missions) {
    auto* item = new CEGUI::ListboxTextItem(Text(mission.name), (CEGUI::uint)mission.id);
    item->setSelectionBrushImage(kSelectionBrush);
    if (!Try("mission item", [&] { list->addItem(item); })) delete item;
  }
}

bool FramePlayerInfo::OnFactionSelection(const CEGUI::EventArgs&) {
  SelectionChanged(m_pFactionMissions, m_pFactionDesc, false);
  return true;
}

bool FramePlayerInfo::OnSideQuestSelection(const CEGUI::EventArgs&) {
  SelectionChanged(m_pSideQuests, m_pSideQuestDesc, true);
  return true;
}

void FramePlayerInfo::SelectionChanged(CEGUI::Listbox* list, CEGUI::Window* description, bool sideQuests) {
  if (!list || !description) return;
  const CEGUI::ListboxItem* selected = list->getFirstSelectedItem();
  if (!selected) {
    // Selecting raises the event again, which describes the mission.
    if (list->getItemCount() > 0)
      Try("first mission", [&] { list->setItemSelectState((size_t)0, true); });
    else
      SetText(description, CEGUI::String());
    return;
  }
  const int id = (int)selected->getID();
  MissionManager& missions = MissionManager::GlobalManager();
  MissionData mission;
  if (!sideQuests) {
    mission = missions.GetFactionMissionById(id);
  } else {
    // Side quests are not faction missions: the ongoing one of that id.
    for (const MissionData& quest : missions.GetOngoingSideQuests())
      if (quest.id == id) mission = quest;
  }
  missions.TrackMission(id);
  SetText(description, mission.id > 0 ? Text(mission.description) : CEGUI::String());
}

void FramePlayerInfo::OnBeforeGUIUpdate() {
  BaseWindow::OnBeforeGUIUpdate();
  if (m_pRootWindow && m_pRootWindow->isVisible()) UpdatePlayerStats();
}

void FramePlayerInfo::UpdatePlayerStats() {
  if (!m_pStats || !GameSessionManager::HasInstance()) return;
  GameSessionManager* session = GameSessionManager::GetInstance();
  // By name, in name order; a later entry of a name gives its count.
  std::map<std::string, int> counts;
  for (int i = 0, n = session->GetPlayerCollectableCount(); i < n; ++i)
    if (const CollectableEntityTemplate* item = session->GetCollectable((unsigned)i))
      counts[item->m_sKey.AsChar()] = item->m_iCount;
  if (counts.empty()) return;
  std::string text;
  for (const auto& [name, count] : counts) text += name + " (" + std::to_string(count) + ")\n";
  SetText(m_pStats, CeguiCompat::ToGui(text));
}
