// The head-up frame of land scenes (towns, strongholds, land battles): four hero
// panels (the player's character and the campaign's first three heroes) with their
// portraits, hit points, active skills and the units they lead, the rum potion and
// the toolbox, the money, and the exit button, which leads the player's units out
// through the escape area and, once the player stands in it, back to the map.
#pragma once

#include "gui/BaseWindow.h"
#include "gui/UnitFrame.h"

#include <vector>

class HeroStats;
class SoldierEntity;
class UnitEntity;
class UnitEntityTemplate;

class FrameLandBattleHud : public BaseWindow {
 public:
  static constexpr int kPanels = 4;
  // The key code of left control.
  static constexpr unsigned kLeftControl = 29;

  FrameLandBattleHud();
  ~FrameLandBattleHud() override;

  bool HookComponents() override;
  // A requested exit sets the teleport target; the exit glow pulses while the
  // player may leave and the cursor is not on the button; then the panels, tools
  // and skills follow the game.
  void OnBeforeGUIUpdate() override;
  // The stronghold's tutorial, the first time the player is in it.
  void OnAfterGUIUpdate() override;
  // Left control held or released (handled); other keys are not handled.
  bool KeyDown(const CEGUI::EventArgs& args);
  bool KeyUp(const CEGUI::EventArgs& args) override;

  // With teleporting allowed: inside the escape area the exit is requested for the
  // next update, otherwise the player's units are sent to the escape area.
  bool OnExitClicked(const CEGUI::EventArgs& args);
  bool OnExitMouseEnters(const CEGUI::EventArgs& args);
  bool OnExitMouseLeaves(const CEGUI::EventArgs& args);
  // Window id 10 * panel + slot (0 the hero, 1..3 a led unit): selects the unit's
  // soldiers (added to the selection while left control is held).
  bool OnUnitButtonClicked(const CEGUI::EventArgs& args);
  // The land camera follows the unit.
  bool OnUnitButtonDoubleClicked(const CEGUI::EventArgs& args);
  // Window id = panel: fires the hero's active skill unless it cools down or runs.
  bool OnSkillClicked(const CEGUI::EventArgs& args);
  // Drinks one rum potion.
  bool OnRumClicked(const CEGUI::EventArgs& args);
  // The toolbox is for ships: only the notice that it cannot be used here.
  bool OnToolboxClicked(const CEGUI::EventArgs& args);

  bool IsExitRequested() const { return m_bExitRequested; }
  bool IsExitHovered() const { return m_bExitHovered; }
  bool IsLeftControlHeld() const { return m_bLeftControlHeld; }
  bool WasStrongholdTutorialShown() const { return m_bStrongholdTutorialShown; }
  float GetRumCoolDownLength() const { return m_fRumCoolDownLength; }
  CEGUI::Window* GetExitButton() const { return m_pExitButton; }
  CEGUI::Window* GetExitGlow() const { return m_pExitGlow; }
  CEGUI::Window* GetRumButton() const { return m_pRumButton; }
  CEGUI::Window* GetRumGlow() const { return m_pRumGlow; }
  CEGUI::Window* GetRumCoolDown() const { return m_pRumCoolDown; }
  CEGUI::Window* GetRumCount() const { return m_pRumCountText; }
  CEGUI::Window* GetToolboxButton() const { return m_pToolboxButton; }
  CEGUI::Window* GetToolboxCount() const { return m_pToolboxCountText; }
  CEGUI::Window* GetMoneyText() const { return m_pMoneyText; }
  int GetPanelCount() const { return (int)m_panels.size(); }
  const UnitFrame& GetPanel(int i) const { return m_panels[(size_t)i]; }

 private:
  void UpdateExitGlow();
  void UpdateHeroPanels();
  void UpdatePanel(UnitFrame& panel, HeroStats* hero);
  void UpdateSlide(UnitFrame& panel, HeroStats* hero);
  void UpdateButton(UnitFrame& panel, int index, const UnitEntityTemplate* unit);
  void UpdateBars(UnitFrame& panel, HeroStats* hero);
  void UpdateToolsAndSkills();
  void UpdateSkill(UnitFrame& panel, int index, float dt);
  // The button of an index (0 the hero's, 1..3 the units'); null with a warning beyond.
  CEGUI::Window* GetButton(UnitFrame& panel, int index);
  // Starts a slide animation; finished ones of earlier slides are let go first, so
  // that selecting back and forth does not pile them up.
  float StartSlideAnimation(const char* name, CEGUI::Window* target);

  // The hero shown by a panel: the player's record for 0, hero panel - 1 else.
  static HeroStats* PanelHero(int panel);
  // The unit a button of a panel stands for, in the scene; null when not there.
  static UnitEntity* ButtonUnit(int windowId);
  // The soldier whose skill a panel shows: panel 0 the player's character's first
  // soldier, the others their hero's unit's first soldier.
  static SoldierEntity* PanelSoldier(int panel, bool throughPlayerEntity);

  std::vector<UnitFrame> m_panels;
  CEGUI::Window* m_pRumButton = nullptr;
  CEGUI::Window* m_pToolboxButton = nullptr;
  CEGUI::Window* m_pRumCountText = nullptr;
  CEGUI::Window* m_pToolboxCountText = nullptr;
  CEGUI::Window* m_pMoneyText = nullptr;
  CEGUI::Window* m_pExitButton = nullptr;
  CEGUI::Window* m_pExitGlow = nullptr;
  CEGUI::Window* m_pRumCoolDown = nullptr;
  CEGUI::Window* m_pToolboxCoolDown = nullptr;
  float m_fRumCoolDownLeft = 0.0f;
  float m_fRumCoolDownLength = 15.0f;
  float m_fToolboxCoolDownLength = 15.0f;
  float m_fExitGlowPhase = 0.0f;
  bool m_bStrongholdTutorialShown = false;
  bool m_bLeftControlHeld = false;
  bool m_bExitRequested = false;
  bool m_bExitHovered = false;
  bool m_bRumGlowFadingIn = true;
  CEGUI::Window* m_pRumGlow = nullptr;
};
