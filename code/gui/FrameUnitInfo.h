// The name tag over a land unit: the unit type's name in the colour of friend or
// foe, placed over the unit while the name-tag key is held.
#pragma once

#include "gui/BaseWindow.h"

class UnitEntity;

class FrameUnitInfo : public BaseWindow {
 public:
  FrameUnitInfo();
  // Destroys its window when it still has one.
  ~FrameUnitInfo() override;

  // A numbered copy of the layout (several tags live at once).
  bool Init() override;
  bool HookComponents() override;

  void SetData(UnitEntity* unit);
  // Top-left at (x - 100, y - 100) in pixels; only while visible and when it moved.
  void SetPosition(float x, float y);
  void SetVisible(bool visible);
  bool IsVisible() const;
  void SetAlpha(float alpha);
  float GetAlpha() const;
  // Destroys the tag's window (the frame itself stays).
  void DestroyWindow();

 private:
  CEGUI::Window* m_pUnitName = nullptr;
  CEGUI::Window* m_pUnitType = nullptr;
};
