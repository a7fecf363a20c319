// The head-up frame while the player sails: on the world map and at sea. It shows
// the money, the hero's face and hit points, the ship's icon and hull, both
// broadsides' loading, the special weapon with its reload dial and the rum and
// toolbox counts; the toolbox repairs from here and two buttons browse the ship's
// special weapons. Every value is read from the game state on each GUI update and
// written to its widget only when it changed.
#pragma once

#include "gui/BaseWindow.h"

#include "engine/base/VCallback.h"

#include <map>
#include <string>

namespace CEGUI {
class EventArgs;
class Window;
}  // namespace CEGUI

class FrameBattleHud : public BaseWindow, public IVisCallbackHandler_cl {
 public:
  // Listens to the per-frame camera callback and to the application's re-activate request.
  FrameBattleHud();
  ~FrameBattleHud() override;

  // The widgets, the cool-down lengths and special-weapon names from the game
  // script, the tool bar. False when a click cannot be subscribed.
  bool HookComponents() override;
  // Only while shown and at location 0 or 2.
  void OnBeforeGUIUpdate() override;
  // A re-activate request activates the load dial at the next frame.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  void UpdateHitpointBars();
  void UpdateCannonCounts();
  void UpdateSpecialWeaponLoad();
  void UpdateMoneyAndTools();
  void UpdateSpecialWeapon();
  void UpdateShipIcon();

  // Uses a toolbox on a damaged hull, once per cool-down; a full hull only gets a notice.
  bool OnToolboxClicked(const CEGUI::EventArgs& args);
  // Window id 0 steps back through the ship's special weapons, 1 on; both wrap.
  bool OnBrowseSpecialWeapon(const CEGUI::EventArgs& args);

  float GetRumCooldownLength() const { return m_fRumCooldownLength; }
  float GetToolboxCooldownLength() const { return m_fToolboxCooldownLength; }
  float GetToolboxCooldownLeft() const { return m_fToolboxCooldownLeft; }
  const std::map<int, std::string>& GetSpecialWeaponNames() const { return m_specialWeaponNames; }
  bool IsReactivateRequested() const { return m_bReactivateRequested; }

 private:
  void UpdateToolboxCooldown();
  void UpdateToolboxGlow();

  CEGUI::Window* m_pMoneyText = nullptr;
  CEGUI::Window* m_pRumCount = nullptr;
  CEGUI::Window* m_pToolboxCount = nullptr;
  CEGUI::Window* m_pLeftCannonCount = nullptr;
  CEGUI::Window* m_pRightCannonCount = nullptr;
  CEGUI::Window* m_pRumButton = nullptr;
  CEGUI::Window* m_pToolboxButton = nullptr;
  CEGUI::Window* m_pHeroButton = nullptr;
  CEGUI::Window* m_pShipButton = nullptr;
  CEGUI::Window* m_pWeaponButton = nullptr;
  CEGUI::Window* m_pToolboxGlow = nullptr;
  CEGUI::Window* m_pHeroBar = nullptr;
  CEGUI::Window* m_pHullBar = nullptr;
  CEGUI::Window* m_pLeftBar = nullptr;
  CEGUI::Window* m_pRightBar = nullptr;
  CEGUI::Window* m_pLoadDial = nullptr;
  CEGUI::Window* m_pWeaponPanel = nullptr;
  CEGUI::Window* m_pBackground = nullptr;
  CEGUI::Window* m_pRumCooldown = nullptr;
  CEGUI::Window* m_pToolboxCooldown = nullptr;
  float m_fRumCooldownLeft = 0.0f;
  float m_fToolboxCooldownLeft = 0.0f;
  float m_fRumCooldownLength = 15.0f;
  float m_fToolboxCooldownLength = 15.0f;
  bool m_bGlowFadingIn = true;
  std::map<int, std::string> m_specialWeaponNames;
  std::string m_sLastWeaponName;
  std::string m_sLastShipIcon;
  CEGUI::Window* m_pBrowsePanel = nullptr;
  CEGUI::Window* m_pPrevButton = nullptr;
  CEGUI::Window* m_pNextButton = nullptr;
  bool m_bReactivateRequested = false;
};
