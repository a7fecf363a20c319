// The slot list shared by the load and save screens.
#include "gui/FrameSaveSlotList.h"

#include "Managers/LocalizationTable.h"
#include "Managers/SaveGameManager.h"
#include "engine/base/VisFile.h"
#include "gui/CeguiCompat.h"
#include "gui/GUIManager.h"

#include <CEGUI/CEGUI.h>

using CeguiCompat::ToGui;
using CeguiCompat::Try;

const char* const FrameSaveSlotList::kEmptyPreview = "set:GUI_Window_01 image:LoadEmptyWindow";
const char* const FrameSaveSlotList::kPreviewImage = "set:PreviewScreenShot image:full_image";
const char* const FrameSaveSlotList::kSelectionBrush = "MenuElements_01/ListboxSelection";

namespace {

const char* const kPreviewImageset = "PreviewScreenShot";
const char* const kGrey = "tl:FF6B6B6B tr:FF6B6B6B bl:FF6B6B6B br:FF6B6B6B";
const char* const kGold = "tl:FFF9BC66 tr:FFF9BC66 bl:FFF9BC66 br:FFF9BC66";

CEGUI::String Text(const char* key) { return LocalizationTable::GetInstance()->GetText(key); }
CEGUI::String Text(const char* key, int number) { return LocalizationTable::GetInstance()->GetText(key, number); }

}  // namespace

FrameSaveSlotList::FrameSaveSlotList(WINDOW_TYPES type, const char* layout, const Markup& markup)
    : BaseWindow(type, layout), m_markup(markup) {}

const char* FrameSaveSlotList::HeroPortrait(int hero) {
  switch (hero) {
    case 1:
      return "set:UnitFaces_01 image:Player1Normal";
    case 2:
      // The second hero's face is the third picture of the set.
      return "set:UnitFaces_01 image:Player3Normal";
    case 3:
      return "set:UnitFaces_01 image:Player2Normal";
    default:
      return "";
  }
}

CEGUI::String FrameSaveSlotList::EscapeMarkup(const CEGUI::String& text) {
  CEGUI::String escaped;
  for (CEGUI::String::const_iterator it = text.begin(); it != text.end(); ++it) {
    if (*it == '[') escaped += '\\';
    escaped += *it;
  }
  return escaped;
}

bool FrameSaveSlotList::HookComponents() {
  if (!BaseWindow::HookComponents()) return false;
  m_pBackButton = GetComponent("MenuLoad/Window/BtnBack");
  m_pLoadButton = GetComponent("MenuLoad/Window/BtnLoad");
  m_pSlotList = dynamic_cast<CEGUI::Listbox*>(GetComponent("MenuLoad/Window/SavesList"));
  m_pPreview = GetComponent("MenuLoad/Window/SaveImage");
  m_pCharacter = GetComponent("MenuLoad/Window/Character");
  m_pSaveInfo = GetComponent("MenuLoad/Window/SaveInfo");
  m_pCurrentMission = GetComponent("MenuLoad/Window/CurrentMission");
  m_pLoadButtonLabel = GetComponent("MenuLoad/Window/BtnLoad/text");

  using CEGUI::Event;
  if (m_pBackButton &&
      !Bind(m_pBackButton, CEGUI::Window::EventMouseClick, Event::Subscriber(&FrameSaveSlotList::BackClicked, this)))
    return false;
  if (m_pLoadButton &&
      !Bind(m_pLoadButton, CEGUI::Window::EventMouseClick, Event::Subscriber(&FrameSaveSlotList::LoadClicked, this)))
    return false;
  if (m_pSlotList && !Bind(m_pSlotList, CEGUI::Listbox::EventSelectionChanged,
                           Event::Subscriber(&FrameSaveSlotList::SelectionChanged, this)))
    return false;
  FillList();
  return true;
}

void FrameSaveSlotList::SetText(CEGUI::Window* window, const CEGUI::String& text) {
  if (window) Try("slot list text", [&] { window->setText(text); });
}

void FrameSaveSlotList::SetButtonState(bool enabled) {
  if (m_pLoadButton) Try("load button", [&] { m_pLoadButton->setEnabled(enabled); });
  CeguiCompat::SetProperty(m_pLoadButtonLabel, "TextColours", enabled ? kGold : kGrey);
}

SaveSlotInfo& FrameSaveSlotList::SlotOf(const CEGUI::ListboxItem* item) {
  return *static_cast<SaveSlotInfo*>(item->getUserData());
}

bool FrameSaveSlotList::HoldsSave(const CEGUI::ListboxItem* item) {
  return SaveGameManagerProto::GetInstance()->SlotExists(SlotOf(item));
}

CEGUI::ListboxItem* FrameSaveSlotList::SelectedItem() const {
  CEGUI::ListboxItem* item = nullptr;
  if (m_pSlotList) Try("selected slot", [&] { item = m_pSlotList->getFirstSelectedItem(); });
  return item;
}

