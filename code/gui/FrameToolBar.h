// The action tool bar of the head-up display: an options button that folds out
// the buttons of the game's screens, with marks for what is new behind them. The
// GUI manager owns it and shows or hides it with the HUD.
#pragma once

#include "gui/BaseWindow.h"

#include <vector>

class FrameToolBar : public BaseWindow {
 public:
  // The buttons by window id, and by index (id - 1) into the tables below.
  enum Button { kOptions = 1, kPlayer, kTreasure, kMap, kLog, kSkull };
  static constexpr int kButtons = 6;
  // The list keeps itself open while the closing timer has this value.
  static constexpr float kKeepOpen = -100.0f;

  FrameToolBar();
  ~FrameToolBar() override;

  // The folded list; the six buttons with their ids and the click handler; the
  // marks and glows hidden.
  bool HookComponents() override;
  // The marks of the player's level-up (button 0) and of a new mission (button 3),
  // set only once the tool bar has its button list.
  void LevelUp();
  void NewMission();
  // The glows' pulse, the closing list, the marks by the GUI manager's flags, then
  // the slide-in.
  void OnBeforeGUIUpdate() override;

  CEGUI::Window* GetList() const { return m_pList; }
  CEGUI::Window* GetButton(Button button) const { return m_buttons[button - 1]; }
  CEGUI::Window* GetGlow(Button button) const { return m_glows[button - 1]; }
  CEGUI::Window* GetExclamation(Button button) const { return m_exclamations[button - 1]; }
  float GetClosingTimer() const { return m_fClosingTimer; }
  float GetPulseTime() const { return m_fPulseTime; }

 private:
  bool OnClick(const CEGUI::EventArgs& args);
  // "RudderIn" or "RudderOut" 1st to 5th on the list buttons, player first or (in
  // reverse) skull first. Folding in sets the closing timer to the 5th's length.
  void Rudder(bool in, bool reverse);
  void FoldIn(bool reverse) { Rudder(false, reverse); }
  // The mark and the glow of a button shown or hidden, each only when it differs.
  void ShowMark(Button button, bool show);

  CEGUI::Window* m_pList = nullptr;
  CEGUI::Window* m_buttons[kButtons] = {};
  CEGUI::Window* m_glows[kButtons] = {};
  CEGUI::Window* m_exclamations[kButtons] = {};
  std::vector<CEGUI::Window*> m_pulsingGlows;
  float m_fPulseTime = 0.0f;
  float m_fClosingTimer = kKeepOpen;
};
