// The owner of the whole user interface: starts CEGUI, keeps the layouts and the
// open frames by WINDOW_TYPES, feeds CEGUI input and time inside the engine's
// frame, drives the frames' per-frame operations, and shows the loading screen.
#pragma once

#include "Managers/MouseCursorManager.h"
#include "engine/base/VCallback.h"
#include "engine/base/VRefCounter.h"
#include "engine/base/VString.h"
#include "engine/render/VTextureObject.h"
#include "gui/WindowTypes.h"
#include "util/Singleton.h"

#include <cstdint>
#include <list>
#include <map>
#include <string>

namespace CEGUI {
class DefaultLogger;
class EventArgs;
class Renderer;
class String;
class Window;
}  // namespace CEGUI

class BaseWindow;
class ShipEntity;
class TownEntity;
class FrameInGameMessages;
class FrameSpeechBubble;
class FrameSpeechWindow;
class FrameRadar;
class FrameLoadingScreen;
class FrameLowHPOverlay;
class FrameToolBar;

class GUIManager : public Singleton<GUIManager>, public IVisCallbackHandler_cl {
 public:
  typedef std::map<WINDOW_TYPES, BaseWindow*> OpenFrameTable;

  // Deregisters, deletes every frame and tears CEGUI down.
  ~GUIManager() override;

  // Life cycle and set-up.
  // Starts CEGUI once; nothing happens without a device. Returns the initialised flag.
  bool Init(void* device);
  bool IsInitialized() const { return m_bInitialized; }
  // Display size from the video mode; the vertical field of view by the game location.
  void ResetResolution();
  // Plays "cutscenes/intro_movie.wmv", blocking.
  void PlayIntroVideos();
  // Loads every layout of the table once ("x%02d" in front of its root's name).
  bool InitLayouts();
  bool DeInitLayouts();
  // The layout of a frame kind: a copy of the preloaded one, loading the file when
  // it was not preloaded. Null when the file does not load.
  CEGUI::Window* LoadLayout(WINDOW_TYPES type, const char* file);
  // A copy of the preloaded layout whose root is named with prefix + the file's name.
  CEGUI::Window* GetLayout(WINDOW_TYPES type, const char* prefix);
  const char* GetLayoutName(WINDOW_TYPES type) const;

  // The engine side: frame events, render hook, input, device loss.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // Forwards an engine message to every open frame, in key order.
  void MessageFunction(int id, INT_PTR a, INT_PTR b);

  // Frames by kind.
  BaseWindow* GetWindow(WINDOW_TYPES type);
  // Whether GetWindow can make a frame of the kind (its class exists); makes nothing.
  static bool HasFrameClass(WINDOW_TYPES type);
  BaseWindow* FindWindowA(WINDOW_TYPES type);
  bool IsWindowVisible(WINDOW_TYPES type);
  void ShowFrame(WINDOW_TYPES type);
  BaseWindow* GetCurrentFrame() const { return m_pCurrentFrame; }
  void SetCurrentFrame(BaseWindow* frame) { m_pCurrentFrame = frame; }
  void ShowWindow(BaseWindow* frame, CEGUI::Window* parent);
  void ShowWindow(WINDOW_TYPES type, CEGUI::Window* parent);
  // Opens a closed frame on top (or closes an open one) and asks every other
  // closable frame to go. Nothing while the engine console is open.
  void ToggleWindow(WINDOW_TYPES type);
  // Without destroy the frame is hidden and deleted after the GUI update; with it,
  // at once. The map position after the frame's (the first without a frame).
  OpenFrameTable::iterator CloseWindow(WINDOW_TYPES type, bool destroy);
  // Ending a game or a battle: every visible frame but the main menu goes.
  void CloseAllWindows();
  void CloseClosablesOnKeyEvent();
  // The current frame's kind onto a stack, and back to it.
  bool PushFrame();
  bool PopFrame();
  // Every frame tells the manager when it is deleted, so that nothing keeps
  // pointing at it (the current frame, the overlay, a pop-up's callbacks).
  void OnFrameDeleted(BaseWindow* frame);
  bool AddToTheBaseFrame(CEGUI::Window* window);
  bool RemoveFromTheBaseFrame(CEGUI::Window* window);

  // Notices on the upper line (ShowMessage) and the centre line
  // (ShowAdditionalMessage) of the in-game messages frame, by localisation key or
  // as text. Nothing without the root sheet.
  void ShowMessage(const char* key, float displayTime, float fadeSpeed);
  void ShowMessage(const CEGUI::String& text, float displayTime, float fadeSpeed);
  void ShowAdditionalMessage(const char* key, float displayTime, float fadeSpeed);
  void ShowAdditionalMessage(const CEGUI::String& text, float displayTime, float fadeSpeed);
  // The tutorial window under the root sheet and in front; nothing without the root sheet.
  void ShowTutorialWindow();