void FrameSaveSlotList::FillList() {
  BeforeFill();
  SetButtonState(false);
  CeguiCompat::SetProperty(m_pCharacter, "Image", "");
  if (m_pSlotList) {
    Try("empty slot list", [&] { m_pSlotList->resetList(); });
    SaveGameManagerProto* saves = SaveGameManagerProto::GetInstance();
    CEGUI::ListboxItem* first = nullptr;
    for (int slot = 1; slot <= SaveGameManagerProto::kSlotCount; ++slot) {
      SaveSlotInfo& info = saves->GetSlotInfo(slot - 1);
      saves->RefreshSlotInfo(info);
      if (!saves->SlotExists(info) && !IsSaveMode()) continue;
      // Texted below, once the selection is known.
      auto* item = new CEGUI::ListboxTextItem("", (CEGUI::uint)slot, &info);
      if (!Try("add slot", [&] { m_pSlotList->addItem(item); })) {
        delete item;
        continue;
      }
      if (!first) first = item;
    }
    if (first) {
      RetextItems(first);
      // Selected quietly: the handler runs once, here.
      Try("select first slot", [&] {
        m_pSlotList->setMutedState(true);
        m_pSlotList->setItemSelectState(first, true);
        m_pSlotList->setMutedState(false);
      });
      SelectionChanged(CEGUI::WindowEventArgs(m_pSlotList));
    }
  }
  AfterFill();
}

void FrameSaveSlotList::RetextItems(const CEGUI::ListboxItem* selected) {
  if (!m_pSlotList) return;
  const Markup& m = m_markup;
  Try("slot texts", [&] {
    for (size_t i = 0; i < m_pSlotList->getItemCount(); ++i) {
      CEGUI::ListboxItem* item = m_pSlotList->getListboxItemFromIndex(i);
      const bool isSelected = item == selected;
      const int slot = (int)item->getID();
      const CEGUI::String head = ToGui(isSelected ? m.headSelected : m.head);
      if (HoldsSave(item)) {
        item->setText(head + Text("str_OCCUPIED_SAVE_SLOT_SLOT", slot) + ToGui(isSelected ? m.tailSelected : m.tail) +
                      EscapeMarkup(ToGui(SlotOf(item).m_sDateText.AsChar())));
      } else if (IsSaveMode()) {
        item->setText(head + Text("str_FREE_SAVE_SLOT", slot) + ToGui(m.freeTail));
      }
    }
    m_pSlotList->handleUpdatedItemData();
  });
}

bool FrameSaveSlotList::SelectionChanged(const CEGUI::EventArgs&) {
  CEGUI::ListboxItem* item = SelectedItem();
  if (!item) {
    ShowEmptyState();
    RetextItems(nullptr);
    return true;
  }
  RetextItems(item);
  Try("selection brush", [&] { item->setSelectionBrushImage(kSelectionBrush); });
  const SaveSlotInfo& info = SlotOf(item);
  if (!HoldsSave(item)) {
    ShowEmptyState();
    return true;
  }

  LoadPreview(m_pPreview, info);
  SetButtonState(true);
  const Markup& m = m_markup;
  const int slot = (int)item->getID();
  SetText(m_pSaveInfo, ToGui(m.infoHead) + Text("str_OCCUPIED_SAVE_SLOT_SLOT", slot) + ToGui(m.secondLine) +
                           EscapeMarkup(ToGui(info.m_sDateText.AsChar())));
  CEGUI::String mission = ToGui(m.missionHead) + Text("str_SAVED_MISSION") + ToGui(m.secondLine);
  // The mission name is a localisation key; a name the table lacks is shown as it stands.
  if (!info.m_sMissionName.IsEmpty()) mission += EscapeMarkup(Text(info.m_sMissionName.AsChar()));
  SetText(m_pCurrentMission, mission);
  Try("show slot texts", [&] {
    if (m_pSaveInfo) m_pSaveInfo->show();
    if (m_pCurrentMission) m_pCurrentMission->show();
  });
  CeguiCompat::SetProperty(m_pCharacter, "Image", HeroPortrait(info.m_iHero));
  m_iSelectedSlot = slot;
  return true;
}

void FrameSaveSlotList::ShowEmptyState() {
  CeguiCompat::SetProperty(m_pPreview, "Image", kEmptyPreview);
  // A free slot can be saved into: in save mode the button stays usable.
  SetButtonState(IsSaveMode());
  CeguiCompat::SetProperty(m_pCharacter, "Image", "");
  Try("hide slot texts", [&] {
    if (m_pSaveInfo) m_pSaveInfo->hide();
    if (m_pCurrentMission) m_pCurrentMission->hide();
  });
}

bool FrameSaveSlotList::LoadPreview(CEGUI::Window* preview, const SaveSlotInfo& info) {
  if (!preview || info.m_sThumbnailPath.IsEmpty() || !VFileHelper::ExistsFile(info.m_sThumbnailPath.AsChar()))
    return false;
  // The window lets go of the picture before the picture goes.
  CeguiCompat::SetProperty(preview, "Image", "");
  if (CeguiCompat::IsImagesetDefined(kPreviewImageset)) CeguiCompat::DestroyImageset(kPreviewImageset);
  if (!CeguiCompat::CreateImagesetFromFile(kPreviewImageset, info.m_sThumbnailPath.AsChar(), "absolute")) {
    // A picture that does not decode shows as no picture.
    CeguiCompat::SetProperty(preview, "Image", kEmptyPreview);
    return false;
  }
  CeguiCompat::SetProperty(preview, "Image", kPreviewImage);
  return true;
}
