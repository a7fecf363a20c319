// Speech: bubbles, voiced conversations and the speech volume. A conversation
// started with the game paused holds that pause until it ends.
#pragma once

#include "util/Singleton.h"

class SpeechManager : public Singleton<SpeechManager> {
 public:
  virtual ~SpeechManager();

  void SetSpeechVolume(float volume) { m_fSpeechVolume = volume; }
  float GetSpeechVolume() const { return m_fSpeechVolume; }
  bool IsInConversation() const { return m_bInConversation; }
  // True while a conversation that paused the game runs.
  bool WantsPause() const { return m_bConversationHoldsPause; }
  // True while a speech bubble is shown (the bubbles come with the speech frames).
  bool IsBubbleVisible() const { return m_bBubbleVisible; }
  void SetSpeechBubbleIsGone() { m_bBubbleVisible = false; }

 private:
  friend class Singleton<SpeechManager>;
  SpeechManager() = default;

  bool m_bInConversation = false;
  float m_fSpeechVolume = 1.0f;
  bool m_bConversationHoldsPause = false;
  bool m_bBubbleVisible = false;
};
