// The towns of the campaign world and the state of the world around them.
#pragma once

#include "util/Singleton.h"

class TownManager : public Singleton<TownManager> {
 public:
  virtual ~TownManager();

 private:
  friend class Singleton<TownManager>;
  TownManager() = default;
};
