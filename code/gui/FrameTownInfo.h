// The name tag over a town while the name-tag key is held: the town's name and, for
// towns that trade, its wealth as a row of yellow balls.
#pragma once

#include "gui/BaseWindow.h"

class TownEntity;

class FrameTownInfo : public BaseWindow {
 public:
  FrameTownInfo();
  // Destroys its window when it still has one.
  ~FrameTownInfo() override;

  // A numbered copy of the layout (every town has its own tag).
  bool Init() override;
  bool HookComponents() override;

  // Nothing without a town. A negative "iCurrentItemsInBuilding" hides the wealth.
  void SetData(TownEntity* town);
  // Top-left at (x - 92, y - 62) in pixels, also while hidden; only when it moved.
  void SetPosition(float x, float y);

 private:
  CEGUI::Window* m_pTownName = nullptr;
  CEGUI::Window* m_pWealthPoints = nullptr;
  CEGUI::Window* m_pWealthPointsBG = nullptr;
  CEGUI::Window* m_pWealthLabel = nullptr;
};
