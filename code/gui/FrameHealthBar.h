// The small bar over one ship, soldier or building. Its HealthBarComponent owns it
// and does all the timing; the frame only places, fills, fades and restyles.
#pragma once

#include "gui/BaseWindow.h"

class FrameHealthBar : public BaseWindow {
 public:
  FrameHealthBar();
  // Destroys its window when the GUI still runs.
  ~FrameHealthBar() override;

  // A numbered copy of the layout (every bar has its own widgets).
  bool Init() override;
  bool HookComponents() override;

  // Top-left at (x - 32, y - 32) in pixels; only when it moved.
  void SetPosition(float x, float y);
  // The fill's width as a share of its background (0..1).
  void SetHealth(float fraction);
  float GetHealth() const;
  // The background's alpha; the fill and the glow follow it.
  void SetAlpha(float alpha);
  float GetAlpha() const;
  void SetEnemyBar();
  // Only on a change: the low-health look with its glow, or the player's look.
  void SetLowHpBar(bool low);
  bool IsLowHpBar() const { return m_bLowHp; }
  // Advances the glow's pulse (radians at the pulse speed per second).
  void UpdateLowHpBlink(float frameTime);
  float GetPulsePhase() const { return m_fPulsePhase; }

  void SetRemoveRequest(bool remove) { m_bRemoveRequest = remove; }
  bool isRequestingRemove() const { return m_bRemoveRequest; }

  CEGUI::Window* GetBar() const { return m_pBar; }
  CEGUI::Window* GetBackground() const { return m_pBackground; }
  CEGUI::Window* GetGlow() const { return m_pGlow; }

 private:
  bool m_bRemoveRequest = false;
  CEGUI::Window* m_pBar = nullptr;
  CEGUI::Window* m_pBackground = nullptr;
  CEGUI::Window* m_pGlow = nullptr;
  bool m_bLowHp = false;
  float m_fPulsePhase = 0.0f;
  float m_fPulseSpeed = 5.0f;
};
