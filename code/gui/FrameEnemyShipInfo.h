// The panel over another ship while the name-tag key is held: the ship's name, its
// nation and level, its four ratings as rows of power balls and its hull.
#pragma once

#include "gui/BaseWindow.h"

#include <string>

class ShipEntity;

class FrameEnemyShipInfo : public BaseWindow {
 public:
  FrameEnemyShipInfo();
  // Destroys its window when it still has one.
  ~FrameEnemyShipInfo() override;

  // A numbered copy of the layout (every ship has its own panel).
  bool Init() override;
  bool HookComponents() override;

  // Nothing without the ship or its record.
  void SetData(ShipEntity* ship);
  // Top-left at (x - 32, y - 32) in pixels; only while visible and when it moved.
  void SetPosition(float x, float y);

  // A rating of 0 to 5 as five power balls ("set:X image:Y" form): whole blue balls,
  // a half ball for a remainder of 0.5 or more, empty balls for the rest.
  static std::string PowerBallText(float rating);
  // The localised name key of a ship's type name ("str_" and the name in upper case).
  static std::string ShipNameKey(const ShipEntity* ship);

 private:
  CEGUI::Window* m_pShipName = nullptr;
  CEGUI::Window* m_pShipLevel = nullptr;
  CEGUI::Window* m_pToughnessPoints = nullptr;
  CEGUI::Window* m_pDamagePoints = nullptr;
  CEGUI::Window* m_pSpeedPoints = nullptr;
  CEGUI::Window* m_pDexterityPoints = nullptr;
  CEGUI::Window* m_pHitpointsBar = nullptr;
};
