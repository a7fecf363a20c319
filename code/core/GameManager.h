// The game's central singleton: the event bus, the current location and the
// one-time start and end of the game side.
#pragma once

#include "core/CallbackManager.h"
#include "util/Singleton.h"

class GameManager : public Singleton<GameManager> {
 public:
  // The game's event bus, built when the plug-in loads.
  static CallbackManager Callbacks;

  ~GameManager();

  // Start of the game side (plug-in start) and its end (application de-init; the
  // destructor runs it again, every step checking what it ends).
  void OneTimeInit();
  void OneTimeDeInit();

  bool IsPlayingTheGame() const { return m_bPlayTheGame; }
  // -1 none, 0 world map, 1 land or town, 2 sea.
  int GetLocation() const { return m_iLocation; }
  void SetLocation(int location) { m_iLocation = location; }
  bool IsPlayerAtSea() const { return m_iLocation == 0 || m_iLocation == 2; }
  bool IsPlayerOnLand() const { return m_iLocation == 1; }

 private:
  friend class Singleton<GameManager>;
  GameManager() = default;

  bool m_bPlayTheGame = false;
  int m_iLocation = -1;
  float m_fCampaignEndCountdown = 0.0f;
};
