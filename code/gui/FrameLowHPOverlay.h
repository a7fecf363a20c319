// The low-health overlay: drains the colour out of the picture while the player's
// ship or hero is badly hurt, through the main render context's tone mapper. Its
// own widgets stay invisible.
#pragma once

#include "engine/base/VisMath.h"
#include "engine/render/VPostProcessToneMapping.h"
#include "gui/BaseWindow.h"

class VisBaseEntity_cl;

class FrameLowHPOverlay : public BaseWindow {
 public:
  FrameLowHPOverlay();
  // Puts the tone mapper's saved settings back.
  ~FrameLowHPOverlay() override;

  // Makes the overlay's widgets transparent and lets clicks through.
  bool HookComponents() override;
  // Eases the tone mapper toward the player's health.
  void OnBeforeGUIUpdate() override;

  // Takes the main context's tone mapper and saves its settings (once per mapper).
  void SetToneMapper();
  // Restores the saved settings and forgets the tone mapper.
  void ResetToneMapper();
  void Show();
  void Hide();
  bool IsVisible() const { return m_bActive; }
  VPostProcessToneMapping* GetToneMapper() const { return m_pToneMapper; }

  // The player's current and maximum hit points: a ship's hull; false when the
  // entity has none that are tracked.
  static bool GetPlayerHitPoints(VisBaseEntity_cl* player, float& current, float& maximum);

 private:
  VPostProcessToneMapping* m_pToneMapper = nullptr;
  CEGUI::Window* m_pImage = nullptr;
  float m_fEaseSpeed = 1.0f;
  bool m_bActive = false;
  VisMatrix4x4_cl m_savedColorMatrix;
  ToneMapType_e m_eSavedType = TONEMAP_SCALE;
  float m_fSavedSecond = 1.0f;
  float m_fSavedFirst = 1.0f;
  float m_fSavedThird = 0.0f;
  float m_fEasedScale = 1.0f;
  float m_fEasedContrast = 1.0f;
};
