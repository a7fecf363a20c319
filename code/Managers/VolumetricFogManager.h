// The volumetric fog of the sea scenes.
#pragma once

#include "util/Singleton.h"

class VolumetricFogManager : public Singleton<VolumetricFogManager> {
 public:
  virtual ~VolumetricFogManager();

 private:
  friend class Singleton<VolumetricFogManager>;
  VolumetricFogManager() = default;
};
