// Gameplay noises that land units can hear.
#pragma once

#include "util/Singleton.h"

class NoiseManagerProto : public Singleton<NoiseManagerProto> {
 public:
  virtual ~NoiseManagerProto();

 private:
  friend class Singleton<NoiseManagerProto>;
  NoiseManagerProto() = default;
};
