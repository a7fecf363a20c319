// Active artifacts and potions with their cool-down times.
#pragma once

#include "util/Singleton.h"

class ArtifactManager : public Singleton<ArtifactManager> {
 public:
  virtual ~ArtifactManager();

 private:
  friend class Singleton<ArtifactManager>;
  ArtifactManager() = default;
};
