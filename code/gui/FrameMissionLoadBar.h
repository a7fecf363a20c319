// The progress bar of a mission's loading, with a label: 300 pixels wide when full.
// GUIManager::ShowMissionLoadBar opens and feeds it.
#pragma once

#include "gui/BaseWindow.h"

#include <CEGUI/String.h>

namespace CEGUI {
class Window;
}

class FrameMissionLoadBar : public BaseWindow {
 public:
  static constexpr float kFullWidth = 300.0f;

  FrameMissionLoadBar();
  ~FrameMissionLoadBar() override;

  bool HookComponents() override;
  // The bar's width and the label follow the stored values.
  void OnBeforeGUIUpdate() override;

  // Shown from the next GUI update on.
  void SetBar(float fraction, const CEGUI::String& text);
  float GetFraction() const { return m_fFraction; }
  const CEGUI::String& GetLabelText() const { return m_sText; }

 private:
  CEGUI::Window* m_pBackground = nullptr;
  CEGUI::Window* m_pBar = nullptr;
  CEGUI::Window* m_pLabel = nullptr;
  float m_fFraction = 0.0f;
  CEGUI::String m_sText;
};
