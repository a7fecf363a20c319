// The welcome screen.
#include "gui/FrameWelcome.h"

#include "gui/CeguiCompat.h"
#include "gui/GUIManager.h"

#include <CEGUI/CEGUI.h>

FrameWelcome::FrameWelcome() : BaseWindow(WT_WELCOME, "Welcome.layout") {}

bool FrameWelcome::HookComponents() {
  // The text lies over the button, so a click on it must count as well.
  for (const char* name : {"Welcome/WelcomeScreen/Continue", "Welcome/WelcomeScreen/Continue/text"}) {
    if (!Bind(CEGUI::String(name), CEGUI::PushButton::EventClicked,
              CEGUI::Event::Subscriber(&FrameWelcome::ContinueClicked, this)))
      return false;
  }
  if (CEGUI::Window* welcome = GetComponent("Welcome"))
    CeguiCompat::Try("activate welcome", [&] { welcome->activate(); });
  return true;
}

bool FrameWelcome::ContinueClicked(const CEGUI::EventArgs&) {
  GUIManager::GetInstance()->CloseWindow(WT_WELCOME, false);
  return true;
}
