#include "gui/FrameIngameMenu.h"

#include "gui/GUIManager.h"

FrameIngameMenu::FrameIngameMenu() : BaseWindow(WT_INGAME_MENU, "Ingame.layout") {}

FrameIngameMenu::~FrameIngameMenu() {}
