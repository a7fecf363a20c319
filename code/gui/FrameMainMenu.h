// The title screen: a looping background video behind curtains, six menu buttons
// and three link buttons, and the state machine that chains their animations with
// the sub-screens opened inside it (hero and weapon choice, load list, options).
// Every new, continued or loaded game starts here.
#pragma once

#include "engine/base/VCallback.h"
#include "gui/BaseWindow.h"

namespace CEGUI {
class EventArgs;
class Texture;
class Window;
}  // namespace CEGUI
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
  // Registers for the device-lost and device-restored callbacks.
  FrameMainMenu();
  // Frees the video image, its texture and the player, then lets the loading
  // screen fade.
  ~FrameMainMenu() override;

  bool Init() override;
  bool HookComponents() override;
  void OnBeforeGUIUpdate() override;
  // Runs the transition timer down and acts on the state once it is 0.
  void OnAfterGUIUpdate() override;

  // The one entry to the state machine; refused (false) while a transition runs.
  // A missing sub-frame skips its animation, but the state is stored.
  bool StartTransition(int state);
  // The next StartTransition is accepted at once.
  void ResetTimer() { m_fTransitionTimer = 0.0f; }
  int GetState() const { return m_iState; }
  float GetTransitionTimer() const { return m_fTransitionTimer; }
  // Written by the load list before it starts state 9.
  void SetLoadSlot(int slot) { m_iLoadSlot = slot; }
  int GetLoadSlot() const { return m_iLoadSlot; }

  VideoPlayer_cl* GetVideoPlayer() const { return m_pVideoPlayer; }
  CEGUI::Texture* GetVideoTexture() const { return m_pVideoTexture; }

  // Device restored: the video is shown again on a new texture.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  int GetCallbackSortingKey(VCallback*) override { return 10000; }

  // Where the link buttons lead.
  static const char* const kTwitterAddress;
  static const char* const kFacebookAddress;
  static const char* const kWebSiteAddress;

 private:
  bool ButtonContinueClicked(const CEGUI::EventArgs& args);
  bool ButtonLoadClicked(const CEGUI::EventArgs& args);
  bool ButtonStartClicked(const CEGUI::EventArgs& args);
  bool ButtonSettingsClicked(const CEGUI::EventArgs& args);
  bool ButtonCreditsClicked(const CEGUI::EventArgs& args);
  bool ButtonExitClicked(const CEGUI::EventArgs& args);
  bool ButtonMouseEnters(const CEGUI::EventArgs& args);
  bool ButtonMouseLeaves(const CEGUI::EventArgs& args);
  bool TwitterClicked(const CEGUI::EventArgs& args);
  bool FacebookClicked(const CEGUI::EventArgs& args);
  bool WwwClicked(const CEGUI::EventArgs& args);
  bool CreditsBackgroundClicked(const CEGUI::EventArgs& args);

  void InitMenuVideo();
  void CreateVideoImage();
  // The player, its GUI image and texture go; the background shows nothing.
  void ReleaseMenuVideo();
  void DestroyVideoImage();

  // Animation groups; each sets the timer to its last timed animation.
  // The menu buttons fade in, the logo and the link buttons too when asked.
  void ButtonsIn(bool withLogo, bool withLinks);
  void ButtonsOut(bool withExitAndLogo);
  void CurtainsClose();
  void CurtainsOpen();
  void OpenCurtains();
  void CloseCurtains();
  void PlayCurtainsSound();
  void FadeOutMusic();
  void HideCreditsBackground();
  void Animate(const char* animation, CEGUI::Window* target);
  void AnimateTimed(const char* animation, CEGUI::Window* target);

  // Sub-frames shown inside the menu, when open (SubFrame) or made on demand
  // (MadeSubFrame); null without a root window.
  BaseWindow* SubFrame(WINDOW_TYPES type);
  BaseWindow* MadeSubFrame(WINDOW_TYPES type);
  void AttachSubFrame(BaseWindow* frame);
  void RemoveSubFrame(WINDOW_TYPES type);

  void LoadGame();
  void ReturnAfterFailedLoad();
  void StartNewGame();

  float m_fTransitionTimer = 0.0f;
  CEGUI::Window* m_pCurtainUp = nullptr;
  CEGUI::Window* m_pCurtainDown = nullptr;
  CEGUI::Window* m_pBGFade = nullptr;
  CEGUI::Window* m_pCreditsBG = nullptr;
  CEGUI::Window* m_pLogo = nullptr;
  CEGUI::Window* m_pTwitter = nullptr;
  CEGUI::Window* m_pFacebook = nullptr;
  CEGUI::Window* m_pWww = nullptr;
  CEGUI::Window* m_pButtonContinue = nullptr;
  CEGUI::Window* m_pButtonStart = nullptr;
  CEGUI::Window* m_pButtonLoad = nullptr;
  CEGUI::Window* m_pButtonSettings = nullptr;
  CEGUI::Window* m_pButtonCredits = nullptr;
  CEGUI::Window* m_pButtonExit = nullptr;
  CEGUI::Window* m_pVersion = nullptr;
  int m_iLoadSlot = -1;
  int m_iState = MMS_IDLE;
  bool m_bOptionsOpen = false;
  VideoPlayer_cl* m_pVideoPlayer = nullptr;
  CEGUI::Texture* m_pVideoTexture = nullptr;
  CEGUI::Window* m_pBackground = nullptr;
};
