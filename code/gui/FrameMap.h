// The world map: a fixed picture of the sea area with the player's pulsing dot,
// the known towns and the mission targets. Open, it pauses the game.
#pragma once

#include "gui/BaseWindow.h"

#include "engine/base/VisMath.h"

#include <CEGUI/String.h>

#include <vector>

class FrameMap : public BaseWindow {
 public:
  FrameMap();
  // Withdraws the frame's pause request.
  ~FrameMap() override;

  // The close button and the labels; then the town dots and the rest of the map.
  bool HookComponents() override;
  // Opens (on top, pausing the game) or closes the map.
  void ToggleMap();
  bool IsOpen() const { return m_bOpen; }
  // While open: the created dots hidden, the town dots shown again, the mission and
  // player dots placed.
  void Update();
  // A dot for every found town (a big icon for the named towns and strongholds).
  void UpdateTownDots();
  // The pulse of the player's dot.
  void OnBeforeGUIUpdate() override;

  // A world position as the map window's pixel position (x runs right to left).
  static void WorldToMap(const VisVector_cl& world, int& px, int& py);
  const std::vector<CEGUI::String>& GetCreatedDots() const { return m_createdDots; }
  float GetPulseTime() const { return m_fPulseTime; }

 private:
  bool OnClose(const CEGUI::EventArgs& args);
  // The named dot, cloned from the prototype under the map when it does not exist yet.
  CEGUI::Window* GetDot(const CEGUI::String& name, const CEGUI::String& prototype);
  void PlaceDot(CEGUI::Window* dot, int px, int py);
  void PlaceMissionDots();
  void PlacePlayerDot();

  bool m_bOpen = false;
  float m_fPulseTime = 0.0f;
  std::vector<CEGUI::Window*> m_pulsingDots;
  std::vector<CEGUI::String> m_createdDots;
};
