// The campaign state: the player, heroes, inventory, ships and potions.
#pragma once

#include "util/Singleton.h"

class GameSessionManager : public Singleton<GameSessionManager> {
 public:
  virtual ~GameSessionManager();

 private:
  friend class Singleton<GameSessionManager>;
  GameSessionManager() = default;
};
