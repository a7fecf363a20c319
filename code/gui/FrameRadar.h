// One radar indicator: a cross, a close marker, a compass cross or a unit icon
// with its arrow and glow, placed by the radar manager. Any number live at once,
// each a numbered copy of its layout.
#pragma once

#include "gui/BaseWindow.h"

#include <string>

class FrameRadar : public BaseWindow {
 public:
  // The indicator's size in pixels; it is centred on its point.
  static constexpr float SIZE = 64.0f;

  FrameRadar();

  // A copy of the layout numbered with the next indicator number.
  bool Init() override;
  bool HookComponents() override;

  // Shows the widgets of the kind (TrackIndicatorType) and then the root.
  void SetType(int kind);
  // Centres the indicator on (x, y); turns the arrow (and a visible glow) by a
  // rotation other than 0; shows the unit's small face when an image is named.
  void SetPosition(float x, float y, float rotation, const char* imageName, const char* imageSet);
  // The visibility of the whole indicator.
  void SetVisible(bool visible);
  // On-screen looks that SetType does not cover: the compass cross of a blueprint,
  // or nothing at all over a selected unit.
  void ShowCompassCrossOnly();
  void HideAllMarkers();

  int GetType() const { return m_iType; }
  // GUIManager destroys the indicator after the GUI update once this is set.
  void SetRemoveRequest(bool remove) { m_bRemoveRequested = remove; }
  void SetAlpha(float alpha) { m_fAlpha = alpha; }
  float GetAlpha() const { return m_fAlpha; }
  int GetNumber() const { return m_iNumber; }

  CEGUI::Window* GetCross() const { return m_pCross; }
  CEGUI::Window* GetCloseMarker() const { return m_pCloseMarker; }
  CEGUI::Window* GetCompassCross() const { return m_pCompassCross; }
  CEGUI::Window* GetUnit() const { return m_pUnit; }
  CEGUI::Window* GetUnitArrow() const { return m_pUnitArrow; }
  CEGUI::Window* GetUnitGlow() const { return m_pUnitGlow; }
  CEGUI::Window* GetUnitImage() const { return m_pUnitImage; }

 private:
  bool OnUnitClicked(const CEGUI::EventArgs& args);
  void Show(CEGUI::Window* window, bool visible);
  // The shown marker widget takes the frame's alpha.
  void ApplyAlpha(CEGUI::Window* window);

  CEGUI::Window* m_pCross = nullptr;
  CEGUI::Window* m_pCloseMarker = nullptr;
  CEGUI::Window* m_pCompassCross = nullptr;
  CEGUI::Window* m_pUnit = nullptr;
  CEGUI::Window* m_pUnitArrow = nullptr;
  CEGUI::Window* m_pUnitGlow = nullptr;
  CEGUI::Window* m_pUnitImage = nullptr;
  CEGUI::Window* m_pFactions[3] = {};
  int m_iType = 0;
  float m_fAlpha = 1.0f;
  int m_iNumber = 0;
  std::string m_sShownImage;
};
