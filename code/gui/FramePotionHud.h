// The potion HUD: during play, what potion and what artifact work for the player,
// each a picture with a half-round timer bar that turns as the effect runs out. It
// only displays; the state comes from ArtifactManager.
#pragma once

#include "gui/BaseWindow.h"

#include <string>
#include <vector>

// One slot's widgets and the values its bar shows.
struct PotionHudSlot {
  CEGUI::Window* item = nullptr;
  CEGUI::Window* button = nullptr;
  CEGUI::Window* loadBar = nullptr;
  CEGUI::Window* load = nullptr;
  CEGUI::Window* loadFrame = nullptr;
  std::string image;
  float total = 5.0f;
  float remaining = 0.0f;
  // The bar's turn about the screen axis, in degrees (0 full, -180 run out).
  float rotation = 0.0f;
};

class FramePotionHud : public BaseWindow {
 public:
  FramePotionHud();
  ~FramePotionHud() override;

  // Builds the slot records and hides every slot.
  bool HookComponents() override;
  // While shown and the main menu is not: the running potion takes the first free
  // slot, then the running artifact; the slots left over are hidden.
  void OnBeforeGUIUpdate() override;

  int GetSlotCount() const { return (int)m_slots.size(); }
  // Null when out of range.
  const PotionHudSlot* GetSlot(int i) const { return i >= 0 && i < (int)m_slots.size() ? &m_slots[i] : nullptr; }
  bool IsSlotVisible(int i) const;

 private:
  void Refresh();
  // Turns the bar by the values stored at the last refresh and shows the image.
  void TurnBar(PotionHudSlot& slot);
  void ShowSlot(PotionHudSlot& slot);

  int m_iSlotCount = 2;
  std::vector<PotionHudSlot> m_slots;
};
