// What the main menu's load list and the in-game save and load screen share: the
// slot list of the save-game manager with its texts, the preview, the hero portrait
// and the state of the Load (or Save) button. The two differ in their text markup,
// in the free slots the save mode adds, and in what their buttons do.
#pragma once

#include "gui/BaseWindow.h"

#include <CEGUI/String.h>

namespace CEGUI {
class EventArgs;
class Listbox;
class ListboxItem;
class Window;
}  // namespace CEGUI
struct SaveSlotInfo;

class FrameSaveSlotList : public BaseWindow {
 public:
  // The markup in front of each part of a text (CEGUI colour and font tags).
  struct Markup {
    const char* head;
    const char* headSelected;
    const char* tail;
    const char* tailSelected;
    const char* freeTail;
    const char* infoHead;
    const char* missionHead;
    const char* secondLine;
  };

  // Looks the widgets up (a missing one is skipped), binds Back, Load and the
  // selection (false when a binding fails) and fills the list.
  bool HookComponents() override;

  // The slot of the last selection that held a save (or, in save mode, any); -1 before.
  int GetSelectedSlot() const { return m_iSelectedSlot; }
  CEGUI::Listbox* GetSlotList() const { return m_pSlotList; }

  // Images the screens show, as "set:X image:Y".
  static const char* const kEmptyPreview;
  static const char* const kPreviewImage;
  static const char* const kSelectionBrush;
  // The hero portrait of a saved hero (1..3); empty for any other value.
  static const char* HeroPortrait(int hero);
  // Text from a save file inside markup: its brackets are shown, never read as tags.
  static CEGUI::String EscapeMarkup(const CEGUI::String& text);
  // Shows the slot's preview picture (image set "PreviewScreenShot") when its file
  // exists; otherwise the window keeps its picture and the result is false.
  static bool LoadPreview(CEGUI::Window* preview, const SaveSlotInfo& info);

 protected:
  FrameSaveSlotList(WINDOW_TYPES type, const char* layout, const Markup& markup);

  // Save mode lists the free slots too and keeps the button usable on them.
  virtual bool IsSaveMode() const { return false; }
  // Around the filling of the list.
  virtual void BeforeFill() {}
  virtual void AfterFill() {}
  virtual bool BackClicked(const CEGUI::EventArgs& args) = 0;
  virtual bool LoadClicked(const CEGUI::EventArgs& args) = 0;

  void FillList();
  bool SelectionChanged(const CEGUI::EventArgs& args);
  // The selected item, null when none.
  CEGUI::ListboxItem* SelectedItem() const;
  // The slot record behind an item.
  static SaveSlotInfo& SlotOf(const CEGUI::ListboxItem* item);
  static bool HoldsSave(const CEGUI::ListboxItem* item);
  void SetButtonState(bool enabled);
  static void SetText(CEGUI::Window* window, const CEGUI::String& text);

  CEGUI::Listbox* m_pSlotList = nullptr;
  CEGUI::Window* m_pPreview = nullptr;
  CEGUI::Window* m_pLoadButton = nullptr;
  CEGUI::Window* m_pBackButton = nullptr;
  CEGUI::Window* m_pCharacter = nullptr;
  CEGUI::Window* m_pSaveInfo = nullptr;
  CEGUI::Window* m_pCurrentMission = nullptr;
  CEGUI::Window* m_pLoadButtonLabel = nullptr;
  int m_iSelectedSlot = -1;

 private:
  // Every item's text for the selection it is in (or not).
  void RetextItems(const CEGUI::ListboxItem* selected);
  void ShowEmptyState();
  Markup m_markup;
};
