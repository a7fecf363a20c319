// The title screen: a looping background video behind curtains, six menu buttons
// and three link buttons, and the state machine that chains their animations with
// the sub-screens opened inside it (hero and weapon choice, load list, options).
// Every new, continued or loaded game starts here.
#pragma once

#include "engine/base/VCallback.h"
#include "gui/BaseWindow.h"

namespace CEGUI {
class Texture;
}
class VideoPlayer_cl;

enum MAIN_MENU_STATES : int {
  MMS_NONE = 0,
  MMS_OPENING = 1,
  MMS_IDLE = 2,
  MMS_NEW_GAME = 3,
  MMS_CHARACTER_SELECTION_IN = 4,
  MMS_CHARACTER_SELECTION_BACK = 5,
  MMS_BUTTONS_IN = 6,
  MMS_LOAD = 7,
  MMS_LOAD_SCREEN_IN = 8,
  MMS_LOAD_SCREEN_ACCEPT = 9,
  MMS_LOAD_SCREEN_BACK = 10,
  MMS_START_NEW_GAME = 11,
  MMS_QUIT = 12,
  MMS_CONTINUE = 13,
  MMS_CREDITS = 14,
  MMS_CREDITS_ROLL = 15,
  MMS_CREDITS_END = 16,
  MMS_WEAPON_SELECTION_BACK = 18,
  MMS_CHARACTER_SELECTION_ACCEPT = 19,
  MMS_WEAPON_SELECTION_IN = 20,
  MMS_WEAPON_SELECTION_ACCEPT = 21,
  MMS_OPTIONS = 23,
};

class FrameMainMenu : public BaseWindow, public IVisCallbackHandler_cl {
 public:
  FrameMainMenu();
  ~FrameMainMenu() override;

  // The one entry to the state machine; refused (false) while a transition runs.
  bool StartTransition(int state);
  // The next StartTransition is accepted at once.
  void ResetTimer() { m_fTransitionTimer = 0.0f; }
  int GetState() const { return m_iState; }
  float GetTransitionTimer() const { return m_fTransitionTimer; }
  // Written by the load list before it starts state 9.
  void SetLoadSlot(int slot) { m_iLoadSlot = slot; }
  int GetLoadSlot() const { return m_iLoadSlot; }

  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  int GetCallbackSortingKey(VCallback* callback) override { return 10000; }

 private:
  float m_fTransitionTimer = 0.0f;
  int m_iLoadSlot = -1;
  int m_iState = MMS_IDLE;
  bool m_bOptionsOpen = false;
  VideoPlayer_cl* m_pVideoPlayer = nullptr;
  CEGUI::Texture* m_pVideoTexture = nullptr;
};
