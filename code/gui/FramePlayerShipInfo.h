// The panel of the player's own ship while the name-tag key is held: its name and
// its four ratings as rows of power balls, at a fixed point right of the screen's
// centre. Its "more" button expands it with the ship's upgrades and special
// weapons and the faces of the crew; hiding it collapses it again. One exists at a
// time, so its widgets carry no number.
#pragma once

#include "gui/BaseWindow.h"

#include <string>
#include <vector>

class ShipEntity;
class ShipStats;

namespace CEGUI {
class EventArgs;
}

class FramePlayerShipInfo : public BaseWindow {
 public:
  FramePlayerShipInfo();
  // Destroys its window when it still has one.
  ~FramePlayerShipInfo() override;

  // The layout's widgets; the "more" button shown in front, the panel collapsed in
  // height. False when the button cannot be bound.
  bool HookComponents() override;

  // Nothing without the ship or its record.
  void SetData(ShipEntity* ship);
  // Top-left at half the screen plus 40 pixels across and half the screen less 100
  // pixels down, wherever the ship is; only while visible and when it moved.
  void SetPosition(float x, float y);

  // The player's current ship and crew.
  void Expand();
  // The expanded panel for that ship (null: no upgrade or weapon rows) and those
  // face image names (the "%sMini" part), the player's character first.
  void ExpandWith(const ShipStats* ship, const std::vector<std::string>& faces);
  // Only when expanded: the button back and the short height.
  void Collapse();
  bool IsCollapsed() const { return m_bCollapsed; }

  // One row of six 36-pixel icons, padded with empty faces ("set:X image:Y" form).
  static std::string IconRow(const std::vector<std::string>& images);
  // The faces in rows of six, the last padded; adds the number of rows.
  static std::string FaceRows(const std::vector<std::string>& faces, int& rows);

 private:
  bool MoreClicked(const CEGUI::EventArgs& args);
  bool RootHidden(const CEGUI::EventArgs& args);

  CEGUI::Window* m_pName = nullptr;
  CEGUI::Window* m_pToughnessPoints = nullptr;
  CEGUI::Window* m_pDamagePoints = nullptr;
  CEGUI::Window* m_pSpeedPoints = nullptr;
  CEGUI::Window* m_pDexterityPoints = nullptr;
  CEGUI::Window* m_pUpgrades = nullptr;
  CEGUI::Window* m_pUnits = nullptr;
  CEGUI::Window* m_pDivider = nullptr;
  CEGUI::Window* m_pMoreButton = nullptr;
  CEGUI::Window* m_pUpgradesHeader = nullptr;
  bool m_bCollapsed = false;
};
