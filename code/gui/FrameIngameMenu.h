// The menu opened during play by Escape or the tool bar: resume, options, save,
// load, tutorials and the two exits. The game is fully paused while it is open.
#pragma once

#include "gui/BaseWindow.h"

class FrameIngameMenu : public BaseWindow {
 public:
  // Fully pauses the game.
  FrameIngameMenu();
  // Withdraws the frame's pause requests and ends the full pause.
  ~FrameIngameMenu() override;

  // Save and Load only on the world map outside conversations; Load only with a save.
  bool Init() override;
  bool HookComponents() override;
  // Keys released over the menu go no further.
  bool KeyUp(const CEGUI::EventArgs& args) override;

 private:
  bool OnResume(const CEGUI::EventArgs& args);
  bool OnOptions(const CEGUI::EventArgs& args);
  bool OnSave(const CEGUI::EventArgs& args);
  bool OnLoad(const CEGUI::EventArgs& args);
  bool OnTutorials(const CEGUI::EventArgs& args);
  bool OnExit(const CEGUI::EventArgs& args);
  bool OnExitToWindows(const CEGUI::EventArgs& args);

  void Resume();
  // Opens a frame over the menu, which stays open beneath it.
  void ShowAbove(WINDOW_TYPES type);
  void Exit(bool toWindows);
  void SetTextColours(const char* widget, const char* colours);
};
