// One hero panel of the land head-up frame: the hero's portrait button with its
// hit points, the active-skill button with its cool-down and glow, and up to three
// buttons of the units the hero leads. FrameLandBattleHud fills and drives it.
#pragma once

#include "gui/BaseWindow.h"

#include "engine/base/VString.h"

class UnitFrame : public BaseWindow {
 public:
  static constexpr int kUnitButtons = 3;
  // Buttons by index: 0 the hero button, 1..3 the unit buttons.
  static constexpr int kButtons = 1 + kUnitButtons;

  // What a button shows now, so that only changes reach CEGUI.
  struct ButtonRecord {
    VString tooltipKey;
    VString imageSet;
    VString imageName;
    VString skillImage;  // the hero button's only
  };

  UnitFrame() = default;
  // Panels live by value in the HUD's list; a copy never takes the animation
  // instances of the original, which the original alone destroys.
  UnitFrame(const UnitFrame& other);
  UnitFrame& operator=(const UnitFrame&) = delete;
  ~UnitFrame() override;

  CEGUI::Window* m_pHeroButton = nullptr;
  CEGUI::Window* m_pSkillButton = nullptr;
  CEGUI::Window* m_pSkillCoolDown = nullptr;
  CEGUI::Window* m_pSkillGlow = nullptr;
  CEGUI::Window* m_pUnitButtons[kUnitButtons] = {};
  CEGUI::Window* m_pUnitCounts[kUnitButtons] = {};
  CEGUI::Window* m_pUnitsPanel = nullptr;
  CEGUI::Window* m_pHitpointBar0 = nullptr;
  CEGUI::Window* m_pHitpointBar1 = nullptr;  // panel 0 only: the ship's hull
  CEGUI::Window* m_pPanelRoot = nullptr;
  CEGUI::Window* m_pBackground = nullptr;

  // Seconds left of the running slide-out; below 0 while none runs.
  float m_fSlideTimer = -1.0f;
  bool m_bSkillTooltipDone = false;
  ButtonRecord m_buttons[kButtons];
  // Taken from the hero's soldier when the skill is fired.
  float m_fSkillCoolDownLength = 0.0f;
  float m_fSkillActiveDuration = 0.0f;
  bool m_bGlowFadingIn = true;
};
