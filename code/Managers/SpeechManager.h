// Speech: bubbles over speakers, voiced conversation lines, conversations and the
// speech volume. A conversation started with the game paused holds that pause
// until it ends.
#pragma once

#include "util/Singleton.h"

#include "engine/base/VisMath.h"

class VisBaseEntity_cl;
namespace CEGUI {
class String;
}

class SpeechManager : public Singleton<SpeechManager> {
 public:
  // Ends a running conversation.
  virtual ~SpeechManager();

  void SetSpeechVolume(float volume) { m_fSpeechVolume = volume; }
  float GetSpeechVolume() const { return m_fSpeechVolume; }
  bool IsInConversation() const { return m_bInConversation; }
  // True while a conversation that paused the game runs.
  bool WantsPause() const { return m_bConversationHoldsPause; }
  // The bubble flag: set by a Say of a ready text (or a ship's own line bubble) and
  // cleared when any bubble ends. The hot keys wait while it is set.
  bool HasBubble() const { return m_bHasBubble; }
  void SetSpeechBubbleBusy() { m_bHasBubble = true; }
  void SetSpeechBubbleIsGone() { m_bHasBubble = false; }
  // The id of the latest Talk line's speech window; -1 before any.
  int GetCurrentLineId() const { return m_iCurrentLineId; }

  // A bubble over the entity for the seconds with the text of textKey, a "%s" in
  // it filled with the text of insertKey, voiced by textKey + "_VO" when that
  // names a file. Never refused for another bubble. The bubble's number, or -1
  // when no bubble can be made.
  int Say(VisBaseEntity_cl* entity, const char* textKey, const char* insertKey, float duration);
  // A bubble with a ready text: -1 while the bubble flag is set; no voice.
  int Say(VisBaseEntity_cl* entity, const CEGUI::String& text, float duration);
  // A voiced conversation line in its own speech window on the speaker's side; a
  // line with a voice lasts the voice's length + 0.4 s. The line before stays
  // below for as long as this one holds. The window's id, or -1.
  int Talk(const char* speakerKey, const char* textKey, const char* insertKey, const char* image, float duration,
           bool leftSide, bool lastLine);
  // Ends the current line's hold (and the line before's) at once.
  void SkipSpeak();

  // A voiced conversation: the game paused when asked, other sounds lowered to a
  // quarter, the conversation music, the camera sent to the speaker (when one is
  // given and the scene has its "CameraEntity") and, over a current GUI frame, the
  // cinematic banners in its place and the tool bar hidden. Nothing while one
  // runs. A zero direction means the speaker's own orientation. EndConversation
  // undoes it all, brings the covered frame back and holds Escape off for 1 s.
  void StartConversation(VisBaseEntity_cl* entity, const VisVector_cl& offset, const VisVector_cl& direction,
                         bool pauseGame);
  void EndConversation();
  // A spoken file at the speech volume, without position or at the entity's.
  void PlaySound2D(const char* file);
  void PlaySound3D(VisBaseEntity_cl* entity, const char* file);

 private:
  friend class Singleton<SpeechManager>;
  SpeechManager() = default;

  void ShowToolbar(bool show);

  int m_iCurrentLineId = -1;
  bool m_bInConversation = false;
  float m_fSpeechVolume = 1.0f;
  bool m_bHasBubble = false;
  bool m_bConversationHoldsPause = false;
  bool m_bFramePushed = false;  // the conversation put the current frame on the GUI's stack
};
