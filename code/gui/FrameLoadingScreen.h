// The loading screen: a full-screen picture on top of everything while the game
// loads; after loading it holds for a moment, then fades out.
#pragma once

#include "gui/BaseWindow.h"

#include <string>

class FrameLoadingScreen : public BaseWindow {
 public:
  // The picture of the game's start and of a new campaign.
  static constexpr const char* kStartPicture = "..\\..\\..\\data\\gui\\textures\\loadscreen_start.dds";

  FrameLoadingScreen();

  bool HookComponents() override;
  void OnBeforeGUIUpdate() override;

  // Shows a picture file (paths relative to the program folder).
  void SetLoadingScreen(const char* file);
  // The next picture of the fixed rotation loadingscreen.dds, loadscreen_01..06.dds.
  void SetRandomLoadingScreen();
  int GetNextPicture() const { return m_iNextPicture; }
  // The picture's alpha; 0 without a background.
  void SetAlpha(float alpha);
  float GetAlpha() const;
  // Alpha units per second.
  void SetFadeSpeed(float speed) { m_fFadeSpeed = speed; }
  void SetHideTimer(float seconds) { m_fHoldTimer = seconds; }
  // Starts hiding: the picture holds for the hold time, then fades.
  void Hide();
  bool IsHiding() const { return m_bHiding; }
  // The picture file shown last (as given).
  const char* GetPictureFile() const { return m_sPicture.c_str(); }

 private:
  CEGUI::Window* m_pBackground = nullptr;
  int m_iNextPicture = 0;
  float m_fFadeSpeed = 5.0f;
  float m_fHoldTime = 1.0f;
  float m_fHoldTimer = 0.0f;
  bool m_bHiding = false;
  std::string m_sPicture;
};
