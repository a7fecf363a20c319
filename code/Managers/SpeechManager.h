// Speech: bubbles, voiced conversations and the speech volume. A conversation
// started with the game paused holds that pause until it ends.
#pragma once

#include "util/Singleton.h"

#include "engine/base/VCallback.h"
#include "engine/base/VisMath.h"

#include <string>

class VisBaseEntity_cl;
namespace CEGUI {
class String;
}

class SpeechManager : public Singleton<SpeechManager> {
 public:
  virtual ~SpeechManager();

  void SetSpeechVolume(float volume) { m_fSpeechVolume = volume; }
  float GetSpeechVolume() const { return m_fSpeechVolume; }
  bool IsInConversation() const { return m_bInConversation; }
  // True while a conversation that paused the game runs.
  bool WantsPause() const { return m_bConversationHoldsPause; }
  // True while a speech bubble is on screen; the hot keys wait for it. No frame
  // draws bubbles yet, so a kept bubble never counts as shown.
  bool IsBubbleVisible() const { return false; }
  // True while a bubble of Say is kept, or a speaker's bubble frame is shown (one
  // at a time).
  bool HasBubble() const { return m_bHasBubble; }
  // A speaker opened a bubble frame of its own; the frame ends it.
  void SetSpeechBubbleBusy() { m_bHasBubble = true; }
  void SetSpeechBubbleIsGone();
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
  // A bubble with a ready text over the entity for the seconds: the bubble's number,
  // or -1 while another such bubble is kept. No voice is played. The bubble goes
  // when its time has run out or its entity is destroyed.
  int Say(VisBaseEntity_cl* entity, const CEGUI::String& text, float duration);
  // The bubble last made by Say: its number (0 before any), text (UTF-8), entity
  // and the seconds it still shows.
  int GetBubbleNumber() const { return m_iBubbleNumber; }
  const std::string& GetBubbleText() const { return m_sBubbleText; }
  VisBaseEntity_cl* GetBubbleEntity() const { return m_pBubbleEntity; }
  float GetBubbleTimeLeft() const { return m_fBubbleTimeLeft; }

 private:
  friend class Singleton<SpeechManager>;
  SpeechManager() = default;

  bool m_bInConversation = false;
  float m_fSpeechVolume = 1.0f;
  bool m_bConversationHoldsPause = false;
  bool m_bHasBubble = false;
  bool m_bFramePushed = false;  // the conversation put the current frame on the GUI's stack

  void ShowToolbar(bool show);

  // Counts the shown bubble's time down on the engine's per-frame update.
  class BubbleTimer : public IVisCallbackHandler_cl {
   public:
    explicit BubbleTimer(SpeechManager& owner) : m_owner(owner) {}
    void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

   private:
    SpeechManager& m_owner;
  };
  BubbleTimer m_bubbleTimer{*this};
  static inline int s_iLastBubbleNumber = 0;
  int m_iBubbleNumber = 0;
  std::string m_sBubbleText;
  VisBaseEntity_cl* m_pBubbleEntity = nullptr;
  float m_fBubbleTimeLeft = 0.0f;
};
