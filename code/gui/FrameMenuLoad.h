// The main menu's load list: the slots that hold a save, with the chosen one's
// preview, date, mission and hero. Load hands the slot to the main menu, which
// loads it; Back returns to the menu's buttons.
#pragma once

#include "gui/FrameSaveSlotList.h"

class FrameMenuLoad : public FrameSaveSlotList {
 public:
  FrameMenuLoad();
  ~FrameMenuLoad() override;

 protected:
  // Both go through the open main menu; without one they are not handled.
  bool BackClicked(const CEGUI::EventArgs& args) override;
  bool LoadClicked(const CEGUI::EventArgs& args) override;
};
