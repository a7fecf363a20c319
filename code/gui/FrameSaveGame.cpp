// The older in-game slot screen.
#include "gui/FrameSaveGame.h"

#include "Managers/SaveGameManager.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameSaveLoad.h"
#include "gui/FrameSaveSlotList.h"
#include "gui/GUIManager.h"

#include <CEGUI/CEGUI.h>

#include <cstdio>

using CeguiCompat::Try;

FrameSaveGame::FrameSaveGame() : BaseWindow(WT_SAVE_LOAD, "SaveGame.layout") {}

FrameSaveGame::~FrameSaveGame() {
  // No frame table keeps this one: its windows go with it.
  if (GUIManager::HasInstance() && GUIManager::GetInstance()->IsInitialized()) CeguiCompat::DestroyWindow(m_pRootWindow);
  m_pRootWindow = nullptr;
}

bool FrameSaveGame::Init() {
  if (!GUIManager::HasInstance() || !GUIManager::GetInstance()->IsInitialized()) return false;
  // Its texts are plain English: this screen was never localised.
  m_pRootWindow = CeguiCompat::LoadLayout(CeguiCompat::ToUtf8(m_sLayout), "", nullptr);
  if (!m_pRootWindow) return false;
  return HookComponents();
}

bool FrameSaveGame::HookComponents() {
  if (!BaseWindow::HookComponents()) return false;
  using CEGUI::Event;
  using CEGUI::PushButton;
  m_pSlotList = dynamic_cast<CEGUI::Listbox*>(GetComponent("SaveGame/Window/SaveSlots"));
  m_pPreview = GetComponent("SaveGame/Window/SaveImage");
  m_pDescription = GetComponent("SaveGame/Window/SaveDescription");
  m_pLoadButton = GetComponent("SaveGame/Window/LoadButton");
  m_pSaveButton = GetComponent("SaveGame/Window/SaveButton");
  CEGUI::Window* close = GetComponent("SaveGame/Window/Close");
  if (close && !Bind(close, PushButton::EventClicked, Event::Subscriber(&FrameSaveGame::CloseClicked, this)))
    return false;
  if (m_pSlotList && !Bind(m_pSlotList, CEGUI::Listbox::EventSelectionChanged,
                           Event::Subscriber(&FrameSaveGame::SelectionChanged, this)))
    return false;
  if (m_pLoadButton &&
      !Bind(m_pLoadButton, PushButton::EventClicked, Event::Subscriber(&FrameSaveGame::LoadClicked, this)))
    return false;
  if (m_pSaveButton &&
      !Bind(m_pSaveButton, PushButton::EventClicked, Event::Subscriber(&FrameSaveGame::SaveClicked, this)))
    return false;
  FillList();
  return true;
}

void FrameSaveGame::FillList() {
  if (!m_pSlotList) return;
  SaveGameManagerProto* saves = SaveGameManagerProto::GetInstance();
  Try("empty slot list", [&] { m_pSlotList->resetList(); });
  for (int slot = 1; slot <= SaveGameManagerProto::kSlotCount; ++slot) {
    SaveSlotInfo& info = saves->GetSlotInfo(slot - 1);
    saves->RefreshSlotInfo(info);
    CEGUI::String text;
    if (saves->SlotExists(info)) {
      text = CeguiCompat::ToGui(info.m_sDateText.AsChar());
    } else {
      char free[32];
      snprintf(free, sizeof(free), "[Free slot: %d]", slot);
      text = free;
    }
    auto* item = new CEGUI::ListboxTextItem(text, (CEGUI::uint)slot, &info);
    // The texts are shown as they are, brackets and all.
    item->setTextParsingEnabled(false);
    item->setSelectionBrushImage("CorallineLook/ListboxSelectionBrush");
    if (!Try("add slot", [&] { m_pSlotList->addItem(item); })) delete item;
  }
}

CEGUI::ListboxItem* FrameSaveGame::SelectedItem() const {
  CEGUI::ListboxItem* item = nullptr;
  if (m_pSlotList) Try("selected slot", [&] { item = m_pSlotList->getFirstSelectedItem(); });
  return item;
}

bool FrameSaveGame::SelectionChanged(const CEGUI::EventArgs&) {
  CEGUI::ListboxItem* item = SelectedItem();
  const SaveSlotInfo* info = item ? static_cast<SaveSlotInfo*>(item->getUserData()) : nullptr;
  if (info && SaveGameManagerProto::GetInstance()->SlotExists(*info)) {
    if (m_pDescription) Try("description", [&] { m_pDescription->setText("Saved Game"); });
    FrameSaveSlotList::LoadPreview(m_pPreview, *info);
  } else {
    if (m_pDescription) Try("description", [&] { m_pDescription->setText(""); });
    CeguiCompat::SetProperty(m_pPreview, "Image", "");
  }
  return true;
}

void FrameSaveGame::Close() {
  // Hidden; its maker deletes it.
  RequestRemove();
  FrameSaveLoad::ShowLocationHud();
}

bool FrameSaveGame::CloseClicked(const CEGUI::EventArgs&) {
  Close();
  return true;
}

bool FrameSaveGame::LoadClicked(const CEGUI::EventArgs&) {
  const CEGUI::ListboxItem* item = SelectedItem();
  const SaveSlotInfo* info = item ? static_cast<SaveSlotInfo*>(item->getUserData()) : nullptr;
  if (!info || !SaveGameManagerProto::GetInstance()->SlotExists(*info)) return false;
  if (!FrameSaveLoad::LoadSlot((int)item->getID())) return true;
  GUIManager* gui = GUIManager::GetInstance();
  if (gui->IsWindowVisible(WT_INGAME_MENU)) gui->CloseWindow(WT_INGAME_MENU, false);
  Close();
  return true;
}

bool FrameSaveGame::SaveClicked(const CEGUI::EventArgs& args) {
  const CEGUI::ListboxItem* item = SelectedItem();
  if (item && item->getID() < (CEGUI::uint)SaveGameManagerProto::kSlotCount) {
    SaveGameManagerProto* saves = SaveGameManagerProto::GetInstance();
    if (!saves->SaveGame((int)item->getID())) {
      FrameSaveLoad::ShowSaveFailed();
      return true;
    }
    saves->RefreshSlotInfo(*static_cast<SaveSlotInfo*>(item->getUserData()));
    SelectionChanged(args);
  }
  Close();
  GUIManager::GetInstance()->CloseWindow(WT_INGAME_MENU, false);
  return true;
}
