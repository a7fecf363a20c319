// The head-up frame of land scenes (towns, strongholds, land battles). So far it
// carries the exit button, which leads the player's units out through the escape
// area and, once the player stands in it, back to the map; the hero panels come
// with the head-up display.
#pragma once

#include "gui/BaseWindow.h"

class FrameLandBattleHud : public BaseWindow {
 public:
  FrameLandBattleHud();

  bool HookComponents() override;
  // A requested exit sets the teleport target; the exit glow pulses while the
  // player may leave and the cursor is not on the button.
  void OnBeforeGUIUpdate() override;

  // With teleporting allowed: inside the escape area the exit is requested for the
  // next update, otherwise the player's units are sent to the escape area.
  bool OnExitClicked(const CEGUI::EventArgs& args);
  bool OnExitMouseEnters(const CEGUI::EventArgs& args);
  bool OnExitMouseLeaves(const CEGUI::EventArgs& args);

  bool IsExitRequested() const { return m_bExitRequested; }
  bool IsExitHovered() const { return m_bExitHovered; }
  CEGUI::Window* GetExitButton() const { return m_pExitButton; }
  CEGUI::Window* GetExitGlow() const { return m_pExitGlow; }

 private:
  void UpdateExitGlow();

  CEGUI::Window* m_pExitButton = nullptr;
  CEGUI::Window* m_pExitGlow = nullptr;
  float m_fExitGlowPhase = 0.0f;
  bool m_bExitRequested = false;
  bool m_bExitHovered = false;
};
