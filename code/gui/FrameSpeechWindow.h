// One line of a conversation: the speaker's name, portrait and words on the left or
// the right. A new line fades in above the centre of the screen; the line before
// slides down below the centre and stays there while the new one holds.
#pragma once

#include "gui/BaseWindow.h"

#include "engine/base/VRefCounter.h"

#include <CEGUI/UDim.h>

class VSoundObject;

class FrameSpeechWindow : public BaseWindow {
 public:
  enum State {
    STATE_FADE_IN = 0,     // fading in at the upper position
    STATE_HOLD_UPPER = 1,  // holding its display time above the centre
    STATE_SLIDE_DOWN = 2,  // sliding below the centre, its voice fading
    STATE_HOLD_LOWER = 3,  // holding below while the next line speaks
    STATE_FADE_OUT = 4,    // fading out after holding below
    STATE_FADE_LAST = 5,   // the last line fades out where it is
  };
  // The font of a text too long for the box.
  static constexpr const char* SMALL_FONT = "SketchHeavyRegular-10";

  FrameSpeechWindow();
  // Stops and lets go of the voice.
  ~FrameSpeechWindow() override;

  // A copy of the layout numbered with the next speech window number (the id).
  bool Init() override;
  // The eight widgets of both sides; the right side starts hidden.
  bool HookComponents() override;
  // Fades and slides; they run on even while the game is fully paused.
  void OnBeforeGUIUpdate() override;
  // Holding times (which wait while the game is fully paused) and the end.
  void OnAfterGUIUpdate() override;

  // The text on the speaking side, in the small font when it would not fit.
  void SetSpeechText(const CEGUI::String& text);
  // The portrait on the speaking side.
  void SetSpeakerImage(const CEGUI::String& image);
  // The line's voice: kept counted, faded as the line slides down, stopped at the end.
  void SetVoice(VSoundObject* voice);
  VSoundObject* GetVoice() const { return m_spVoice.GetPtr(); }

  int GetId() const { return m_iId; }
  int GetState() const { return m_iState; }
  bool IsFinished() const { return m_bFinished; }
  void SetDisplayTime(float seconds) { m_fDisplayTime = seconds; }
  float GetDisplayTime() const { return m_fDisplayTime; }
  void SetBelowHoldTime(float seconds) { m_fBelowHoldTime = seconds; }
  float GetBelowHoldTime() const { return m_fBelowHoldTime; }
  void SetLastLine(bool last) { m_bLastLine = last; }
  bool IsLastLine() const { return m_bLastLine; }
  void SetLeftSide(bool left) { m_bLeftSide = left; }
  bool IsLeftSide() const { return m_bLeftSide; }
  // Visible to the scripts: fading in, holding above, sliding down or fading as the last line.
  bool IsShowing() const;

  CEGUI::Window* GetLeftPanel() const { return m_pLeft; }
  CEGUI::Window* GetRightPanel() const { return m_pRight; }
  CEGUI::Window* GetSpeakerLabel() const { return m_bLeftSide ? m_pLeftSpeaker : m_pRightSpeaker; }
  CEGUI::Window* GetImageWidget() const { return m_bLeftSide ? m_pLeftImage : m_pRightImage; }
  CEGUI::Window* GetSpeechWidget() const { return m_bLeftSide ? m_pLeftSpeech : m_pRightSpeech; }

 private:
  void ReleaseVoice();

  float m_fHeight = 181.0f;
  float m_fWidth = 547.0f;
  int m_iId = 0;
  float m_fDisplayTime = 3.0f;
  float m_fBelowHoldTime = 0.5f;
  float m_fTimer = 0.2f;
  float m_fTransitionTime = 0.2f;
  bool m_bFinished = false;
  bool m_bLastLine = false;
  CEGUI::Window* m_pLeft = nullptr;
  CEGUI::Window* m_pRight = nullptr;
  CEGUI::Window* m_pLeftSpeaker = nullptr;
  CEGUI::Window* m_pLeftImage = nullptr;
  CEGUI::Window* m_pLeftSpeech = nullptr;
  CEGUI::Window* m_pRightSpeaker = nullptr;
  CEGUI::Window* m_pRightImage = nullptr;
  CEGUI::Window* m_pRightSpeech = nullptr;
  bool m_bLeftSide = true;
  CEGUI::UDim m_x{0.01f, 0.0f};
  CEGUI::UDim m_upperY{0.5f, -(181.0f + 10.0f)};
  CEGUI::UDim m_lowerY{0.5f, 10.0f};
  CEGUI::UDim m_y{0.5f, -(181.0f + 10.0f)};
  int m_iState = STATE_FADE_IN;
  VSmartPtr<VSoundObject> m_spVoice;
};
