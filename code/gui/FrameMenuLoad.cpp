// The main menu's load list.
#include "gui/FrameMenuLoad.h"

#include "gui/FrameMainMenu.h"
#include "gui/GUIManager.h"

namespace {

const FrameSaveSlotList::Markup kMarkup = {
    "[colour='FFFDD08F'][font='SketchHeavyRegular-18-scaling']",
    "[colour='FFA56613'][font='SketchHeavyRegular-18-scaling']",
    "[font='SketchHeavyRegular-26-scaling']  [colour='FF87D5EC'][font='Kronika-10-scaling']",
    "[font='SketchHeavyRegular-26-scaling']  [colour='FFD0E3E8'][font='Kronika-14-scaling']",
    "",
    "[colour='FFFDD08F'][font='SketchHeavyRegular-18-scaling']",
    "[colour='FFFDD08F'][font='SketchHeavyRegular-18-scaling']",
    "\n[colour='FF87D5EC'][font='Kronika-10-scaling']",
};

// The menu this list lives in; a click never makes one.
FrameMainMenu* MainMenu() {
  return dynamic_cast<FrameMainMenu*>(GUIManager::GetInstance()->FindWindowA(WT_MAIN_MENU));
}

}  // namespace

FrameMenuLoad::FrameMenuLoad() : FrameSaveSlotList(WT_MENU_LOAD, "MenuLoad.layout", kMarkup) {}

FrameMenuLoad::~FrameMenuLoad() = default;

bool FrameMenuLoad::BackClicked(const CEGUI::EventArgs&) {
  FrameMainMenu* menu = MainMenu();
  if (!menu) return false;
  menu->StartTransition(MMS_LOAD_SCREEN_BACK);
  return true;
}

bool FrameMenuLoad::LoadClicked(const CEGUI::EventArgs&) {
  FrameMainMenu* menu = MainMenu();
  if (m_iSelectedSlot < 0 || !menu) return false;
  menu->SetLoadSlot(m_iSelectedSlot);
  menu->StartTransition(MMS_LOAD_SCREEN_ACCEPT);
  return true;
}
