// The name tag over an enterable building: the building's name, placed over it
// while the name-tag key is held.
#pragma once

#include "gui/BaseWindow.h"

class FrameBuildingInfo : public BaseWindow {
 public:
  FrameBuildingInfo();
  // Destroys its window when it still has one.
  ~FrameBuildingInfo() override;

  // A numbered copy of the layout (every building has its own tag).
  bool Init() override;
  bool HookComponents() override;

  // The localised name key in the tag's font.
  void SetData(const char* key);
  // Top-left at (x - 92, y - 62) in pixels, also while hidden; only when it moved.
  void SetPosition(float x, float y);
  void SetVisible(bool visible);
  bool IsVisible() const;
  CEGUI::Window* GetNameWindow() const { return m_pBuildingName; }
  // Destroys the tag's window (the frame itself stays).
  void DestroyWindow();

 private:
  CEGUI::Window* m_pBuildingName = nullptr;
};
