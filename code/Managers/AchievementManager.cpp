// The player's achievements and their progress values.
#include "Managers/AchievementManager.h"

AchievementManager::~AchievementManager() = default;
