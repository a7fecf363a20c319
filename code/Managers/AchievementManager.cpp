// The player's achievements, their progress values and the achievements file.
#include "Managers/AchievementManager.h"

#include "Managers/JokeManager.h"
#include "Managers/LocalizationTable.h"
#include "Managers/SaveGameManager.h"
#include "engine/Vision.h"
#include "engine/base/VArchive.h"
#include "util/ArchiveLimits.h"
#include "util/UserArchiveFile.h"

#include <vector>

namespace {

const int kRecordVersion = 1;
const int kBlockVersion = 1;
const char kFileVersion = 1;
// "ARCH", the version and "EOA": the least a record's block takes.
const int kMinRecordBytes = 16;

}  // namespace

bool Achievement::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kRecordVersion);
    ar << id << unlocked;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "Achievement", kRecordVersion);
  if (!block.IsOpen()) return false;
  int readId = id;
  bool readUnlocked = unlocked;
  if (block.Has(1)) ar >> readId >> readUnlocked;
  if (!block.End()) return false;
  id = readId;
  unlocked = readUnlocked;
  return true;
}

bool AchData::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kRecordVersion);
    ar << id << value << campaignBound;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "AchData", kRecordVersion);
  if (!block.IsOpen()) return false;
  int readId = id;
  float readValue = value;
  bool readBound = campaignBound;
  if (block.Has(1)) ar >> readId >> readValue >> readBound;
  if (!block.End()) return false;
  id = readId;
  value = readValue;
  campaignBound = readBound;
  return true;
}

AchievementManager::AchievementManager() {
  Vision::Callbacks.OnWorldDeInit.RegisterCallback(this);
  Initialize();
}

AchievementManager::~AchievementManager() { Vision::Callbacks.OnWorldDeInit.DeregisterCallback(this); }

void AchievementManager::Initialize() {
  DeInitialize();
  LoadAchievements();
}

void AchievementManager::DeInitialize() {
  m_values.clear();
  m_achievements.clear();
}

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

bool AchievementManager::IsUnlocked(BrinemarkAchievements id) const {
  auto it = m_achievements.find(id);
  return it != m_achievements.end() && it->second.unlocked;
}

void AchievementManager::SetAchievement(BrinemarkAchievements id) {
  if (IsUnlocked(id)) return;
  Achievement& achievement = m_achievements[id];
  achievement.id = id;
  achievement.unlocked = true;
  m_bChanged = true;
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
    // Only a new unlock counts: a rule that holds for good (every joke found, a
    // value past its threshold) would otherwise rewrite the file on every pass,
    // and values change every frame at sea.
    if (!holds || IsUnlocked(rule.id)) continue;
    Achievement& achievement = m_achievements[rule.id];
    achievement.id = rule.id;
    achievement.unlocked = true;
    m_bChanged = true;
  }
  if (m_bChanged) SaveAchievements();
}

bool AchievementManager::GetAchievementsFilePath(std::string& out) {
  return UserArchiveFile::GetUserFilePath("achievements.bin", out);
}

bool AchievementManager::LoadAchievements() {
  std::string path;
  if (!GetAchievementsFilePath(path)) return false;
  std::map<int, Achievement> achievements;
  std::map<int, AchData> values;
  char version = 0;
  const bool read = UserArchiveFile::Read(path.c_str(), [&](VArchive& ar) {
    ar >> version;
    if (version < 1) return;
    int count = 0;
    if (!ArchiveLimits::ReadCount(ar, count, kMinRecordBytes)) return;
    for (int i = 0; i < count; ++i) {
      Achievement achievement;
      if (!achievement.SerializeX(ar)) return;
      achievements[achievement.id] = achievement;
    }
    if (!ArchiveLimits::ReadCount(ar, count, kMinRecordBytes)) return;
    for (int i = 0; i < count; ++i) {
      AchData data;
      if (!data.SerializeX(ar)) return;
      values[data.id] = data;
    }
  });
  // A damaged file changes nothing; a file of version 0 holds nothing to read.
  if (!read) return false;
  if (version >= 1) {
    m_achievements = std::move(achievements);
    m_values = std::move(values);
  }
  return true;
}

bool AchievementManager::SaveAchievements() {
  std::string path;
  if (!GetAchievementsFilePath(path)) return false;
  return UserArchiveFile::Write(path.c_str(), [&](VArchive& ar) {
    ar << kFileVersion;
    ar << (int)m_achievements.size();
    for (auto& entry : m_achievements) entry.second.SerializeX(ar);
    int unbound = 0;
    for (const auto& entry : m_values) unbound += entry.second.campaignBound ? 0 : 1;
    ar << unbound;
    for (auto& entry : m_values)
      if (!entry.second.campaignBound) entry.second.SerializeX(ar);
  });
}

void AchievementManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnWorldDeInit) SaveAchievements();
}

bool AchievementManager::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    int bound = 0;
    for (const auto& entry : m_values) bound += entry.second.campaignBound ? 1 : 0;
    ar << bound;
    for (auto& entry : m_values)
      if (entry.second.campaignBound) entry.second.SerializeX(ar);
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "AchievementManager", kBlockVersion);
  if (!block.IsOpen()) return false;
  std::vector<AchData> read;
  if (block.Has(1)) {
    int count = 0;
    if (!ArchiveLimits::ReadCount(ar, count, kMinRecordBytes)) return block.Fail("the number of progress values");
    read.resize((size_t)count);
    for (AchData& data : read)
      if (!data.SerializeX(ar)) return block.Fail();
  }
  if (!block.End()) return false;
  // The saved game holds the campaign's values; those of the achievements file
  // are the player's and stay.
  for (auto it = m_values.begin(); it != m_values.end();) it = it->second.campaignBound ? m_values.erase(it) : std::next(it);
  for (const AchData& data : read) {
    // A save holds only the campaign's values: a foreign one claiming a value of
    // the achievements file would otherwise end up in that file.
    if (!data.campaignBound) continue;
    const auto own = m_values.find(data.id);
    if (own != m_values.end() && !own->second.campaignBound) continue;
    m_values[data.id] = data;
  }
  return true;
}
