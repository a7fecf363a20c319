// The tutorial window: the queued tutorial pages one at a time, each with its
// title, text, page count and spoken line; arrows page through the queue, and a
// page whose voice ends moves on to the next queued page unless the player paged
// by hand. While a page speaks the music and the other sounds are lowered.
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/base/VString.h"
#include "engine/sound/VSoundObject.h"
#include "gui/BaseWindow.h"

struct Tutorial;

class FrameTutorial : public BaseWindow {
 public:
  FrameTutorial();
  ~FrameTutorial() override;

  // Binds the buttons, finds the widgets, ticks the box and starts the opening
  // animation, whose length delays the first voice. False when a binding fails.
  bool HookComponents() override;
  // Shows the page: title and text by their keys, index of the queue's length.
  // Another page than the one shown stops the voice and lowers the other sounds.
  void InitWindow(const VString& identifier, const VString& titleKey, const VString& textKey, int index);
  void InitWindow(const Tutorial& tutorial);
  // The count of the page shown, after the queue grew.
  void UpdatePageCount();
  // Front and on top; leaves with the main menu; starts the voice when its delay
  // is over and pages on when it ended.
  void OnBeforeGUIUpdate() override;

  const VString& GetCurrentIdentifier() const { return m_sCurrentId; }
  const VString& GetVoiceKey() const { return m_sVoiceKey; }
  VSoundObject* GetVoice() const { return m_spVoice.GetPtr(); }
  float GetVoiceDelay() const { return m_fVoiceDelay; }
  bool IsPagedByHand() const { return m_bPagedByHand; }

 private:
  bool OnClose(const CEGUI::EventArgs& args);
  bool OnPage(const CEGUI::EventArgs& args);
  bool OnCloseHoverIn(const CEGUI::EventArgs& args);
  bool OnCloseHoverOut(const CEGUI::EventArgs& args);
  void SetCloseTexts(const char* font);
  void StopVoice();
  // The music and the other sounds back to full volume.
  static void RestoreVolume();

  CEGUI::Window* m_pCloseText = nullptr;
  CEGUI::Window* m_pCloseText1 = nullptr;
  CEGUI::Window* m_pCount = nullptr;
  CEGUI::Window* m_pCheckShow = nullptr;
  CEGUI::Window* m_pText = nullptr;
  CEGUI::Window* m_pTitle = nullptr;
  VSmartPtr<VSoundObject> m_spVoice;
  VString m_sCurrentId;
  VString m_sVoiceKey;
  int m_iIndex = 0;
  // -100: this page's voice has been started.
  float m_fVoiceDelay = 0.0f;
  bool m_bPagedByHand = false;
};
