// Short notices to the player on two independent lines (upper and centre). Each
// line queues its messages and shows one at a time: fade in, hold, fade out.
#pragma once

#include "engine/base/VString.h"
#include "gui/BaseWindow.h"

#include <deque>

// One queued message of a line.
struct InGameMessage {
  CEGUI::String text;
  float displayTime = 5.0f;
  float fadeSpeed = 2.0f;
  bool shown = false;
};

class FrameInGameMessages : public BaseWindow {
 public:
  // Line states.
  enum { LINE_FADE_IN = 1, LINE_HOLD = 2, LINE_FADE_OUT = 3, LINE_IDLE = 4 };
  // In front of every message: opaque gold in the message font.
  static const char* const kPrefix;

  FrameInGameMessages();

  // Finds both lines and lets every click through to the game.
  bool HookComponents() override;
  // Advances both lines by at most one state each.
  void OnBeforeGUIUpdate() override;

  // A repeat of the message on display (or of the last queued one) only renews
  // its times instead of queueing it again.
  void AddUpperMessage(const CEGUI::String& text, float displayTime, float fadeSpeed);
  void AddCenterMessage(const CEGUI::String& text, float displayTime, float fadeSpeed);
  // The same with a localisation key.
  void AddUpperMessage(const VString& key, float displayTime, float fadeSpeed);
  void AddCenterMessage(const VString& key, float displayTime, float fadeSpeed);
  // Empties both lines' texts and queues; the line states stay.
  void ClearMessageData();

  const std::deque<InGameMessage>& GetUpperQueue() const { return m_upperQueue; }
  const std::deque<InGameMessage>& GetCenterQueue() const { return m_centerQueue; }
  int GetUpperState() const { return m_iUpperState; }
  int GetCenterState() const { return m_iCenterState; }
  CEGUI::Window* GetUpperLine() const { return m_pUpperLine; }
  CEGUI::Window* GetCenterLine() const { return m_pCenterLine; }

 private:
  static void Queue(std::deque<InGameMessage>& queue, int& state, const CEGUI::String& text, float displayTime,
                    float fadeSpeed);
  static void Advance(CEGUI::Window* line, std::deque<InGameMessage>& queue, int& state, float dt);

  CEGUI::Window* m_pUpperLine = nullptr;
  CEGUI::Window* m_pCenterLine = nullptr;
  std::deque<InGameMessage> m_upperQueue;
  std::deque<InGameMessage> m_centerQueue;
  int m_iUpperState = LINE_IDLE;
  int m_iCenterState = LINE_IDLE;
};
