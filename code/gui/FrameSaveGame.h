// The older in-game slot screen: all twenty slots in a plain list with Save, Load
// and Close. The frame table builds FrameSaveLoad for its kind, so nothing in the
// game opens this one; whoever makes it owns it.
#pragma once

#include "gui/BaseWindow.h"

namespace CEGUI {
class EventArgs;
class Listbox;
class ListboxItem;
class Window;
}  // namespace CEGUI

class FrameSaveGame : public BaseWindow {
 public:
  FrameSaveGame();
  // Destroys its windows too: no frame table owns them.
  ~FrameSaveGame() override;

  // Its kind's preloaded layout is the newer screen's: this one reads its own file.
  bool Init() override;
  bool HookComponents() override;

  CEGUI::Listbox* GetSlotList() const { return m_pSlotList; }

 private:
  bool CloseClicked(const CEGUI::EventArgs& args);
  bool SelectionChanged(const CEGUI::EventArgs& args);
  bool LoadClicked(const CEGUI::EventArgs& args);
  bool SaveClicked(const CEGUI::EventArgs& args);
  void FillList();
  // Hidden (its maker deletes it), then the location's HUD.
  void Close();
  CEGUI::ListboxItem* SelectedItem() const;

  CEGUI::Listbox* m_pSlotList = nullptr;
  CEGUI::Window* m_pPreview = nullptr;
  CEGUI::Window* m_pDescription = nullptr;
  CEGUI::Window* m_pLoadButton = nullptr;
  CEGUI::Window* m_pSaveButton = nullptr;
};
