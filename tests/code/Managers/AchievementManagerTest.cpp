// Achievements: the rule pass unlocks what the progress values have reached, and
// the achievement for having read every bottle joke.
#include "Managers/AchievementManager.h"
#include "Managers/JokeManager.h"
#include "Managers/LocalizationTable.h"
#include "Managers/SaveGameManager.h"
#include "support/ScopedEnv.h"

#include <CEGUI/String.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class AchievementManagerTest : public ::testing::Test {
 protected:
  void SetUp() override { AchievementManager::CleanInstance(); }
  void TearDown() override {
    AchievementManager::CleanInstance();
    JokeManager::CleanInstance();
    LocalizationTable::CleanInstance();
    SaveGameManagerProto::CleanInstance();
  }
  AchievementManager* Achievements() { return AchievementManager::GetInstance(); }
};

TEST_F(AchievementManagerTest, ProgressValuesUnlockTheirAchievementAtTheThreshold) {
  const struct {
    int id;
    float threshold;
  } rules[] = {{1, 100}, {2, 99},   {23, 5}, {33, 50},  {38, 10}, {24, 100}, {30, 50}, {13, 1800},
               {16, 9},  {26, 300}, {40, 50}, {17, 20}, {18, 20}, {22, 5},   {12, 20}};
  for (const auto& rule : rules) {
    Achievements()->SetValue(rule.id, rule.threshold - 0.5f, true);
    EXPECT_FALSE(Achievements()->IsUnlocked(rule.id)) << rule.id;
    Achievements()->IncValue(rule.id, 0.5f, true);
    EXPECT_TRUE(Achievements()->IsUnlocked(rule.id)) << rule.id;
    EXPECT_TRUE(Achievements()->HasChanged());
  }
  // Falling back below the threshold keeps what was reached.
  Achievements()->SetValue(17, 0.0f, true);
  EXPECT_TRUE(Achievements()->IsUnlocked(17));
}

TEST_F(AchievementManagerTest, EachValueCountsOnlyForItsOwnAchievement) {
  Achievements()->SetValue(2, 99.5f, false);
  EXPECT_TRUE(Achievements()->IsUnlocked(2));
  Achievements()->SetValue(1, 99.5f, false);
  EXPECT_FALSE(Achievements()->IsUnlocked(1));
  Achievements()->IncValue(1, 0.5f, false);
  EXPECT_TRUE(Achievements()->IsUnlocked(1));

  // Values without a rule (25 and 39 are unlocked directly) unlock nothing.
  AchievementManager::CleanInstance();
  for (int id : {3, 25, 39, 47}) Achievements()->SetValue(id, 1e6f, true);
  for (int id = 0; id <= 47; ++id) EXPECT_FALSE(Achievements()->IsUnlocked(id)) << id;
  EXPECT_FALSE(Achievements()->HasChanged());
}

TEST_F(AchievementManagerTest, ReadingEveryBottleJokeUnlocksItsAchievement) {
  const fs::path documents = fs::temp_directory_path() / ("brinemark_achievements_" + std::to_string(getpid()));
  ScopedEnv docs("ENGINE_DOCUMENTS_DIR", documents.c_str());
  std::istringstream none("");
  LocalizationTable::GetInstance()->ReadJokes(none);
  JokeManager::GetInstance()->Initialize();
  Achievements()->CheckAchievements();
  EXPECT_FALSE(Achievements()->IsUnlocked(6)) << "no jokes, none found";

  std::istringstream two("Joke 0\nJoke 1\n");
  LocalizationTable::GetInstance()->ReadJokes(two);
  JokeManager::GetInstance()->Initialize();
  CEGUI::String text;
  JokeManager::GetInstance()->GetRandomJoke(text);
  Achievements()->CheckAchievements();
  EXPECT_FALSE(Achievements()->IsUnlocked(6));
  JokeManager::GetInstance()->GetRandomJoke(text);
  Achievements()->CheckAchievements();
  EXPECT_TRUE(Achievements()->IsUnlocked(6));
  fs::remove_all(documents);
}

}  // namespace
