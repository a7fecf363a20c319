#include "gui/FrameMainMenu.h"

#include "gui/GUIManager.h"

FrameMainMenu::FrameMainMenu() : BaseWindow(WT_MAIN_MENU, "MainMenu.layout") {}

void FrameMainMenu::OnHandleCallback(IVisCallbackDataObject_cl*) {}

bool FrameMainMenu::StartTransition(int) { return false; }

FrameMainMenu::~FrameMainMenu() {}
