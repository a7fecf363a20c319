// The fog of war over the land-battle map.
#pragma once

#include "util/Singleton.h"

class FogOfWarManager : public Singleton<FogOfWarManager> {
 public:
  virtual ~FogOfWarManager();

 private:
  friend class Singleton<FogOfWarManager>;
  FogOfWarManager() = default;
};