  // A new speech bubble for that many seconds, under the root sheet behind the other
  // windows and hidden until its first update; null when its layout does not load.
  // Finished bubbles are deleted after the GUI update, and a bubble whose entity is
  // destroyed finishes.
  FrameSpeechBubble* ShowSpeechBubble(float seconds);
  const std::list<FrameSpeechBubble*>& GetSpeechBubbles() const { return m_speechBubbles; }
  // Whether that number is the newest bubble's while any bubble is open.
  bool IsSpeechBubbleVisible(int number) const;

  // A new speech window (a conversation line) for that many seconds, under the
  // root sheet in front of the other windows and hidden until its first update;
  // null when its layout does not load. Finished ones go after the GUI update.
  FrameSpeechWindow* ShowSpeechWindow(float seconds);
  // The open speech window of that id; null for none or a negative id.
  FrameSpeechWindow* GetSpeechWindow(int id) const;
  // The window exists and fades in, holds above, slides down or fades as the last line.
  bool IsSpeechWindowVisible(int id) const;
  const std::list<FrameSpeechWindow*>& GetSpeechWindows() const { return m_speechWindows; }

  // A new radar indicator under the root sheet (the caller applies the kind); null
  // when its layout does not load. Indicators whose remove request is set are
  // destroyed after the GUI update.
  FrameRadar* ShowRadarIndicator(int kind);
  const std::list<FrameRadar*>& GetRadarIndicators() const { return m_radarIndicators; }

  // The mission load bar: with show, opened on top (over a current frame) and given
  // the progress and the localised key; without, closed when visible.
  void ShowMissionLoadBar(float progress, const char* key, bool show);

  // The low-health overlay: made on first use and switched on; Hide puts the tone
  // mapper back and leaves the frame open.
  void ShowLowHPOverlay();
  void HideLowHPOverlay();
  FrameLowHPOverlay* GetLowHPOverlay() const { return m_pLowHPOverlay; }

  // Pause wishes of the frames.
  void UpdateGamePauseStatus();
  void UpdateFullPauseStatus();
  bool WantsGamePause() const { return m_bWantsGamePause; }
  bool WantsFullPause() const { return m_bWantsFullPause; }

  // The loading screen.
  bool ShowLoadingScreen();
  void SetLoadingScreen(const char* file);
  void SetRandomLoadingScreen();
  bool HideLoadingScreen(float fadeSpeed, float holdTime);
  bool IsLoadingScreenVisible() const;
  FrameLoadingScreen* GetLoadingScreen() const { return m_pLoadingScreen; }

  // Cursors.
  void InitMouseCursors();
  bool ChangeMouseCursor(CURSOR_TYPES kind);
  // The CEGUI cursor image name of a kind ("Cursors/..."), empty outside the table.
  std::string GetCursorImageName(CURSOR_TYPES kind) const;
  VTextureObject* GetCursorTexture(const char* imageName) const;
  bool CursorImageChanged(const CEGUI::EventArgs& args);

  // Plain state.
  void EnableGUI(bool enable) { m_bGUIEnabled = enable; }
  bool IsGUIEnabled() const { return m_bGUIEnabled; }
  bool IsMouseOverGUI() const { return m_bMouseOverGUI; }
  void SetMouseOverGUI(bool over) { m_bMouseOverGUI = over; }
  void SetUseSoftwareCursor(bool use) { m_bUseSoftwareCursor = use; }
  bool IsUsingSoftwareCursor() const { return m_bUseSoftwareCursor; }
  void SetSelectedPlayerCharacter(int character) { m_iSelectedPlayerCharacter = character; }
  int GetSelectedPlayerCharacter() const { return m_iSelectedPlayerCharacter; }
  void SetSelectedSpecialWeapon(int weapon) { m_iSelectedSpecialWeapon = weapon; }
  int GetSelectedSpecialWeapon() const { return m_iSelectedSpecialWeapon; }
  void SetSaveWindowSelected(bool selected) { m_bSaveWindowSelected = selected; }
  bool IsSaveWindowSelected() const { return m_bSaveWindowSelected; }
  void SetExitToWindows() { m_bExitToWindows = true; }
  bool IsExitingToWindows() const { return m_bExitToWindows; }
  CEGUI::Window* GetBaseFrame() const { return m_pBaseFrame; }
  CEGUI::Renderer* GetCEGUIRenderer() const { return m_pRenderer; }
  const std::string& GetGuiFolder() const { return m_sGuiFolder; }

