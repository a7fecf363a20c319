// The question whether to put up a building on a plot of the stronghold: Yes pays
// the price and runs the plot's function, No runs its own; either closes the
// dialog. The game is paused while it is open.
#pragma once

#include "gui/BaseWindow.h"

class FrameConstruct : public BaseWindow {
 public:
  FrameConstruct();
  // Withdraws the pause request and releases both functions.
  ~FrameConstruct() override;

  // Requests the pause, finds the widgets and binds the buttons; the price is 0.
  bool HookComponents() override;
  void OnBeforeGUIUpdate() override;

  // Each replaces the function held before.
  void SetYesButtonFunction(CEGUI::SubscriberSlot slot);
  void SetNoButtonFunction(CEGUI::SubscriberSlot slot);
  // The price in gold; Yes is disabled (and greyed) when the player cannot pay it.
  void UpdateYesButton(int price);
  int GetPrice() const { return m_iPrice; }
  // The question.
  void SetDescription(const CEGUI::String& text);
  CEGUI::Window* GetDescriptionWindow() const { return m_pLabel; }
  CEGUI::Window* GetYesButton() const { return m_pYesButton; }

  // The plot whose functions the buttons run. When that plot goes while the dialog
  // is open, its functions are dropped and the dialog closes, so no answer ever
  // calls into a building that is gone.
  void SetPlot(const void* plot) { m_pPlot = plot; }
  const void* GetPlot() const { return m_pPlot; }
  void OnPlotGone(const void* plot);

  bool ButtonYesClicked(const CEGUI::EventArgs& args);
  bool ButtonNoClicked(const CEGUI::EventArgs& args);

 private:
  void Answer(CEGUI::SubscriberSlot& function, const CEGUI::EventArgs& args);
  void Close();

  CEGUI::Window* m_pDialog = nullptr;
  CEGUI::Window* m_pLabel = nullptr;
  CEGUI::Window* m_pYesButton = nullptr;
  CEGUI::Window* m_pNoButton = nullptr;
  CEGUI::SubscriberSlot m_yesFunction;
  CEGUI::SubscriberSlot m_noFunction;
  int m_iPrice = 0;
  const void* m_pPlot = nullptr;
};
