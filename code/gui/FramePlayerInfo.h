// The player information: a tabbed frame window listing what the player carries,
// the story mission with the ongoing faction missions and side quests (choosing
// one tracks it and shows its description), and the log.
#pragma once

#include "gui/BaseWindow.h"

#include <CEGUI/String.h>

#include <vector>

namespace CEGUI {
class Listbox;
}  // namespace CEGUI

struct MissionData;

class FramePlayerInfo : public BaseWindow {
 public:
  FramePlayerInfo();
  ~FramePlayerInfo() override;

  // The close button, the widgets and the selection handlers of the two mission
  // lists, the first tab, then the missions. With faction missions the first is
  // selected and tracked at once.
  bool HookComponents() override;
  // While shown: the player tab lists the inventory by name.
  void OnBeforeGUIUpdate() override;

  CEGUI::Listbox* GetFactionMissionList() const { return m_pFactionMissions; }
  CEGUI::Listbox* GetSideQuestList() const { return m_pSideQuests; }

 private:
  void FillStoryMission();
  void FillMissionList(CEGUI::Listbox* list, const std::vector<MissionData>& missions);
  bool OnFactionSelection(const CEGUI::EventArgs& args);
  bool OnSideQuestSelection(const CEGUI::EventArgs& args);
  // An empty selection selects the list's first item (or empties the
  // description); a selected mission is tracked and described.
  void SelectionChanged(CEGUI::Listbox* list, CEGUI::Window* description, bool sideQuests);
  void UpdatePlayerStats();

  CEGUI::Window* m_pStats = nullptr;
  CEGUI::Window* m_pStoryTitle = nullptr;
  CEGUI::Window* m_pStoryDesc = nullptr;
  CEGUI::Listbox* m_pFactionMissions = nullptr;
  CEGUI::Window* m_pFactionDesc = nullptr;
  CEGUI::Listbox* m_pSideQuests = nullptr;
  CEGUI::Window* m_pSideQuestDesc = nullptr;
  CEGUI::Window* m_pLogText = nullptr;
};