  // After a conversation Escape waits 1 s before it opens or closes the in-game menu.
  void SetDelayAfterConversation() { m_fDelayAfterConversation = 1.0f; }
  void UpdateDelayAfterConversation();
  bool WaitAfterConversation() const { return m_fDelayAfterConversation > 0.0f; }
  // While a blocking video plays, Escape is its skip key and leaves the in-game
  // menu alone.
  void SetBlockingVideoPlaying(bool playing) { m_bBlockingVideoPlaying = playing; }
  bool IsBlockingVideoPlaying() const { return m_bBlockingVideoPlaying; }

  // Seconds during which keyboard input and the mouse fire click wait (a HUD frame
  // sets it when it takes a click); counted down each frame, never below 0.
  void SetBlockingTimer(float seconds) { m_fBlockingTimer = seconds; }
  float GetBlockingTimer() const { return m_fBlockingTimer; }
  bool IsInputBlocked() const { return m_fBlockingTimer > 0.0f; }
  void UpdateBlockingTimer();

  // The enemy ship panel and the town tag of the open-frame table: shown on top and
  // filled from the ship or town (nothing for null or while already shown), closed
  // without destroying when visible.
  void ShowShipInfo(ShipEntity* ship);
  void HideShipInfo();
  void ShowTownInfo(TownEntity* town);
  void HideTownInfo();

  // The tool bar: made and initialised on first show, under the root sheet and
  // behind the other windows; hiding keeps it. Null before the first show.
  void ShowToolbar();
  void HideToolbar();
  FrameToolBar* GetToolbar() const { return m_pToolbar; }

  // Tool-bar exclamation marks by button index 0..4.
  void SetExclamationForButton(int index, bool on);
  bool GetExclamationForButton(int index) const;
  void ClearExclamations();

  // One system message per window from this one up through its parents.
  void DumpWindowLineageInfo(CEGUI::Window* window);

 private:
  friend class Singleton<GUIManager>;
  GUIManager();

  // Makes the loading-screen frame on first use (false before Init).
  bool MakeLoadingScreen();
  BaseWindow* CreateFrame(WINDOW_TYPES type);
  // The in-game messages frame under the root sheet and in front; null without one.
  FrameInGameMessages* GetMessagesFrame();
  // Whether the layouts folder has the file (CEGUI would log a failure for each
  // missing one).
  bool LayoutExists(const char* file) const;
  // The open frames' kinds now, so that a frame may open or close frames while
  // the others are being updated.
  template <class F>
  void ForEachOpenFrame(F function);
  void HandleRenderHook();
  void HandleKeyDown(int key, int scanCode);
  void HandleKeyUp(int key, int scanCode);
  bool IsJustRendering() const;
  void DestroyCegui();
  // Destroys every bubble's window and the bubble, and empties the list.
  void DestroySpeechBubbles();
  // The speech windows' share of the frame cycle and their destruction.
  void UpdateSpeechWindows(VCallback* sender);
  void DestroySpeechWindows();
  // The radar indicators' share of the frame cycle, de-initialisation and pause.
  void UpdateRadarIndicators(VCallback* sender);
  void DestroyRadarIndicators();
  bool RadarIndicatorWantsPause() const;

  std::map<WINDOW_TYPES, CEGUI::Window*> m_preloadedLayouts;
  std::map<WINDOW_TYPES, VString> m_layoutNames;
  bool m_bInitialized = false;
  BaseWindow* m_pCurrentFrame = nullptr;
  std::string m_sGuiFolder;
  CEGUI::Renderer* m_pRenderer = nullptr;
  CEGUI::DefaultLogger* m_pLogger = nullptr;
  OpenFrameTable m_openFrames;
  std::map<CURSOR_TYPES, std::string> m_cursorImageNames;
  std::map<uint32_t, VSmartPtr<VTextureObject>> m_cursorTextures;
  bool m_bGUIEnabled = true;
  bool m_bMouseOverGUI = false;
  bool m_bUseSoftwareCursor = false;
  bool m_bSaveWindowSelected = false;
  int m_iSelectedPlayerCharacter = 1;
  int m_iSelectedSpecialWeapon = 0;
  CEGUI::Window* m_pBaseFrame = nullptr;
  float m_fDelayAfterConversation = 0.0f;
  bool m_bBlockingVideoPlaying = false;
  float m_fBlockingTimer = 0.0f;
  FrameLoadingScreen* m_pLoadingScreen = nullptr;
  bool m_bExitToWindows = false;
  bool m_bWantsGamePause = false;
  bool m_bWantsFullPause = false;
  std::list<WINDOW_TYPES> m_closablesOnKey;
  std::list<WINDOW_TYPES> m_frameStack;
  FrameLowHPOverlay* m_pLowHPOverlay = nullptr;
  bool m_bShuttingDown = false;
  bool m_exclamations[5] = {};
  std::list<FrameSpeechBubble*> m_speechBubbles;
  std::list<FrameSpeechWindow*> m_speechWindows;
  std::list<FrameRadar*> m_radarIndicators;
  FrameToolBar* m_pToolbar = nullptr;
};
