// The player's achievements and their progress values.
#include "Managers/AchievementManager.h"

#include "Managers/SaveGameManager.h"
#include "engine/base/VArchive.h"

#include "Managers/JokeManager.h"
#include "Managers/LocalizationTable.h"

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

namespace {
bool AllJokesFound() {
  // Without jokes at all there is nothing to have found.
  if (!JokeManager::HasInstance() || !LocalizationTable::HasInstance()) return false;
  return LocalizationTable::GetInstance()->GetJokeCount() > 0 && JokeManager::GetInstance()->GetUnseenCount() == 0;
}

// The rules, in the order they are checked: the achievement is reached when its
// progress value has reached the threshold, or when the test holds.
struct Rule {
  BrinemarkAchievements id;
  float threshold;
  bool (*test)();
};
const Rule kRules[] = {{1, 100.0f, nullptr},  {2, 99.0f, nullptr},  {6, 0.0f, &AllJokesFound}, {23, 5.0f, nullptr},
                       {33, 50.0f, nullptr},  {38, 10.0f, nullptr}, {24, 100.0f, nullptr},     {30, 50.0f, nullptr},
                       {13, 1800.0f, nullptr}, {16, 9.0f, nullptr}, {26, 300.0f, nullptr},     {40, 50.0f, nullptr},
                       {17, 20.0f, nullptr},  {18, 20.0f, nullptr}, {22, 5.0f, nullptr},       {12, 20.0f, nullptr}};
}  // namespace

void AchievementManager::CheckAchievements() {
  m_bChanged = false;
  for (const Rule& rule : kRules) {
    auto value = m_values.find(rule.id);
    const bool holds = rule.test ? rule.test() : value != m_values.end() && value->second.value >= rule.threshold;
    if (!holds) continue;
    m_unlocked.insert(rule.id);
    m_bChanged = true;
  }
  // The achievements file, written after a pass in which a rule held, comes with
  // the achievements screen.
}

bool AchievementManager::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, 1);
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "AchievementManager", 1);
  if (!block.IsOpen()) return false;
  return block.End();
}
