// The in-game save and load screen, opened over the in-game menu. Its mode follows
// the GUI manager's save-window flag when it opens: saving lists every slot (free
// ones too) and writes the chosen one; loading lists the saves and loads the chosen
// one in place of the running game. Slot 20, the automatic save, is never written.
#pragma once

#include "gui/FrameSaveSlotList.h"

class FrameSaveLoad : public FrameSaveSlotList {
 public:
  FrameSaveLoad();
  ~FrameSaveLoad() override;

  bool IsSaveMode() const override { return m_bSaveMode; }

  // Shared with the older slot screen.
  // The head-up frame of the player's location: the sea's on the world map and at
  // sea, the land's elsewhere.
  static void ShowLocationHud();
  // Tells the player that the game was not saved.
  static void ShowSaveFailed();
  // Loads the slot in place of the running game; on failure the game goes on
  // (the save-game manager has told the player). 1 on success.
  static int LoadSlot(int slot);

 protected:
  void BeforeFill() override;
  void AfterFill() override;
  bool BackClicked(const CEGUI::EventArgs& args) override;
  bool LoadClicked(const CEGUI::EventArgs& args) override;

 private:
  void Back();
  bool Save();
  bool Load();

  bool m_bSaveMode = false;
};
