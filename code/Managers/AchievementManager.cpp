// The player's achievements and their progress values.
#include "Managers/AchievementManager.h"

AchievementManager::~AchievementManager() = default;

void AchievementManager::SetValue(BrinemarkAchievements id, float value, bool campaignBound) {
  AchData& data = m_values[id];
  data.id = id;
  data.value = value;
  data.campaignBound = campaignBound;
  CheckAchievements();
}

void AchievementManager::IncValue(BrinemarkAchievements id, float delta, bool campaignBound) {
  AchData& data = m_values[id];
  data.id = id;
  data.campaignBound = campaignBound;
  data.value += delta;
  CheckAchievements();
}

bool AchievementManager::GetValue(BrinemarkAchievements id, float& value) const {
  auto it = m_values.find(id);
  if (it == m_values.end()) return false;
  value = it->second.value;
  return true;
}

void AchievementManager::SetAchievement(BrinemarkAchievements id) {
  if (m_unlocked.insert(id).second) m_bChanged = true;
}

void AchievementManager::CheckAchievements() {}
