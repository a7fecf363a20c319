// The panel of the player's own ship while the name-tag key is held: its name and
// its four ratings as rows of power balls, at a fixed point right of the screen's
// centre. One exists at a time, so its widgets carry no number.
#pragma once

#include "gui/BaseWindow.h"

class ShipEntity;

class FramePlayerShipInfo : public BaseWindow {
 public:
  FramePlayerShipInfo();
  // Destroys its window when it still has one.
  ~FramePlayerShipInfo() override;

  // The layout's widgets.
  bool HookComponents() override;

  // Nothing without the ship or its record.
  void SetData(ShipEntity* ship);
  // Top-left at half the screen plus 40 pixels across and half the screen less 100
  // pixels down, wherever the ship is; only while visible and when it moved.
  void SetPosition(float x, float y);

 private:
  CEGUI::Window* m_pName = nullptr;
  CEGUI::Window* m_pToughnessPoints = nullptr;
  CEGUI::Window* m_pDamagePoints = nullptr;
  CEGUI::Window* m_pSpeedPoints = nullptr;
  CEGUI::Window* m_pDexterityPoints = nullptr;
  CEGUI::Window* m_pUpgrades = nullptr;
  CEGUI::Window* m_pUnits = nullptr;
  CEGUI::Window* m_pDivider = nullptr;
  CEGUI::Window* m_pMoreButton = nullptr;
};
