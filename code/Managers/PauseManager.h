// The two pause states of the game: the full pause (the player paused; the pause
// frame shows) and the game pause (a frame or a conversation stops the world).
#pragma once

#include "util/Singleton.h"

class PauseManager : public Singleton<PauseManager> {
 public:
  virtual ~PauseManager();

  bool IsFullPaused() const { return m_bFullPaused; }
  bool IsGamePaused() const { return m_bGamePaused; }
  bool IsAnyPaused() const { return m_bFullPaused || m_bGamePaused; }

  // Switching off is ignored while a GUI frame wants the full pause.
  void SetFullPause(bool pause);
  void ToggleFullPause() { SetFullPause(!m_bFullPaused); }
  // Switching off is ignored while a GUI frame or a pausing conversation wants the game pause.
  void SetGamePause(bool pause);
  void ToggleGamePause() { SetGamePause(!m_bGamePaused); }

 private:
  friend class Singleton<PauseManager>;
  PauseManager() = default;

  bool m_bFullPaused = false;
  bool m_bGamePaused = false;
};
