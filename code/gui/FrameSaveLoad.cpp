// The in-game save and load screen.
#include "gui/FrameSaveLoad.h"

#include "Managers/LocalizationTable.h"
#include "Managers/SaveGameManager.h"
#include "core/GameManager.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameYesNoPopUp.h"
#include "gui/GUIManager.h"

#include <CEGUI/CEGUI.h>

namespace {

const FrameSaveSlotList::Markup kMarkup = {
    "[colour='FFFDD08F'][font='SketchHeavyRegular-15']",
    "[colour='FFA56613'][font='SketchHeavyRegular-15']",
    "[font='SketchHeavyRegular-19']  [colour='FF87D5EC'][font='Kronika-10']",
    "[font='SketchHeavyRegular-19']  [colour='FFD0E3E8'][font='Kronika-12']",
    "[font='SketchHeavyRegular-19']  ",
    "[colour='FFFDD08F'][font='SketchHeavyRegular-15']",
    "[colour='FFFDD08F'][font='SketchHeavyRegular-13']",
    "\n[colour='FF87D5EC'][font='Kronika-10']",
};

CEGUI::String Text(const char* key) { return LocalizationTable::GetInstance()->GetText(key); }

}  // namespace

FrameSaveLoad::FrameSaveLoad() : FrameSaveSlotList(WT_SAVE_LOAD, "SaveLoad.layout", kMarkup) {}

FrameSaveLoad::~FrameSaveLoad() = default;

void FrameSaveLoad::BeforeFill() { m_bSaveMode = GUIManager::GetInstance()->IsSaveWindowSelected(); }

void FrameSaveLoad::AfterFill() {
  const CEGUI::String button = Text(m_bSaveMode ? "str_SAVE" : "str_LOAD");
  SetText(m_pLoadButtonLabel, button);
  SetText(GetComponent("MenuLoad/Window/BtnLoad/text2"), button);
  SetText(GetComponent("MenuLoad/Window/LoadGame"), Text(m_bSaveMode ? "str_SAVE_GAME" : "str_LOAD_GAME"));
}

void FrameSaveLoad::ShowLocationHud() {
  const int location = GameManager::GetInstance()->GetLocation();
  GUIManager::GetInstance()->ShowFrame(location == 0 || location == 2 ? WT_BATTLE_HUD : WT_LAND_BATTLE_HUD);
}

void FrameSaveLoad::ShowSaveFailed() {
  GUIManager* gui = GUIManager::GetInstance();
  auto* popup = dynamic_cast<FrameYesNoPopUp*>(gui->GetWindow(WT_YES_NO_POPUP));
  if (!popup || !popup->GetRootWindow()) {
    // A pop-up without its layout would hold the pause and show nothing.
    if (popup) gui->CloseWindow(WT_YES_NO_POPUP, true);
    gui->ShowMessage("str_SAVE_GAME_FAILED", SaveGameManagerProto::kFailureNoticeSeconds, SaveGameManagerProto::kFailureNoticeFade);
    return;
  }
  // A notice: one button to take it in.
  popup->InitPopUpWindow(Text("str_SAVE_GAME"), Text("str_SAVE_GAME_FAILED"), Text("str_OK"), Text("str_NO"));
  if (CEGUI::Window* no = popup->GetComponent("YesNoPopUp/Window/BtnNo"))
    CeguiCompat::Try("notice", [&] { no->hide(); });
  gui->ShowWindow(popup, nullptr);
}

int FrameSaveLoad::LoadSlot(int slot) { return SaveGameManagerProto::GetInstance()->LoadSlotIntoNewCampaign(slot); }

void FrameSaveLoad::Back() {
  GUIManager::GetInstance()->CloseWindow(m_eType, false);
  ShowLocationHud();
}

bool FrameSaveLoad::BackClicked(const CEGUI::EventArgs&) {
  Back();
  return true;
}

bool FrameSaveLoad::LoadClicked(const CEGUI::EventArgs&) { return m_bSaveMode ? Save() : Load(); }

bool FrameSaveLoad::Save() {
  const CEGUI::ListboxItem* item = SelectedItem();
  // Slot 20 is the automatic save's.
  if (item && item->getID() < (CEGUI::uint)SaveGameManagerProto::kSlotCount &&
      !SaveGameManagerProto::GetInstance()->SaveGame((int)item->getID())) {
    // Nothing was written: the player learns it and may choose again.
    ShowSaveFailed();
    return true;
  }
  Back();
  GUIManager* gui = GUIManager::GetInstance();
  if (gui->IsWindowVisible(WT_INGAME_MENU)) gui->CloseWindow(WT_INGAME_MENU, false);
  return true;
}

bool FrameSaveLoad::Load() {
  const CEGUI::ListboxItem* item = SelectedItem();
  if (!item || !HoldsSave(item)) return false;
  // A slot that does not load leaves the running game and this screen as they were.
  if (!LoadSlot((int)item->getID())) return true;
  GUIManager* gui = GUIManager::GetInstance();
  if (gui->IsWindowVisible(WT_INGAME_MENU)) gui->CloseWindow(WT_INGAME_MENU, false);
  Back();
  return true;
}
