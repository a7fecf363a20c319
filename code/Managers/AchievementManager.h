// The player's achievements and their progress values.
#pragma once

#include "util/Singleton.h"

class AchievementManager : public Singleton<AchievementManager> {
 public:
  virtual ~AchievementManager();

 private:
  friend class Singleton<AchievementManager>;
  AchievementManager() = default;
};
