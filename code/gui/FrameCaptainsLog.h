// The captain's log: the ongoing missions six rows at a time, the details of the
// selected one, and the choice of the mission tracked on the radar. Open, it
// pauses the game; it keeps its own copy of the missions while it is open (a
// mission that ends meanwhile stays listed, without details).
#pragma once

#include "Missions/MissionManager.h"
#include "gui/BaseWindow.h"

#include <vector>

class FrameCaptainsLog : public BaseWindow {
 public:
  static constexpr int kRows = 6;

  FrameCaptainsLog();
  // Withdraws the frame's pause request.
  ~FrameCaptainsLog() override;

  // The copy of the ongoing missions, the tracked and selected rows, then the rows,
  // the details and the scroll buttons.
  bool Init() override;
  bool HookComponents() override;

  // Tracks the mission shown as tracked again (the world map calls it as it closes).
  bool ResumeTrackedMission();

  const std::vector<MissionData>& GetMissions() const { return m_missions; }
  int GetSelected() const { return m_iSelected; }
  int GetTracked() const { return m_iTracked; }
  int GetFirst() const { return m_iFirst; }

 private:
  void RefreshRows();
  void RefreshDetails();
  void RefreshScrollButtons();
  // Tracks mission index and lets every ongoing mission's script hear of it.
  void Track(int index);

  bool OnClose(const CEGUI::EventArgs& args);
  bool OnUp(const CEGUI::EventArgs& args);
  bool OnDown(const CEGUI::EventArgs& args);
  bool OnMap(const CEGUI::EventArgs& args);
  bool OnRow(const CEGUI::EventArgs& args);
  bool OnTrackRow(const CEGUI::EventArgs& args);

  bool IsValid(int index) const { return index >= 0 && index < (int)m_missions.size(); }

  std::vector<MissionData> m_missions;
  int m_iSelected = -1;
  int m_iTracked = -1;
  int m_iFirst = 0;
};
